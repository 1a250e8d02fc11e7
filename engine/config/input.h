// Input codes: keys, mouse buttons and joystick controls as one integer code,
// their names, bindings held, and the joystick calibration taken at start-up.
#pragma once

#include <string>
#include <vector>

#include "config/joysticks.h"

// Name of an input code ("Z", "Y+", "5", "Return", ...).
std::string KeyName(int code);
// 1 while the input of that code is held.
int BindingDown(int code);
// Actions of a player the screens read (each player has 20, 0..19); the numbers
// index the key bindings kept in the settings file.
constexpr int kActionUp = 0;
constexpr int kActionLeft = 3;
constexpr int kActionRight = 5;
constexpr int kActionDown = 8;
constexpr int kActionFire = 10;
constexpr int kActionFire2 = 11;

// 1 while the input bound to action (0..19) of player (1..4) is held.
int ActionDown(int action, int player);
// The code of the first input found held, or 0 (F11 or F12 held gives 0).
int AnyInputCode();
// Every input AnyInputCode would find held, in its order.
std::vector<int> HeldInputCodes();

#include "config/config_state.h"  // the floor's record, Config
