// The high-score panel of the title screen: graph, table, detail and thanks.
#pragma once

#include "scores/scores.h"

// Draws the panel for one game variant (and trims HighScores.ScoreList); slide is the title
// screen's slide-in offset. Returns 1 when a matching record completed the game.
int DrawScorePanel(int slide, int gameMode, int level, int gameFlags);
