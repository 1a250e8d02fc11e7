#include "config/settings_menu.h"

int MenuY = -300;

// Stand-in: the panel arrives with the settings-menu work.
void DrawSettingsMenu() {}
