// The game loop: one game from setup to game over and name entry.
#pragma once

#include <cstdint>

// Plays one game at the current Difficulty; returns after the score record has
// been added to HighScores.ScoreList (also after a quit from the pause menu).
void RunGame();

// The pieces of RunGame, for stepping a game frame by frame:
// a fresh board, train and per-game values for the current Difficulty;
void SetupGame();
// one whole frame, EndFrame included; false once the game is over (QuitFlag set);
bool GameFrame();
// the frame's own work before EndFrame (steps 1 to 13);
void DrawGameFrame();
// the checks after EndFrame, given its result; false once the game is over;
bool FinishGameFrame(int endFrameResult);
// "Game Over" over the last game frame (two seconds, or until a key or click),
// name entry, and the new score record, added to HighScores.ScoreList and saved at once.
void GameOverSequence();
