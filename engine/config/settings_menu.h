// The settings panel that Tab slides over any screen: display options (applied
// by Apply, which saves Setup.ini and reruns display setup), the audio driver
// (taken at the next start), the three volumes (at once) and the joysticks.
#pragma once

#include <string>
#include <vector>

// One step of the panel, run by EndFrame every frame; draws only when open or
// sliding. Clicks are the ones EndFrame read into Core.MouseState on the frame before.
void DrawSettingsMenu();

// Within the panel's frame: a cycling option that edits Core.Settings[slot], drawn at
// x, y + Config.MenuY with icon frame firstIcon + Core.Settings[slot]. A label with "|" shows
// as two lines. The single label "AUDIO" stands for the first six audio drivers.
// Returns 1 while the mouse is over it.
int OptionWidget(int slot, int x, int y, int firstIcon, const std::vector<std::string>& labels);

// Within the panel's frame: a horizontal slider at absolute x, y; while button 1
// is held over it the value follows the mouse. Returns the new value.
int VolumeSlider(int value, int x, int y, const std::string& caption);

#include "config/config_state.h"  // the floor's record, Config
