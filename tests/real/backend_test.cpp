// The SDL backend: input translation, events into the shared input state, display
// modes and full screen on a private X server, and life without a display.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/sdl/sdl_input.h"
#include "testkit/xvfb.h"

namespace {

namespace si = plat::sdlinput;

TEST(SdlInput, KeysMapToWindowsVirtualKeys) {
  struct Case {
    SDL_Keycode sym;
    SDL_Scancode code;
    int want;
  };
  const Case cases[] = {
      {SDLK_a, SDL_SCANCODE_A, 65},
      {SDLK_z, SDL_SCANCODE_Z, 90},
      {SDLK_z, SDL_SCANCODE_Y, 90},  // a German layout: the key that types Z
      {0x3B1, SDL_SCANCODE_Q, 81},   // a Greek layout: letters fall back to the position
      {SDLK_0, SDL_SCANCODE_0, 48},
      {SDLK_9, SDL_SCANCODE_9, 57},
      {SDLK_AMPERSAND, SDL_SCANCODE_1, 49},  // French top row: still the digit key
      {SDLK_F1, SDL_SCANCODE_F1, 112},
      {SDLK_F4, SDL_SCANCODE_F4, 115},
      {SDLK_F12, SDL_SCANCODE_F12, 123},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
      {SDLK_UP, SDL_SCANCODE_UP, 38},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
      {SDLK_TAB, SDL_SCANCODE_TAB, 9},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33},
      {SDLK_HOME, SDL_SCANCODE_HOME, 36},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 45},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
      {SDLK_PAUSE, SDL_SCANCODE_PAUSE, 19},
      {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 20},
      {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, 144},
      {SDLK_SCROLLLOCK, SDL_SCANCODE_SCROLLLOCK, 145},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
      {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 106},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 109},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110},
      {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 160},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 161},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 162},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 163},
      {SDLK_LALT, SDL_SCANCODE_LALT, 164},
      {SDLK_RALT, SDL_SCANCODE_RALT, 165},
      {SDLK_LGUI, SDL_SCANCODE_LGUI, 91},
      {SDLK_RGUI, SDL_SCANCODE_RGUI, 92},
      {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
      {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 188},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
      {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190},
      {SDLK_SLASH, SDL_SCANCODE_SLASH, 191},
      {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 192},
      {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219},
      {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
      {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221},
      {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 223},
      {SDLK_UNKNOWN, SDL_SCANCODE_LANG1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(si::VirtualKey(c.sym, c.code), c.want) << SDL_GetScancodeName(c.code);
  }
}

TEST(SdlInput, HatsAndAxesAndTypedText) {
  EXPECT_EQ(si::HatPosition(SDL_HAT_CENTERED), -1.0);
  EXPECT_EQ(si::HatPosition(SDL_HAT_UP), 0.0);
  EXPECT_EQ(si::HatPosition(SDL_HAT_RIGHTUP), 0.125);
  EXPECT_EQ(si::HatPosition(SDL_HAT_RIGHT), 0.25);
  EXPECT_EQ(si::HatPosition(SDL_HAT_DOWN), 0.5);
  EXPECT_EQ(si::HatPosition(SDL_HAT_LEFT), 0.75);
  EXPECT_EQ(si::HatPosition(SDL_HAT_LEFTUP), 0.875);
  EXPECT_EQ(si::AxisValue(-32768), -1.0);
  EXPECT_EQ(si::AxisValue(32767), 1.0);
  EXPECT_EQ(si::AxisValue(0), 0.0);

  std::deque<int> typed;
  // a, e-acute (Latin-1 233), the euro sign (dropped), a stray continuation byte and
  // a truncated sequence (skipped), then z.
  si::AppendUtf8("a\xC3\xA9\xE2\x82\xAC\x80\xC3z", typed);
  EXPECT_EQ(typed, (std::deque<int>{'a', 233, 'z'}));
}

class BackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!realtest::EnsureXServer(&why)) GTEST_SKIP() << why;
    backend_ = plat::MakeSdlBackend();
    ASSERT_TRUE(backend_->Start());
  }
  void TearDown() override {
    if (backend_) backend_->Shutdown();
  }
  std::unique_ptr<plat::Backend> backend_;
};

