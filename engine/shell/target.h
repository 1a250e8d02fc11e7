// What the engine's main takes from the target it runs on (shell/<target>/).
#pragma once

#include <string>
#include <vector>

#include "shell/options.h"

// The command line's arguments after the program's name, as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Fills in what the command line left open and the target decides by itself.
void ApplyTargetDefaults(ProgramOptions& options);

// A replay played from the command line has ended with `line` ("score N frames F",
// "diverged at frame F", or why it was refused). A page shows it; a desktop
// program has already printed it where it should.
void ReportReplayResult(const std::string& line);
