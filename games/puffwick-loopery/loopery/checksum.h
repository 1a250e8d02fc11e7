// A checksum of the game's state, for replays: equal states give equal sums.
#pragma once

#include <cstdint>

// Covers the six grids, the money, the per-game counters, the trains, the smoke
// and the shared random generator's state.
uint64_t GameChecksum();
