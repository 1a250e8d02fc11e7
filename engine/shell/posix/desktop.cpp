// A desktop program: its folders come from the command line or the machine's places.
#include "shell/target.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

void ApplyTargetDefaults(ProgramOptions&) {}

void ReportReplayResult(const std::string&) {}
