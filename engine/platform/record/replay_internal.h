// Private to the platform: where the display, input and lifecycle code hand the
// recorder their polls, reads and resets.
#pragma once

#include "platform/backend.h"
#include "platform/record/replay.h"

namespace plat::detail {

// input.cpp and display.cpp: one input poll, recorded or played back.
void PumpInput();
// input.cpp: a query consumed hits, characters or the close request.
void InputConsumed();
// display.cpp: the pointer as played back; false when not playing back.
bool ReplayedPointer(double& x, double& y);
// display.cpp: the pointer in drawing-area units as the input state holds it.
void VirtualPointer(const InputState& input, double& x, double& y);
// input.cpp: joystick reads, recorded or played back.
// The machine's sticks are asked only when not playing back.
int TapeJoyCount(Backend& machine);
JoystickState TapeJoystick(int port, Backend& machine);
// lifecycle.cpp: a new backend ends any recording or playback.
void ResetTape();

}  // namespace plat::detail
