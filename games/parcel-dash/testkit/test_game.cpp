// The game the game's tests run: this one.
#include "dash/dash.h"
#include "testkit/test_game.h"

GameTable TestGameTable() { return DashTable(); }
