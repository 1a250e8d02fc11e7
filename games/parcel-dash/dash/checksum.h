// A checksum of the game's state, for replays: equal states give equal sums.
#pragma once

#include <cstdint>

// Covers the cart, the counters, every falling piece and popup, and the shared
// random generator's state.
uint64_t GameChecksum();
