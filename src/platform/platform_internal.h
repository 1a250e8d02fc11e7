// Private to the platform core files (lifecycle, display, input, files, clock,
// random): the hooks one concern needs from another.
#pragma once

#include <random>

#include "platform/backend.h"

namespace plat::detail {

// display.cpp: forgets the open display and its pacing (a new backend is a fresh machine).
void ResetDisplayState();
// random.cpp: puts the shared generator back at its start.
void ResetRandom();
// random.cpp: the shared generator itself (the replay checksum reads its state).
std::mt19937& RandomGenerator();
// files.cpp: flushes every stream open for writing (before the process ends).
void FlushWriteStreams();
// input.cpp: the shared input state after the backend has applied what is pending.
InputState& PolledInput();

}  // namespace plat::detail
