// Private to the platform core files (lifecycle, display, input, files, clock,
// random): the hooks one concern needs from another.
#pragma once

#include "platform/backend.h"

namespace plat::detail {

// display.cpp: forgets the open display and its pacing (a new backend is a fresh machine).
void ResetDisplayState();
// random.cpp: puts the shared generator back at its start.
void ResetRandom();
// files.cpp: flushes every stream open for writing (before the process ends).
void FlushWriteStreams();
// input.cpp: the shared input state after the backend has applied what is pending.
InputState& PolledInput();
// lifecycle.cpp: ends the process in order if a termination signal has arrived.
void CheckTermination();

}  // namespace plat::detail
