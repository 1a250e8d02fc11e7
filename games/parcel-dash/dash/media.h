// The game's own images, loaded with every display setup, and its title music.
#pragma once

#include "platform/platform.h"

extern plat::Image BackdropImage;  // 800x600, the rail's top on row 564
extern plat::Image CartImage;      // 96x48
extern plat::Image CargoImage;     // 48x48 cells, see CargoFrame (state.h)
extern plat::Image LifeImage;      // 24x24

// Runs the engine test, loads the music samples and the game's images from the
// current folder (the game folder), and starts the title music unless a game is on.
void LoadGameMedia();
// The title music, at the game's own tempo (its definition leaves the tempo out).
void StartTitleMusic();
