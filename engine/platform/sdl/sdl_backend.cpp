// The real machine: an SDL2 window with our OpenGL renderer or one of SDL's
// renderers, SDL input, timers and joysticks, and OpenAL sound.
#include <SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/render/gl/gl_renderer.h"
#include "platform/headless/headless.h"
#include "platform/platform_internal.h"
#include "platform/sdl/sdl_input.h"
#include "platform/render/sdl/sdl_renderer.h"
#include "platform/posix/x11_connection.h"

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

struct Stick {
  SDL_Joystick* joystick = nullptr;  // null while unplugged
  SDL_JoystickID id = -1;
  SDL_JoystickGUID guid{};
  std::string name;
  int buttons = 0;
};

class SdlBackend : public Backend {
 public:
  ~SdlBackend() override { Shutdown(); }

  bool Start() override {
    if (started_) return true;
    // Only drivers that show a window count as a display; SDL would otherwise fall
    // back to its invisible offscreen driver. SDL_VIDEODRIVER still overrides this.
#ifdef __EMSCRIPTEN__
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "emscripten", SDL_HINT_DEFAULT);
    // The page gets each frame in our own sleep after the flip, not in one more
    // (4 ms at least) inside every buffer swap.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
#else
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland,kmsdrm", SDL_HINT_DEFAULT);
#endif
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

