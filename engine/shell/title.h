// The title screen, the program's home between games.
#pragma once

constexpr int kTitleSlideSteps = 32;  // the frames of the title's slide-in (Shell.SlideStep)

// Loops once per frame until Escape; starts games on a click.
void RunTitleScreen();

#include "shell/shell_state.h"  // the floor's record, Shell
