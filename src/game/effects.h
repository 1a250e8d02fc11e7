// The game's effects: smoke, score popups and flashes.
#pragma once

// Adds n to GameScore and raises a popup showing n at (x, y) in colour (r, g, b).
void AddPopup(int n, double x, double y, int r, int g, int b);
// Draws and ages the score popups; run by EndFrame first thing every frame.
void DrawPopups();
