// The joysticks found at start-up, with the calibration taken then: later
// readings are compared with these rest values.
#pragma once

#include <string>

constexpr int kMaxJoysticks = 4;
extern int JoystickCount;  // at most kMaxJoysticks

// Per joystick j = 1..JoystickCount (index 0 unused), read once by ReadJoysticks.
extern std::string JoystickName[kMaxJoysticks + 1];
extern int JoystickButtons[kMaxJoysticks + 1];  // button count
// Rest value of each axis, indexed by plat::JoyAxis (X, Y, Z, R, U, V).
extern double JoystickRest[kMaxJoysticks + 1][6];

// Counts the attached joysticks (at most four) and takes each one's name, button
// count and the rest value of its six axes; enables each one, and notes a hat
// when it reads centred now.
void ReadJoysticks();
