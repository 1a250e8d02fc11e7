// Polled input: keys, mouse buttons, typed characters, the close request and
// joysticks. Every query first lets the backend apply its pending events.
#include <algorithm>

#include "platform/platform_internal.h"
#include "platform/replay.h"

namespace plat {

InputState& detail::PolledInput() {
  detail::PumpInput();
  return Input();
}

namespace {

InputState& Polled() { return detail::PolledInput(); }

}  // namespace

// A press counts once however many times the system repeats it while held.
void InputState::PressKey(int key) {
  if (key < 0 || key > 255) return;
  if (!keyDown[key]) {
    keyDown[key] = true;
    ++keyHits[key];
  }
}

void InputState::ReleaseKey(int key) {
  if (key < 0 || key > 255) return;
  keyDown[key] = false;
}

// Mouse buttons are also key codes 1..3, so that "any input held" sees clicks.
void InputState::PressMouse(int button) {
  if (button < 1 || button > 3) return;
  if (!mouseDown[button]) {
    mouseDown[button] = true;
    ++mouseHits[button];
  }
  PressKey(button);
}

void InputState::ReleaseMouse(int button) {
  if (button < 1 || button > 3) return;
  mouseDown[button] = false;
  ReleaseKey(button);
}

InputState& Input() {
  static InputState state;
  return state;
}

bool KeyDown(int key) {
  InputState& in = Polled();
  return key >= 0 && key < 256 && in.keyDown[key];
}

int KeyHit(int key) {
  InputState& in = Polled();
  if (key < 0 || key > 255) return 0;
  int n = in.keyHits[key];
  in.keyHits[key] = 0;
  detail::InputConsumed();
  return n;
}

bool MouseDown(int button) {
  InputState& in = Polled();
  return button >= 1 && button <= 3 && in.mouseDown[button];
}

int MouseHit(int button) {
  InputState& in = Polled();
  if (button < 1 || button > 3) return 0;
  int n = in.mouseHits[button];
  in.mouseHits[button] = 0;
  detail::InputConsumed();
  return n;
}

void FlushKeys() {
  InputState& in = Polled();
  in.keyHits.fill(0);
  in.typed.clear();
  detail::InputConsumed();
}

void FlushMouse() {
  InputState& in = Polled();
  in.mouseHits.fill(0);
  detail::InputConsumed();
}

int GetChar() {
  InputState& in = Polled();
  if (in.typed.empty()) return 0;
  int ch = in.typed.front();
  in.typed.pop_front();
  detail::InputConsumed();
  return ch;
}

bool AppTerminate() {
  InputState& in = Polled();
  bool asked = in.closeRequested;
  in.closeRequested = false;
  detail::InputConsumed();
  return asked;
}

int JoyCount() {
  Polled();
  return std::max(0, detail::TapeJoyCount(CurrentBackend()));
}

namespace {

// The stick at a port, or a centred one when the port is empty or unplugged.
JoystickState Stick(int port) {
  Polled();
  Backend& b = CurrentBackend();
  if (port < 0 || port >= detail::TapeJoyCount(b)) {
    JoystickState none;
    none.connected = false;
    return none;
  }
  JoystickState s = detail::TapeJoystick(port, b);
  if (!s.connected) {
    s.axes.fill(0);
    s.hat = -1;
    std::fill(s.buttons.begin(), s.buttons.end(), false);
  }
  return s;
}

}  // namespace

std::string JoyName(int port) { return Stick(port).name; }

double JoyAxisValue(int port, int axis) {
  if (axis < 0 || axis >= 6) return 0;
  return std::clamp(Stick(port).axes[axis], -1.0, 1.0);
}

double JoyHat(int port) { return Stick(port).hat; }

bool JoyButtonDown(int port, int button) {
  JoystickState s = Stick(port);
  return button >= 0 && button < static_cast<int>(s.buttons.size()) && s.buttons[button];
}

int JoyButtonCount(int port) { return static_cast<int>(Stick(port).buttons.size()); }

}  // namespace plat
