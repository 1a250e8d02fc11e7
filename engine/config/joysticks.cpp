#include "config/joysticks.h"

#include <algorithm>

#include "config/input.h"
#include "platform/platform.h"

int JoystickCount = 0;
std::string JoystickName[kMaxJoysticks + 1];
int JoystickButtons[kMaxJoysticks + 1] = {};
double JoystickRest[kMaxJoysticks + 1][6] = {};

void ReadJoysticks() {
  JoystickCount = std::clamp(plat::JoyCount(), 0, kMaxJoysticks);
  for (int j = 1; j <= kMaxJoysticks; ++j) {
    const bool present = j <= JoystickCount;
    const int port = j - 1;
    JoystickName[j] = present ? plat::JoyName(port) : "";
    JoystickButtons[j] = present ? plat::JoyButtonCount(port) : 0;
    for (int axis = 0; axis < 6; ++axis) JoystickRest[j][axis] = present ? plat::JoyAxisValue(port, axis) : 0;
    JoyEnabled[j] = present ? 1 : 0;
    HatPresent[j] = present && plat::JoyHat(port) == -1.0 ? 1 : 0;
  }
}