SDL_Event Key(Uint32 type, SDL_Keycode sym, SDL_Scancode code, int repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = static_cast<Uint8>(repeat);
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = code;
  return e;
}

TEST_F(BackendTest, PumpFeedsEventsIntoTheInputState) {
  plat::InputState in;
  SDL_Event events[8];
  int n = 0;
  events[n++] = Key(SDL_KEYDOWN, SDLK_z, SDL_SCANCODE_Z);
  events[n++] = Key(SDL_KEYDOWN, SDLK_z, SDL_SCANCODE_Z, 1);  // repeat: not a new press
  events[n++] = Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN);
  SDL_Event text{};
  text.type = SDL_TEXTINPUT;
  std::strcpy(text.text.text, "x\xC3\xA9");
  events[n++] = text;
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  button.button.state = SDL_PRESSED;
  button.button.x = 10;
  button.button.y = 20;
  events[n++] = button;
  for (int i = 0; i < n; ++i) ASSERT_EQ(SDL_PushEvent(&events[i]), 1);
  backend_->Pump(in);
  EXPECT_TRUE(in.keyDown[90]);
  EXPECT_EQ(in.keyHits[90], 1);
  EXPECT_TRUE(in.keyDown[13]);
  EXPECT_EQ(in.typed, (std::deque<int>{13, 'x', 233}));
  EXPECT_TRUE(in.mouseDown[2]);
  EXPECT_EQ(in.mouseHits[2], 1);
  EXPECT_EQ(in.mouseX, 10);
  EXPECT_EQ(in.mouseY, 20);
  EXPECT_FALSE(in.closeRequested);

  SDL_Event later[3] = {Key(SDL_KEYUP, SDLK_z, SDL_SCANCODE_Z), {}, {}};
  later[1].type = SDL_MOUSEMOTION;
  later[1].motion.x = 30;
  later[1].motion.y = 40;
  later[2].type = SDL_QUIT;
  for (SDL_Event& e : later) ASSERT_EQ(SDL_PushEvent(&e), 1);
  backend_->Pump(in);
  EXPECT_FALSE(in.keyDown[90]);
  EXPECT_EQ(in.mouseX, 30);
  EXPECT_EQ(in.mouseY, 40);
  EXPECT_TRUE(in.closeRequested);
}

TEST_F(BackendTest, FullScreenTakesTheClosestModeAndWindowsKeepTheTitle) {
  auto modes = backend_->Modes();
  ASSERT_FALSE(modes.empty());
  plat::DisplayMode nearest = modes[0];  // to 800x600; the private server offers only 1024x768
  for (const plat::DisplayMode& m : modes) {
    EXPECT_GT(m.depth, 0);
    if (std::abs(m.width - 800) + std::abs(m.height - 600) <
        std::abs(nearest.width - 800) + std::abs(nearest.height - 600)) {
      nearest = m;
    }
  }

  int generation = backend_->DisplayGeneration();
  backend_->SetTitle("#257 : Caf\xE9");  // Latin-1, set before any window
  ASSERT_TRUE(backend_->Open(320, 200, 0, 60, 0, plat::kDriverOpenGL));
  EXPECT_EQ(backend_->DisplayGeneration(), generation + 1);
  EXPECT_EQ(backend_->renderer()->Width(), 320);
  EXPECT_STREQ(SDL_GetWindowTitle(SDL_GL_GetCurrentWindow()), "#257 : Caf\xC3\xA9");
  backend_->SetTitle("Another");
  EXPECT_STREQ(SDL_GetWindowTitle(SDL_GL_GetCurrentWindow()), "Another");

  for (int driver : {plat::kDriverOpenGL, plat::kDriverDirect3D7}) {
    ASSERT_TRUE(backend_->Open(800, 600, 32, 60, 0, driver)) << "driver " << driver;
    EXPECT_EQ(backend_->renderer()->Width(), nearest.width);
    EXPECT_EQ(backend_->renderer()->Height(), nearest.height);
  }
  EXPECT_EQ(backend_->DisplayGeneration(), generation + 3);

  EXPECT_FALSE(backend_->Open(320, 200, 0, 60, 0, 7));
  EXPECT_EQ(backend_->renderer(), nullptr);
  EXPECT_FALSE(backend_->Open(0, 200, 0, 60, 0, plat::kDriverOpenGL));
  backend_->Close();
  backend_->Close();
  EXPECT_EQ(backend_->renderer(), nullptr);
}

