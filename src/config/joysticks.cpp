#include "config/joysticks.h"

#include <algorithm>

#include "platform/platform.h"

int JoystickCount = 0;

void ReadJoysticks() { JoystickCount = std::clamp(plat::JoyCount(), 0, kMaxJoysticks); }
