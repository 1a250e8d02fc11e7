// The game's own images, loaded with every display setup.
#pragma once

#include "platform/platform.h"

extern plat::Image TrackImage;   // 32x32 cells: board pieces 0..14, occupied look 200..214
extern plat::Image FlashImage;   // the explosion flash
extern plat::Image TrainImage;   // 64x64 cells: cars 0..3, smoke puff 5
extern plat::Image BubbleImage;  // 32x24 cells: the four cargo bubbles

// Runs the engine test, loads the music samples and the game's images from the
// current folder (the game folder).
void LoadGameMedia();
