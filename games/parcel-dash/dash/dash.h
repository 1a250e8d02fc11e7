// The game as the engine sees it: its table.
#pragma once

#include "core/game_table.h"

// Who Parcel Dash is and what its screens are, for UseGame / RunEngine.
GameTable DashTable();
