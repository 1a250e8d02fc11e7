// The settings table and the input bindings, read by every layer and edited by
// the settings file, the settings panel and the engine test.
#pragma once

#include <string>
#include <vector>

// Slots of Settings (slot numbers are what the settings panel edits), used as
// Core.Settings[slot::width]; kept in a namespace so that they never shadow locals.
namespace slot {
enum SettingSlot {
  fullscreen = 1,
  widescreen = 2,
  gfxEngine = 3,
  resolutionIndex = 4,
  width = 5,
  height = 6,
  slowSystem = 7,
  masterVolume = 11,
  soundVolume = 12,
  musicVolume = 13,
  audioDriver = 14,
};
}  // namespace slot

#include "core/state.h"  // Core.Settings, Core.KeyBindings, Core.AudioDriverNames
