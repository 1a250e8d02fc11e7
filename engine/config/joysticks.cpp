#include "config/joysticks.h"

#include <algorithm>

#include "config/input.h"
#include "platform/platform.h"

void ReadJoysticks() {
  Config.JoystickCount = std::clamp(plat::JoyCount(), 0, kMaxJoysticks);
  for (int j = 1; j <= kMaxJoysticks; ++j) {
    const bool present = j <= Config.JoystickCount;
    const int port = j - 1;
    Config.JoystickName[j] = present ? plat::JoyName(port) : "";
    Config.JoystickButtons[j] = present ? plat::JoyButtonCount(port) : 0;
    for (int axis = 0; axis < 6; ++axis) Config.JoystickRest[j][axis] = present ? plat::JoyAxisValue(port, axis) : 0;
    Config.JoyEnabled[j] = present ? 1 : 0;
    Config.HatPresent[j] = present && plat::JoyHat(port) == -1.0 ? 1 : 0;
  }
}
