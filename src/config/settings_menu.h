// The settings panel that Tab slides over any screen.
#pragma once

// One step of the panel, run by EndFrame every frame; draws only when open or
// sliding. Not built yet: draws nothing.
void DrawSettingsMenu();
