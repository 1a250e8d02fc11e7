// Start-up and the main flow: the shared state created once, the services the
// lower layers reach through tables, and RunProgram, which main() calls.
#pragma once

#include "core/identity.h"
#include "core/state.h"

constexpr int kLoadingMinimumMs = 2500;

// Hands the upper layers' services to the frame cycle and to display setup.
void InstallServices();
// Everything before the title screen: services, tables, log, settings, display.
// Ends with Files/257/ current (or the nearest folder that exists).
void StartUp();
// The whole program: start-up, the title screen, shutdown. Runs once; a second
// call returns at once.
void RunProgram();
