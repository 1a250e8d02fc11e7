// The settings table, the input bindings and the settings file "Setup.ini".
#pragma once

#include "core/fields.h"
#include "core/settings_table.h"

// Defaults, then "Setup.ini" from the current folder (Files/), then the audio driver.
// A Setup.ini that cannot be read leaves the defaults, with one log line.
void LoadSetup();
// Rewrites "Setup.ini" in the Files/ folder that start-up entered, whole or not at
// all; the current folder stays. A failed write changes nothing but the log. A
// Setup.ini that LoadSetup could not read is never replaced: the settings go to
// "Setup.ini.unsaved" beside it (numbered when an earlier run left one).
void SaveSetup();

constexpr const char* kSetupFile = "Setup.ini";
