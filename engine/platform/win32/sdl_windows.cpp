// The SDL backend on Windows: a window of its own video driver and desktop
// OpenGL. A lost display is no Windows event: nothing to watch.
#include "platform/sdl/sdl_backend.h"

namespace plat {

namespace {

class WindowsBackend : public SdlBackend {
 protected:
  void ChooseVideoDrivers() override {
    // Only a real window counts as a display, never the offscreen driver.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "windows", SDL_HINT_DEFAULT);
  }

  void AskGlContext() override {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  }

  // "DirectX 9" is SDL's Direct3D 9 renderer, by name: left to itself SDL would
  // go on to Direct3D 12 where 9 fails, which aborts on some systems. "DirectX 7"
  // stays SDL's software renderer, which needs no 3D driver at all.
  const char* AcceleratedRendererName() const override { return "direct3d"; }
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() { return std::make_unique<WindowsBackend>(); }

}  // namespace plat
