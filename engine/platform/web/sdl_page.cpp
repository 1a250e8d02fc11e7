// The SDL backend in a web page: the canvas, WebGL 2, and a program that only
// sleeps to let the page show its frames and deliver its events.
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/platform_internal.h"
#include "platform/sdl/sdl_backend.h"

namespace plat {

namespace {

class PageBackend : public SdlBackend {
 public:
  [[noreturn]] void Exit(int code) override {
    Shutdown();
    // What was written last (the log's closing lines at least) must reach the
    // browser's storage before the page lets the player leave.
    detail::WaitForSaveFolder(3000);
    // A page cannot close itself: it offers to start again instead.
    emscripten_run_script(("if (Module.onGameEnded) Module.onGameEnded(" + std::to_string(code) + ");").c_str());
    std::exit(code);
  }

  std::vector<DisplayMode> Modes() override {
    // The page scales its canvas to fit; the game draws it at its own size.
    return {{800, 600, 32, 60}};
  }

  void Pump(InputState& input) override {
    // A frame flipped without a sleep still has to be handed to the page to be seen.
    if (started() && framePending_) SleepOutFrame();
    SdlBackend::Pump(input);
  }

  void WaitEvents(int milliseconds) override {
    if (!started()) {
      Sleep(milliseconds);
      return;
    }
    // Events reach a page only while it sleeps: a short sleep is the wait.
    Sleep(std::clamp(milliseconds, 0, 16));
  }

  // The page shows the canvas whenever the program sleeps, and clears it after:
  // what has been drawn is drawn in full first, and the frame counts as shown.
  void NoteFlip(int) override { framePending_ = true; }
  bool WaitsAtFlip() const override { return true; }
  int RendererChoices() const override { return 1; }
  void WaitAtNextFlipUntil(int64_t millis) override { flipDeadline_ = millis; }
  // Frame skipping left this frame unshown: its time passes all the same (the page
  // may show it; it is complete by now).
  void NoteSkippedFlip() override { SleepOutFrame(); }

  void Sleep(int milliseconds) override {
    if (gl()) gl()->Flush();
    framePending_ = false;
    emscripten_sleep(static_cast<unsigned>(std::max(milliseconds, 0)));
  }

 protected:
  void ChooseVideoDrivers() override {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "emscripten", SDL_HINT_DEFAULT);
    // The page gets each frame in our own sleep after the flip, not in one more
    // (4 ms at least) inside every buffer swap.
    SDL_SetHint(SDL_HINT_EMSCRIPTEN_ASYNCIFY, "0");
  }

  void AskGlContext() override {
    // OpenGL ES 3.0 is WebGL 2 in the page.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  }

 private:
  // The frame's one sleep, until the frame pacing's time (at once without one).
  void SleepOutFrame() {
    const int64_t left = flipDeadline_ - Millisecs();
    flipDeadline_ = 0;
    Sleep(static_cast<int>(std::clamp<int64_t>(left, 0, 1000)));
  }

  bool framePending_ = false;  // a frame was flipped and the page has not had it yet
  int64_t flipDeadline_ = 0;   // the frame pacing's wait, slept after the next flip
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() { return std::make_unique<PageBackend>(); }

}  // namespace plat
