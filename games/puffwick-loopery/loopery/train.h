// The train: movement along the track, turning, passing rules, crashing and drawing.
#pragma once

#include "loopery/board.h"

// The four-car train of a new game, heading north on the right side of the loop.
ain StartingTrain();
// Moves, tests and draws every car of every train (frame step 9).
void UpdateTrains();
// The direction a station track can be passed in (0 also stands for 360), or -1.
int StationPassDirection(int code);
bool HeadingThrough(double ca2, int code);
