// The game's own images, loaded with every display setup, and its title music.
#pragma once

#include "platform/platform.h"

// The handles belong to the backend that made them.
struct DashImages {
  plat::Image Backdrop = 0;  // 800x600, the rail's top on row 564
  plat::Image Cart = 0;      // 96x48
  plat::Image Cargo = 0;     // 48x48 cells, see CargoFrame (state.h)
  plat::Image Life = 0;      // 24x24
};
extern DashImages DashMedia;

// Runs the engine test, loads the music samples and the game's images from the
// current folder (the game folder), and starts the title music unless a game is on.
void LoadGameMedia();
// The title music, at the game's own tempo (its definition leaves the tempo out).
void StartTitleMusic();
