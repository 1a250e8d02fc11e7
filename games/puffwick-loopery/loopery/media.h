// The game's own images, loaded with every display setup.
#pragma once

#include "platform/platform.h"

// Runs the engine test, loads the music samples and the game's images from the
// current folder (the game folder).
void LoadGameMedia();

#include "loopery/loopery_state.h"  // the game's record, Loopery
