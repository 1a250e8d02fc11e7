// Name entry after a game: edits HighScores.PlayerName.
#pragma once

// Runs the name-entry screen until Enter, a click or Escape.
void EnterName();
