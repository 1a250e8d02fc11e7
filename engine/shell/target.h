// What the engine's main takes from the target it runs on (shell/<target>/).
#pragma once

#include <string>
#include <vector>

#include "shell/options.h"

// The command line's arguments after the program's name, as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Fills in what the command line left open and the target decides by itself.
void ApplyTargetDefaults(ProgramOptions& options);
