// The joysticks found at start-up.
#pragma once

constexpr int kMaxJoysticks = 4;
extern int JoystickCount;  // at most kMaxJoysticks

// Counts the attached joysticks; their names and resting readings are taken here
// too once the input bindings read them.
void ReadJoysticks();
