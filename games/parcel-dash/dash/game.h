// The game loop: one game from setup to "Game Over", name entry and the record.
#pragma once

#include <string>

// Plays one game at the current Difficulty; returns after the score record has
// been added to HighScores.ScoreList and saved (also after a quit from the pause menu).
void RunGame();

// The pieces of RunGame, for stepping a game frame by frame:
// a fresh state for the current Difficulty, seeded from the logic clock;
void SetupGame();
// one whole frame, EndFrame included; false once the game is over (QuitFlag set);
bool GameFrame();
// the frame's rules: the cart, the falling cargo, catches, misses and the clock;
void StepGame();
// the field as it stands (no state changes);
void DrawScene();
// "Game Over" over the last picture (two seconds, or until a key or click), name
// entry, and the new score record, added to HighScores.ScoreList and saved at once.
void GameOverSequence();

// The "+100"/"+25" popups of the game under way; EndFrame draws them first thing.
void DrawPopups();
// "$1,250".
std::string FormatMoney(int amount);
