// The settings table, the input bindings and the settings file "Setup.ini".
#pragma once

#include "core/fields.h"
#include "core/settings_table.h"

// Defaults, then "Setup.ini" from the current folder (Files/), then the audio driver.
void LoadSetup();
// Rewrites "Setup.ini" in the Files/ folder that start-up entered, whole or not at
// all; the current folder stays. A failed write changes nothing but the log.
void SaveSetup();

constexpr const char* kSetupFile = "Setup.ini";
