// The game a test program runs. Each program links one definition: the engine's
// tests a stand-in (testkit/stand_in/stand_in_game.cpp), a game's tests, tools and
// benchmarks the game's own table (its testkit).
#pragma once

#include "core/game_table.h"

GameTable TestGameTable();
