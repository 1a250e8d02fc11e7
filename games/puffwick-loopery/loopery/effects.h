// The game's effects: smoke, score popups and flashes.
#pragma once

#include <list>

// A score popup: a money amount that rises and fades over 120 frames.
struct ore {
  int n = 0;
  double x = 0, y = 0;  // centre of the text
  int t = 0;            // frames left
  int r = 0, g = 0, b = 0;
};

constexpr int kPopupFrames = 120;

// Adds n to GameScore and raises a popup showing n at (x, y) in colour (r, g, b).
void AddPopup(int n, double x, double y, int r, int g, int b);
// Draws and ages the score popups; run by EndFrame first thing every frame.
void DrawPopups();

// Eight puffs of smoke rising from (x, y), put at the front of SmokeList.
void MakeSmoke(double x, double y);
// Moves, fades and draws every puff, dropping the faded ones.
void UpdateSmoke();
// Three coloured flashes scattered around (cx, cy).
void DrawBurst(double cx, double cy);

#include "loopery/loopery_state.h"  // the game's record, Loopery
