// The program a game of the series is: its main() hands its table to RunEngine,
// which does the rest (the command line, where files live, start-up, the title
// screen and the games, or the playback of a recorded game).
#pragma once

#include "core/game_table.h"

// Returns the process's exit status.
int RunEngine(int argc, char** argv, const GameTable& game);
