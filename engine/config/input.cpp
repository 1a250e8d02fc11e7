#include "config/input.h"

#include "config/joysticks.h"
#include "core/settings_table.h"
#include "platform/keycodes.h"
#include "platform/platform.h"

namespace {

constexpr int kFirstJoystickCode = 300;
constexpr int kCodesPerJoystick = 50;
constexpr double kDeadZone = 0.3;

// Controls d = 0..11 come in below/above pairs, one pair per axis in this order.
constexpr int kAxisOfPair[6] = {plat::kAxisY, plat::kAxisX, plat::kAxisZ,
                                plat::kAxisU, plat::kAxisV, plat::kAxisR};

// Joystick control codes within one joystick's block of 50.
constexpr int kHatUp = 20;
constexpr int kHatLeft = 23;
constexpr int kHatRight = 25;
constexpr int kHatDown = 28;
constexpr int kFirstButton = 30;

// Below (d even) or above (d odd) the rest value, beyond the dead zone.
bool AxisBeyondRest(int j, int d) {
  const int axis = kAxisOfPair[d / 2];
  const double value = plat::JoyAxisValue(j - 1, axis);
  const double rest = Config.JoystickRest[j][axis];
  return d % 2 == 0 ? value < rest - kDeadZone : value > rest + kDeadZone;
}

bool HatToward(double hat, int d) {
  switch (d) {
    case kHatUp: return (hat > 0.8 || hat < 0.2) && hat >= 0;
    case kHatRight: return hat > 0.1 && hat < 0.4;
    case kHatDown: return hat > 0.3 && hat < 0.7;
    case kHatLeft: return hat > 0.6 && hat < 0.9;
    default: return false;
  }
}

const char* const kControlNames[12] = {"Y-", "Y+", "X-", "X+", "Z-", "Z+",
                                       "U-", "U+", "V-", "V+", "R-", "R+"};

// Names of the keyboard and mouse codes that have one; null elsewhere.
const char* FixedKeyName(int code) {
  switch (code) {
    case 0: return "Pause";
    case 1: return "Left Mousebutton";
    case 2: return "Right Mousebutton";
    case 3: return "Middle Mousebutton";
    case 8: return "Backspace";
    case 9: return "Tab";
    case 12: return "Clear";
    case 13: return "Return";
    case 19: return "Pause";
    case 20: return "CapsLock";
    case 27: return "Escape";
    case 32: return "Space";
    case 33: return "Page Up";
    case 34: return "Page Down";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 41: return "Select";
    case 42: return "Print";
    case 43: return "Execute";
    case 44: return "Screen";
    case 45: return "Insert";
    case 46: return "Delete";
    case 91: return "Sys Left";
    case 92: return "Sys Right";
    case 106: return "*";
    case 107: return "+";
    case 109: return "-";
    case 110: return ".";
    case 111: return "/";
    case 144: return "NumLock";
    case 145: return "ScrollLock";
    case 160: return "LShift";
    case 161: return "RShift";
    case 162: return "LControl";
    case 163: return "RControl";
    case 164: return "LAlt";
    case 165: return "RAlt";
    case 173: return "Mute";
    case 174: return "Volume Down";
    case 175: return "Volume Up";
    case 186: return ";";
    case 187: return "=";
    case 188: return ",";
    case 189: return "-";
    case 190: return ".";
    case 191: return "/";
    case 192: return "'";
    case 219: return "[";
    case 220: return "\\";
    case 221: return "]";
    case 222: return "#";
    case 223: return "`";
    case 226: return "\\";
    default: return nullptr;
  }
}

}  // namespace

std::string KeyName(int code) {
  if (const char* name = FixedKeyName(code)) return name;
  if (code >= 48 && code <= 57) return std::string(1, static_cast<char>(code));
  if (code >= 65 && code <= 90) return std::string(1, static_cast<char>(code));
  if (code >= 96 && code <= 105) return std::string(1, static_cast<char>('0' + code - 96));
  if (code >= 112 && code <= 123) return "F" + std::to_string(code - 111);
  const int d = code % kCodesPerJoystick;
  if (d >= 0 && d < 12) return kControlNames[d];
  switch (d) {
    case kHatUp: return "Up";
    case kHatLeft: return "Left";
    case kHatRight: return "Right";
    case kHatDown: return "Down";
    default: return std::to_string(d - kFirstButton);
  }
}

int BindingDown(int code) {
  if (code >= 10 && code <= 254 && plat::KeyDown(code)) return 1;
  if (code < kFirstJoystickCode) return 0;
  const int j = code / kCodesPerJoystick - 5;
  // Codes past the fourth joystick's block name no joystick.
  if (j > kMaxJoysticks || Config.JoyEnabled[j] == 0) return 0;
  const int d = code % kCodesPerJoystick;
  if (d < 12) return AxisBeyondRest(j, d) ? 1 : 0;
  if (d == kHatUp || d == kHatLeft || d == kHatRight || d == kHatDown) {
    return Config.HatPresent[j] == 1 && HatToward(plat::JoyHat(j - 1), d) ? 1 : 0;
  }
  if (d >= kFirstButton) return plat::JoyButtonDown(j - 1, d - kFirstButton) ? 1 : 0;
  return 0;
}

int ActionDown(int action, int player) {
  const int slot = (player - 1) * 20 + action;
  if (slot < 0 || slot > 100) return 0;
  return BindingDown(Core.KeyBindings[slot]);
}

namespace {

// Calls `found` with each held input's code in AnyInputCode's order until it
// returns true.
template <typename Fn>
void VisitHeldInputs(Fn found) {
  if (plat::KeyDown(plat::kKeyF11) || plat::KeyDown(plat::kKeyF12)) return;
  for (int code = 1; code <= 255; ++code) {
    if (plat::KeyDown(code) && found(code)) return;
  }
  for (int j = 1; j <= Config.JoystickCount; ++j) {
    if (Config.JoyEnabled[j] == 0) continue;
    const int base = kCodesPerJoystick * j + 250;
    for (int d = 0; d < 12; ++d) {
      if (AxisBeyondRest(j, d) && found(base + d)) return;
    }
    if (Config.HatPresent[j] == 1) {
      const double hat = plat::JoyHat(j - 1);
      const int d = hat == 0 ? kHatUp : hat == 0.25 ? kHatRight : hat == 0.5 ? kHatDown : hat == 0.75 ? kHatLeft : 0;
      if (d != 0 && found(base + d)) return;
    }
    for (int b = 0; b < Config.JoystickButtons[j] && b < 19; ++b) {
      if (plat::JoyButtonDown(j - 1, b) && found(base + kFirstButton + b)) return;
    }
  }
}

}  // namespace

int AnyInputCode() {
  int first = 0;
  VisitHeldInputs([&](int code) {
    first = code;
    return true;
  });
  return first;
}

std::vector<int> HeldInputCodes() {
  std::vector<int> codes;
  VisitHeldInputs([&](int code) {
    codes.push_back(code);
    return false;
  });
  return codes;
}
