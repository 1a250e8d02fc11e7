// The end of a game, the same for every game of the series: "Game Over" over the
// game's last picture, the name entry, and the game's record kept at once.
#pragma once

#include "scores/scores.h"

// Shows "Game Over" over what `drawUnder` draws, as a screen of its own so that
// EndFrame goes on (music, overlays, messages): for two seconds, or until a key or
// click pressed after it appeared. Then runs the name entry and adds `record` to
// the score list with the name, the time and the difficulty filled in, and saves
// the list. The game fills the rest of the record (score, quit, its own fields).
void FinishGame(void (*drawUnder)(), Scores record);
