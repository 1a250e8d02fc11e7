// The real machine: an SDL2 window with our OpenGL renderer or one of SDL's
// renderers, SDL input, timers and joysticks, and OpenAL sound.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/machines.h"
#include "platform/render/gl/gl_renderer.h"
#include "platform/headless/headless.h"
#include "platform/platform_internal.h"
#include "platform/sdl/sdl_input.h"
#include "platform/render/sdl/sdl_renderer.h"

namespace plat {

namespace {

// Texts are Latin-1 bytes; SDL wants UTF-8.
std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

bool SdlBackend::Start() {
  if (started_) return true;
  ChooseVideoDrivers();
  // Sticks keep reporting while another window has the focus, as the game expects.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // Termination signals end the program through the platform, not as a close request.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    Notice(std::string("SDL could not start: ") + SDL_GetError());
  }
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    Notice(std::string("no joysticks: ") + SDL_GetError());
  } else {
    joysticksUp_ = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) PlugStick(i);
  }
  started_ = true;
  // Files, clock and sound work without a display; Open reports the missing display.
  if (!VideoUp()) Notice(std::string("no display available: ") + SDL_GetError());
  Audio();
  return true;
}

void SdlBackend::Shutdown() {
  if (!started_) return;
  Close();
  for (Stick& s : sticks_) {
    if (s.joystick) SDL_JoystickClose(s.joystick);
  }
  sticks_.clear();
  audio_.reset();
  SDL_Quit();
  started_ = joysticksUp_ = video_ = videoTried_ = false;
}

void SdlBackend::Exit(int code) {
  Shutdown();
  std::exit(code);
}

std::vector<DisplayMode> SdlBackend::Modes() {
  std::vector<DisplayMode> modes;
  if (!VideoUp()) return modes;
  int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) == 0) {
      modes.push_back({m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
    }
  }
  return modes;
}

bool SdlBackend::Open(int width, int height, int depth, int hz, int flags, int driver) {
  Close();
  if (!VideoUp()) {
    Notice("no display available");
    return false;
  }
  if (width <= 0 || height <= 0 || driver < kDriverOpenGL || driver > kDriverDirect3D7) {
    Notice("display request refused: " + std::to_string(width) + "x" + std::to_string(height) +
           ", driver " + std::to_string(driver));
    return false;
  }
  bool fullScreen = depth != 0;
  SDL_DisplayMode mode{};
  if (fullScreen && !ClosestMode(width, height, depth, hz, mode)) {
    Notice("no full-screen mode near " + std::to_string(width) + "x" + std::to_string(height));
    return false;
  }
  Uint32 windowFlags = SDL_WINDOW_HIDDEN;
  if (driver == kDriverOpenGL) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    AskGlContext();
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    windowFlags |= SDL_WINDOW_OPENGL;
  }
  window_ = SDL_CreateWindow(Latin1ToUtf8(title_).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             fullScreen ? mode.w : width, fullScreen ? mode.h : height, windowFlags);
  if (!window_) return Fail("could not create the window");
  if (fullScreen && (SDL_SetWindowDisplayMode(window_, &mode) != 0 ||
                     SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0)) {
    return Fail("could not switch to full screen");
  }
  std::string error;
  if (driver == kDriverOpenGL) {
    SDL_GLContext context = SDL_GL_CreateContext(window_);
    if (!context) return Fail("no OpenGL context");
    auto gl = MakeGlRenderer(window_, context, &error);
    if (!gl) {
      SDL_GL_DeleteContext(context);
      SDL_SetError("%s", error.c_str());
      return Fail("OpenGL renderer unusable");
    }
    gl_ = gl.get();
    renderer_ = std::move(gl);
  } else {
    Uint32 rendererFlags = driver == kDriverDirect3D9 ? SDL_RENDERER_ACCELERATED : SDL_RENDERER_SOFTWARE;
    // The target may name SDL's accelerated renderer; else SDL takes its first.
    if (const char* name = AcceleratedRendererName(); name && driver == kDriverDirect3D9) {
      SDL_SetHint(SDL_HINT_RENDER_DRIVER, name);
    }
    renderer_ = MakeSdlRenderer(window_, rendererFlags, &error);
    if (!renderer_) {
      SDL_SetError("%s", error.c_str());
      return Fail("SDL renderer unusable");
    }
  }
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  SDL_ShowCursor(pointerVisible_ ? SDL_ENABLE : SDL_DISABLE);
  SDL_StartTextInput();
  ++generation_;
  // The window is born black rather than with whatever was on screen.
  renderer_->Clear();
  renderer_->Present(false);
  renderer_->Clear();
  return true;
}

void SdlBackend::Close() {
  gl_ = nullptr;
  renderer_.reset();  // before the window: the GL context belongs to it
  if (window_) {
    SDL_DestroyWindow(window_);
    window_ = nullptr;
  }
}

void SdlBackend::SetTitle(const std::string& title) {
  title_ = title;
  if (window_) SDL_SetWindowTitle(window_, Latin1ToUtf8(title_).c_str());
}