TEST(SdlBackendWithoutDisplay, StartsTheOtherServicesAndRefusesToOpen) {
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  setenv("DISPLAY", ":999", 1);  // nothing listens there
  unsetenv("SDL_VIDEODRIVER");
  {
    auto backend = plat::MakeSdlBackend();
    EXPECT_TRUE(backend->Start());
    EXPECT_TRUE(backend->Modes().empty());
    EXPECT_FALSE(backend->Open(640, 480, 0, 60, 0, plat::kDriverOpenGL));
    EXPECT_EQ(backend->renderer(), nullptr);
    backend->SetTitle("no window");
    backend->SetPointerVisible(false);
    backend->WarpMouse(5, 5);
    plat::InputState in;
    backend->Pump(in);
    int64_t t0 = backend->Millisecs();
    backend->Sleep(5);
    EXPECT_GE(backend->Millisecs() - t0, 5);
    EXPECT_GT(backend->WallClock(), 1600000000);
    EXPECT_FALSE(backend->Joystick(0).connected);
    EXPECT_EQ(backend->Joystick(0).hat, -1.0);
    backend->Audio().AllocChannel();  // some driver is always there
    backend->Shutdown();
  }
  if (display.empty()) {
    unsetenv("DISPLAY");
  } else {
    setenv("DISPLAY", display.c_str(), 1);
  }
}

}  // namespace

namespace {

// SDL's virtual joystick stands in for a real stick being plugged and unplugged.
TEST_F(BackendTest, JoysticksReadScaledAndKeepTheirPortWhenReplugged) {
  plat::InputState in;
  backend_->Pump(in);
  int before = backend_->JoyCount();
  int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 4, 1);
  if (device < 0) GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
  backend_->Pump(in);
  ASSERT_EQ(backend_->JoyCount(), before + 1);
  const int port = before;
  SDL_Joystick* handle = SDL_JoystickOpen(device);  // the test's own handle, to move the stick
  ASSERT_NE(handle, nullptr);
  SDL_JoystickSetVirtualAxis(handle, 0, 32767);
  SDL_JoystickSetVirtualAxis(handle, 1, -32768);
  SDL_JoystickSetVirtualAxis(handle, 3, 16384);
  SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_RIGHTUP);
  SDL_JoystickSetVirtualButton(handle, 2, SDL_PRESSED);
  backend_->Pump(in);
  plat::JoystickState s = backend_->Joystick(port);
  EXPECT_TRUE(s.connected);
  EXPECT_FALSE(s.name.empty());
  EXPECT_EQ(s.axes[plat::kAxisX], 1.0);
  EXPECT_EQ(s.axes[plat::kAxisY], -1.0);
  EXPECT_NEAR(s.axes[plat::kAxisR], 0.5, 0.001);
  EXPECT_EQ(s.hat, 0.125);
  ASSERT_EQ(s.buttons.size(), 4u);
  EXPECT_TRUE(s.buttons[2]);
  EXPECT_FALSE(s.buttons[1]);
  SDL_JoystickClose(handle);

  SDL_JoystickDetachVirtual(device);
  backend_->Pump(in);
  EXPECT_EQ(backend_->JoyCount(), before + 1);  // the port stays, reading centred
  s = backend_->Joystick(port);
  EXPECT_FALSE(s.connected);
  EXPECT_EQ(s.axes[plat::kAxisX], 0.0);
  EXPECT_EQ(s.hat, -1.0);
  EXPECT_FALSE(s.buttons[2]);

  device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 4, 1);
  backend_->Pump(in);
  EXPECT_EQ(backend_->JoyCount(), before + 1);  // the same stick back in its old port
  EXPECT_TRUE(backend_->Joystick(port).connected);
  SDL_JoystickDetachVirtual(device);
  EXPECT_FALSE(backend_->Joystick(port + 1).connected);
}

}  // namespace
