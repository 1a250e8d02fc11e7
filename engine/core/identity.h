// The running game's identity within the series, derived from its table (see
// core/game_table.h), and the credits it shows.
#pragma once

#include <string>

#include "core/game_table.h"

// Fills Core.CreditLines and Core.CreditCount from the game's credits.
void FillCredits();

#include "core/state.h"  // the record the identity lives in
