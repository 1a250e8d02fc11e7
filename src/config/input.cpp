#include "config/input.h"

int JoyEnabled[kMaxJoysticks + 1] = {};
int HatPresent[kMaxJoysticks + 1] = {};

// Stand-in until the input codes are built.
std::string KeyName(int code) { return std::to_string(code); }
int BindingDown(int) { return 0; }
int ActionDown(int, int) { return 0; }
int AnyInputCode() { return 0; }
