// The high-score panel of the title screen: graph, table, detail and thanks.
#pragma once

extern int GraphScroll;      // 0..1000, kept between frames
extern int LockedSelection;  // n: the n-th matching record; 1000 + k: table row k

// Draws the panel for one game variant (and trims ScoreList); slide is the title
// screen's slide-in offset. Returns 1 when a matching record completed the game.
int DrawScorePanel(int slide, int gameMode, int level, int gameFlags);
