// The game's effects: smoke, score popups and flashes.
#pragma once

// Draws and ages the score popups; run by EndFrame first thing every frame.
void DrawPopups();