  void Shutdown() override {
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

  [[noreturn]] void Exit(int code) override {
    Shutdown();
#ifdef __EMSCRIPTEN__
    // What was written last (the log's closing lines at least) must reach the
    // browser's storage before the page lets the player leave.
    detail::WaitForSaveFolder(3000);
    // A page cannot close itself: it offers to start again instead.
    emscripten_run_script(("if (Module.onGameEnded) Module.onGameEnded(" + std::to_string(code) + ");").c_str());
#endif
    std::exit(code);
  }

  std::vector<DisplayMode> Modes() override {
#ifdef __EMSCRIPTEN__
    // The page scales its canvas to fit; the game draws it at its own size.
    return {{800, 600, 32, 60}};
#else
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
#endif
  }

  bool Open(int width, int height, int depth, int hz, int flags, int driver) override {
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
#ifdef __EMSCRIPTEN__
      // OpenGL ES 3.0 is WebGL 2 in the page.
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
#else
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
      SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
#endif
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

  void Close() override {
    gl_ = nullptr;
    renderer_.reset();  // before the window: the GL context belongs to it
    if (window_) {
      SDL_DestroyWindow(window_);
      window_ = nullptr;
    }
  }

  Renderer* renderer() override { return renderer_.get(); }
  int DisplayGeneration() const override { return generation_; }

  void SetTitle(const std::string& title) override {
    title_ = title;
    if (window_) SDL_SetWindowTitle(window_, Latin1ToUtf8(title_).c_str());
  }

  void SetPointerVisible(bool visible) override {
    pointerVisible_ = visible;
    if (video_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

  void WarpMouse(double realX, double realY) override {
    if (!window_) return;
    SDL_WarpMouseInWindow(window_, static_cast<int>(std::lround(realX)),
                          static_cast<int>(std::lround(realY)));
    // The motion event arrives later; readers expect the new position at once.
    Input().mouseX = realX;
    Input().mouseY = realY;
  }

  void Pump(InputState& input) override {
    if (!started_) return;
#ifdef __EMSCRIPTEN__
    // A frame flipped without a sleep still has to be handed to the page to be seen.
    if (framePending_) SleepOutFrame();
#endif
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

  void WaitEvents(int milliseconds) override {
    if (!started_) {
      Sleep(milliseconds);
      return;
    }
#ifdef __EMSCRIPTEN__
    // Events reach a page only while it sleeps: a short sleep is the wait.
    Sleep(std::clamp(milliseconds, 0, 16));
#else
    // A null event only waits; the event stays queued for Pump.
    SDL_WaitEventTimeout(nullptr, std::max(milliseconds, 0));
#endif
  }

  int JoyCount() override { return static_cast<int>(sticks_.size()); }

  JoystickState Joystick(int port) override {
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

  int64_t Millisecs() override { return static_cast<int64_t>(SDL_GetTicks64()); }
#ifdef __EMSCRIPTEN__
  // The page shows the canvas whenever the program sleeps, and clears it after:
  // what has been drawn is drawn in full first, and the frame counts as shown.
  void NoteFlip(int) override { framePending_ = true; }
  bool WaitsAtFlip() const override { return true; }
  int RendererChoices() const override { return 1; }
  void WaitAtNextFlipUntil(int64_t millis) override { flipDeadline_ = millis; }
  // Frame skipping left this frame unshown: its time passes all the same (the page
  // may show it; it is complete by now).
  void NoteSkippedFlip() override { SleepOutFrame(); }
  // The frame's one sleep, until the frame pacing's time (at once without one).
  void SleepOutFrame() {
    const int64_t left = flipDeadline_ - Millisecs();
    flipDeadline_ = 0;
    Sleep(static_cast<int>(std::clamp<int64_t>(left, 0, 1000)));
  }
  void Sleep(int milliseconds) override {
    if (gl_) gl_->Flush();
    framePending_ = false;
    emscripten_sleep(static_cast<unsigned>(std::max(milliseconds, 0)));
  }
#else
  void Sleep(int milliseconds) override { SDL_Delay(static_cast<Uint32>(std::max(milliseconds, 0))); }
#endif
  std::time_t WallClock() override { return std::time(nullptr); }

  AudioDriver& Audio() override {
    if (!audio_) {
      // OpenAL runs silently by itself when no sound device can be opened.
      audio_ = MakeOpenALAudio();
    }
    return *audio_;
  }

 private:
  // Tried once per start: a missing display does not appear later, and each try
  // costs time and noise.
  bool VideoUp() {
    if (!videoTried_) {
      videoTried_ = true;
      video_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
      const char* driver = video_ ? SDL_GetCurrentVideoDriver() : nullptr;
      if (driver && std::strcmp(driver, "x11") == 0) WatchX11Connection();
    }
    return video_;
  }

  // Logs why the display could not be opened and undoes the half-open one.
  bool Fail(const std::string& what) {
    Notice(what + ": " + SDL_GetError());
    Close();
    return false;
  }

  // The display mode of display 0 best matching the request: the size first, then
  // the depth, then the refresh rate (any when hz is 0).
  bool ClosestMode(int width, int height, int depth, int hz, SDL_DisplayMode& out) {
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

  static int MouseButton(Uint8 sdlButton) {
    switch (sdlButton) {
      case SDL_BUTTON_LEFT: return 1;
      case SDL_BUTTON_RIGHT: return 2;
      case SDL_BUTTON_MIDDLE: return 3;
      default: return 0;
    }
  }

  void PlugStick(int deviceIndex) {
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

  void UnplugStick(SDL_JoystickID id) {
    for (Stick& s : sticks_) {
      if (s.joystick && s.id == id) {
        SDL_JoystickClose(s.joystick);
        s.joystick = nullptr;
        s.id = -1;
      }
    }
  }

  bool started_ = false;
  bool video_ = false;
  bool videoTried_ = false;
  bool joysticksUp_ = false;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<Renderer> renderer_;
  GlRenderer* gl_ = nullptr;  // renderer_ when it is ours
  bool framePending_ = false;  // a frame was flipped and the page has not had it yet
  int64_t flipDeadline_ = 0;   // the frame pacing's wait, slept after the next flip
  int generation_ = 0;
  std::string title_;
  bool pointerVisible_ = true;
  std::vector<Stick> sticks_;
  std::unique_ptr<AudioDriver> audio_;
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() { return std::make_unique<SdlBackend>(); }

}  // namespace plat
