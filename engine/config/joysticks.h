// The joysticks found at start-up, with the calibration taken then: later
// readings are compared with these rest values.
#pragma once

#include <string>

constexpr int kMaxJoysticks = 4;

// Counts the attached joysticks (at most four) and takes each one's name, button
// count and the rest value of its six axes; enables each one, and notes a hat
// when it reads centred now.
void ReadJoysticks();

#include "config/config_state.h"  // the floor's record, Config