void SdlBackend::SetPointerVisible(bool visible) {
  pointerVisible_ = visible;
  if (video_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlBackend::WarpMouse(double realX, double realY) {
  if (!window_) return;
  SDL_WarpMouseInWindow(window_, static_cast<int>(std::lround(realX)),
                        static_cast<int>(std::lround(realY)));
  // The motion event arrives later; readers expect the new position at once.
  Input().mouseX = realX;
  Input().mouseY = realY;
}

void SdlBackend::Pump(InputState& input) {
  if (!started_) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        input.closeRequested = true;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) input.closeRequested = true;
        break;
      case SDL_KEYDOWN: {
        int key = sdlinput::VirtualKey(e.key.keysym.sym, e.key.keysym.scancode);
        if (key != 0 && !e.key.repeat) input.PressKey(key);
        // Held keys repeat their control characters, as typed letters do.
        if (int c = sdlinput::ControlCharacter(key)) input.typed.push_back(c);
        break;
      }
      case SDL_KEYUP: {
        int key = sdlinput::VirtualKey(e.key.keysym.sym, e.key.keysym.scancode);
        if (key != 0) input.ReleaseKey(key);
        break;
      }
      case SDL_TEXTINPUT:
        sdlinput::AppendUtf8(e.text.text, input.typed);
        break;
      case SDL_MOUSEMOTION:
        input.mouseX = e.motion.x;
        input.mouseY = e.motion.y;
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int button = MouseButton(e.button.button);
        if (button == 0) break;
        input.mouseX = e.button.x;
        input.mouseY = e.button.y;
        if (e.type == SDL_MOUSEBUTTONDOWN) {
          input.PressMouse(button);
        } else {
          input.ReleaseMouse(button);
        }
        break;
      }
      case SDL_JOYDEVICEADDED:
        PlugStick(e.jdevice.which);
        break;
      case SDL_JOYDEVICEREMOVED:
        UnplugStick(e.jdevice.which);
        break;
      default:
        break;
    }
  }
}

void SdlBackend::WaitEvents(int milliseconds) {
  if (!started_) {
    Sleep(milliseconds);
    return;
  }
  // A null event only waits; the event stays queued for Pump.
  SDL_WaitEventTimeout(nullptr, std::max(milliseconds, 0));
}

JoystickState SdlBackend::Joystick(int port) {
  JoystickState state;
  if (port < 0 || port >= static_cast<int>(sticks_.size())) {
    state.connected = false;
    return state;
  }
  const Stick& s = sticks_[port];
  state.name = s.name;
  state.buttons.assign(s.buttons, false);
  if (!s.joystick) {
    state.connected = false;
    return state;
  }
  int axes = std::min(SDL_JoystickNumAxes(s.joystick), 6);
  for (int i = 0; i < axes; ++i) state.axes[i] = sdlinput::AxisValue(SDL_JoystickGetAxis(s.joystick, i));
  if (SDL_JoystickNumHats(s.joystick) > 0) {
    state.hat = sdlinput::HatPosition(SDL_JoystickGetHat(s.joystick, 0));
  }
  for (int b = 0; b < s.buttons; ++b) state.buttons[b] = SDL_JoystickGetButton(s.joystick, b) != 0;
  return state;
}

void SdlBackend::Sleep(int milliseconds) { SDL_Delay(static_cast<Uint32>(std::max(milliseconds, 0))); }

AudioDriver& SdlBackend::Audio() {
  if (!audio_) {
    // OpenAL runs silently by itself when no sound device can be opened.
    audio_ = MakeOpenALAudio();
  }
  return *audio_;
}

// Tried once per start: a missing display does not appear later, and each try
// costs time and noise.
bool SdlBackend::VideoUp() {
  if (!videoTried_) {
    videoTried_ = true;
    video_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    const char* driver = video_ ? SDL_GetCurrentVideoDriver() : nullptr;
    if (driver) VideoStarted(driver);
  }
  return video_;
}

// Logs why the display could not be opened and undoes the half-open one.
bool SdlBackend::Fail(const std::string& what) {
  Notice(what + ": " + SDL_GetError());
  Close();
  return false;
}

// The display mode of display 0 best matching the request: the size first, then
// the depth, then the refresh rate (any when hz is 0).
bool SdlBackend::ClosestMode(int width, int height, int depth, int hz, SDL_DisplayMode& out) {
  int count = SDL_GetNumDisplayModes(0);
  long best = -1;
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
    long cost = (std::labs(long(m.w) - width) + std::labs(long(m.h) - height)) * 10000L +
                std::labs(long(SDL_BITSPERPIXEL(m.format)) - depth) * 1000L +
                (hz > 0 && m.refresh_rate > 0 ? std::min(std::labs(long(m.refresh_rate) - hz), 999L) : 0);
    if (best < 0 || cost < best) {
      best = cost;
      out = m;
    }
  }
  return best >= 0;
}

int SdlBackend::MouseButton(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return 0;
  }
}

void SdlBackend::PlugStick(int deviceIndex) {
  if (!joysticksUp_) return;
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  for (const Stick& s : sticks_) {
    if (s.joystick && s.id == id) return;  // already open (start-up sees each stick twice)
  }
  SDL_Joystick* js = SDL_JoystickOpen(deviceIndex);
  if (!js) return;
  Stick stick;
  stick.joystick = js;
  stick.id = SDL_JoystickInstanceID(js);
  stick.guid = SDL_JoystickGetGUID(js);
  const char* name = SDL_JoystickName(js);
  stick.name = name ? name : "";
  stick.buttons = std::max(SDL_JoystickNumButtons(js), 0);
  // A stick plugged back in takes its old port, so bindings keep pointing at it.
  for (Stick& s : sticks_) {
    if (!s.joystick && std::memcmp(&s.guid, &stick.guid, sizeof stick.guid) == 0) {
      s = stick;
      return;
    }
  }
  sticks_.push_back(stick);
}

void SdlBackend::UnplugStick(SDL_JoystickID id) {
  for (Stick& s : sticks_) {
    if (s.joystick && s.id == id) {
      SDL_JoystickClose(s.joystick);
      s.joystick = nullptr;
      s.id = -1;
    }
  }
}
}  // namespace plat

void plat::UseRealMachine() { UseBackend(MakeSdlBackend()); }
