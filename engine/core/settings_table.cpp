#include "core/settings_table.h"

int Settings[100] = {};
int KeyBindings[101] = {};
std::vector<std::string> AudioDriverNames;
