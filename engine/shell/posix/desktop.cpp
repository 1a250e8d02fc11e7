// A desktop program: its folders come from the command line or the machine's places.
#include "shell/target.h"

void ApplyTargetDefaults(ProgramOptions&) {}

void ReportReplayResult(const std::string&) {}
