// The settings table, the input bindings and the settings file "Setup.ini".
#pragma once

#include <string>
#include <vector>

// Slots of Settings (slot numbers are what the settings panel edits), used as
// Settings[slot::width]; kept in a namespace so that they never shadow locals.
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

extern int Settings[100];
extern int KeyBindings[101];
extern std::vector<std::string> AudioDriverNames;

// Field n (from 1) of the trimmed text split at sep; "-+-" for a missing field.
std::string GetField(const std::string& text, const std::string& sep, int n);
// Defaults, then "Setup.ini" from the current folder (Files/), then the audio driver.
void LoadSetup();
// Rewrites "Setup.ini" in Files/ from the tables; run from the game folder, which
// it leaves current. A failed write changes nothing but the log.
void SaveSetup();

constexpr const char* kSetupFile = "Setup.ini";
