// The title screen, the program's home between games.
#pragma once

// Loops once per frame until Escape.
void RunTitleScreen();
// The backdrop of diagonal blue stripes that brighten downwards.
void DrawStripes();
