// The two machines a program runs on, for the program's start to choose from: the
// real one (a window, the sound card, the user's input) and the headless one (a
// virtual clock and no window), on which a replay plays as fast as it can.
#pragma once

namespace plat {

// Installs the real machine (its window opens later, with the display).
void UseRealMachine();
// Installs a fresh headless machine with its default options.
void UseHeadlessMachine();

}  // namespace plat
