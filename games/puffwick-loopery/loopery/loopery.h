// The game as the engine sees it: its table.
#pragma once

#include "core/game_table.h"

// Who Puffwick Loopery is and what its screens are, for UseGame / RunEngine.
GameTable LooperyTable();

// The rules version of Puffwick Loopery's replays (GameTable::rulesVersion). The
// replay tests hold it to the golden replays: re-recording them for a change of
// the rules fails until this is raised.
constexpr int kLooperyRules = 1;
