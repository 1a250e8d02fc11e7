// The high-score panel of the title screen: graph, table, detail and thanks.
#pragma once

#include "scores/scores.h"

extern int GraphScroll;      // 0..1000, kept between frames
extern int LockedSelection;  // n: the n-th matching record; 1000 + k: table row k

// Rebuilt by every DrawScorePanel: the variant's 25 best records, best first (slots
// 1..25, empty ones null; valid until ScoreList next changes), and its best score in
// 32 bits (1 rather than 0, as it divides the bar heights).
extern const Scores* TopTable[26];
extern int BestScore;

// Draws the panel for one game variant (and trims ScoreList); slide is the title
// screen's slide-in offset. Returns 1 when a matching record completed the game.
int DrawScorePanel(int slide, int gameMode, int level, int gameFlags);
