#include "config/settings_menu.h"

// The panel itself arrives with the settings-menu work.
void DrawSettingsMenu() {}
