// The game the game's tests, tools and benchmarks run: this one.
#include "loopery/loopery.h"
#include "testkit/test_game.h"

GameTable TestGameTable() { return LooperyTable(); }
