// The game loop: one game from setup to game over and name entry.
#pragma once

// Plays one game at the current Difficulty; returns after the score record has
// been added to ScoreList (or straight after a quit from the pause menu).
void RunGame();
