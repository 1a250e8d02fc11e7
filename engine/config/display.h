// The display: the usable modes and display setup, which opens the display and
// (re)loads every asset that lives inside it (see core/assets.h).
#pragma once

#include "core/assets.h"

// Usable display modes, two parallel tables used from index 1.
struct ModeTable {
  int width[2500];
  int height[2500];
};
// What display setup needs from the layers above it, handed in by start-up:
// reading the score list and loading the game's media (which runs the engine
// test). An empty entry is skipped.
struct DisplayServices {
  void (*LoadScores)() = nullptr;
  void (*LoadGameMedia)() = nullptr;
};

// Builds the mode list, opens the display at the chosen size and renderer (with
// the crash-marker fall-back), sets the virtual surface and (re)loads every shared
// asset and the game's media. Run at start-up and by the settings panel's Apply.
void SetupDisplay();
// Removes the crash marker if display setup left one (an orderly exit in the
// middle of setup, such as a close request during the engine test).
void RemoveCrashMarker();

#include "config/config_state.h"  // the floor's record, Config
