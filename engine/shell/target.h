// What the engine's main takes from the target it runs on (shell/<target>/).
#pragma once

#include "shell/options.h"

// Fills in what the command line left open and the target decides by itself.
void ApplyTargetDefaults(ProgramOptions& options);
