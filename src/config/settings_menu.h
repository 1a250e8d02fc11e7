// The settings panel that Tab slides over any screen.
#pragma once

extern int MenuY;  // the panel's vertical offset: -300 hidden, 20 at rest

// One step of the panel, run by EndFrame every frame; draws only when open or
// sliding.
void DrawSettingsMenu();
