// Private to the SDL backend: the backend itself, which each target's file set
// finishes (the desktop's in posix/, the page's in web/) with what differs there:
// the video drivers, the OpenGL context, waiting and sleeping, the end.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/render/gl/gl_renderer.h"

namespace plat {

class SdlBackend : public Backend {
 public:
  ~SdlBackend() override { Shutdown(); }

  bool Start() override;
  void Shutdown() override;
  [[noreturn]] void Exit(int code) override;
  std::vector<DisplayMode> Modes() override;
  bool Open(int width, int height, int depth, int hz, int flags, int driver) override;
  void Close() override;
  Renderer* renderer() override { return renderer_.get(); }
  int DisplayGeneration() const override { return generation_; }
  void SetTitle(const std::string& title) override;
  void SetPointerVisible(bool visible) override;
  void WarpMouse(double realX, double realY) override;
  void Pump(InputState& input) override;
  void WaitEvents(int milliseconds) override;
  int JoyCount() override { return static_cast<int>(sticks_.size()); }
  JoystickState Joystick(int port) override;
  int64_t Millisecs() override { return static_cast<int64_t>(SDL_GetTicks64()); }
  void Sleep(int milliseconds) override;
  std::time_t WallClock() override { return std::time(nullptr); }
  AudioDriver& Audio() override;

 protected:
  // The target's hints before SDL starts: which video drivers count as a display.
  virtual void ChooseVideoDrivers() = 0;
  // Called once the video subsystem is up, with its driver's name.
  virtual void VideoStarted(const char* driver) {}
  // The OpenGL version and profile asked of the context.
  virtual void AskGlContext() = 0;
  // SDL's render driver for the accelerated choice ("DirectX 9"); null: SDL's first.
  virtual const char* AcceleratedRendererName() const { return nullptr; }

  bool started() const { return started_; }
  GlRenderer* gl() const { return gl_; }

 private:
  struct Stick {
    SDL_Joystick* joystick = nullptr;  // null while unplugged
    SDL_JoystickID id = -1;
    SDL_JoystickGUID guid{};
    std::string name;
    int buttons = 0;
  };

  bool VideoUp();
  bool Fail(const std::string& what);
  bool ClosestMode(int width, int height, int depth, int hz, SDL_DisplayMode& out);
  static int MouseButton(Uint8 sdlButton);
  void PlugStick(int deviceIndex);
  void UnplugStick(SDL_JoystickID id);

  bool started_ = false;
  bool video_ = false;
  bool videoTried_ = false;
  bool joysticksUp_ = false;
  SDL_Window* window_ = nullptr;
  std::unique_ptr<Renderer> renderer_;
  GlRenderer* gl_ = nullptr;  // renderer_ when it is ours
  int generation_ = 0;
  std::string title_;
  bool pointerVisible_ = true;
  std::vector<Stick> sticks_;
  std::unique_ptr<AudioDriver> audio_;
};

}  // namespace plat
