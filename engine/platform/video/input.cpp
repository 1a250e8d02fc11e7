// Polled input: keys, mouse buttons, typed characters, the close request and
// joysticks. Every query first lets the backend apply its pending events.
#include <algorithm>

#include "platform/platform_internal.h"
#include "platform/record/replay_internal.h"

namespace plat {

namespace {

// Inside an InputBatch the events are applied once, by the batch's first query.
int batchDepth = 0;
bool batchPumped = false;

}  // namespace

InputState& detail::PolledInput() {
  detail::CheckTermination();
  if (batchDepth == 0 || !batchPumped) {
    detail::PumpInput();
    batchPumped = batchDepth > 0;
  }
  return Input();
}

InputBatch::InputBatch() {
  if (batchDepth++ == 0) batchPumped = false;
}

InputBatch::~InputBatch() { --batchDepth; }

namespace {

InputState& Polled() { return detail::PolledInput(); }

// Quick-press bookkeeping of one input, in its keyTap or mouseTap byte.
enum TapBits : uint8_t {
  kUnread = 1,     // pressed, and no query has read it held yet
  kShown = 2,      // let go while unread: still reads held
  kShownRead = 4,  // ... and a query has read it so this frame
  kShownAged = 8,  // ... and a frame has ended since it was let go
};

// Returns true for a new press.
bool Press(bool& down, uint8_t& tap) {
  if (down) return false;
  down = true;
  tap = kUnread;
  return true;
}

void Release(bool& down, uint8_t& tap) {
  if (!down) return;
  down = false;
  tap = tap & kUnread ? kShown : 0;
}

bool Read(bool down, uint8_t& tap) {
  if (down) {
    tap &= static_cast<uint8_t>(~kUnread);
    return true;
  }
  if (tap & kShown) {
    tap |= kShownRead;
    return true;
  }
  return false;
}

void Age(uint8_t& tap) {
  if (!(tap & kShown)) return;
  tap = tap & (kShownRead | kShownAged) ? 0 : static_cast<uint8_t>(tap | kShownAged);
}

}  // namespace

// A press counts once however many times the system repeats it while held.
void InputState::PressKey(int key) {
  if (key < 0 || key > 255) return;
  if (Press(keyDown[key], keyTap[key])) ++keyHits[key];
}

void InputState::ReleaseKey(int key) {
  if (key < 0 || key > 255) return;
  Release(keyDown[key], keyTap[key]);
}

// Mouse buttons are also key codes 1..3, so that "any input held" sees clicks.
void InputState::PressMouse(int button) {
  if (button < 1 || button > 3) return;
  if (Press(mouseDown[button], mouseTap[button])) ++mouseHits[button];
  PressKey(button);
}

void InputState::ReleaseMouse(int button) {
  if (button < 1 || button > 3) return;
  Release(mouseDown[button], mouseTap[button]);
  ReleaseKey(button);
}

bool InputState::ReadKey(int key) { return key >= 0 && key < 256 && Read(keyDown[key], keyTap[key]); }

bool InputState::ReadMouse(int button) {
  return button >= 1 && button <= 3 && Read(mouseDown[button], mouseTap[button]);
}

void InputState::EndFrame() {
  for (uint8_t& tap : keyTap) Age(tap);
  for (uint8_t& tap : mouseTap) Age(tap);
}

InputState& Input() {
  static InputState state;
  return state;
}

bool KeyDown(int key) { return Polled().ReadKey(key); }

int KeyHit(int key) {
  InputState& in = Polled();
  if (key < 0 || key > 255) return 0;
  int n = in.keyHits[key];
  in.keyHits[key] = 0;
  detail::InputConsumed();
  return n;
}

bool MouseDown(int button) { return Polled().ReadMouse(button); }

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

void NextInputFrame() { Input().EndFrame(); }

void WaitForInput(int milliseconds) {
  detail::CheckTermination();
  if (milliseconds > 0) CurrentBackend().WaitEvents(milliseconds);
  detail::CheckTermination();
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
