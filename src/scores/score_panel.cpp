#include "scores/score_panel.h"

int GraphScroll = 0;
int LockedSelection = 0;

// Stand-in until the panel is built.
int DrawScorePanel(int, int, int, int) { return 0; }
