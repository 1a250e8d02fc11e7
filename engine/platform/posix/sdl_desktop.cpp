// The SDL backend on a desktop: a window of the window system, desktop OpenGL,
// and the X connection watched for its loss.
#include "platform/posix/x11_connection.h"
#include "platform/sdl/sdl_backend.h"

#include <cstring>

namespace plat {

namespace {

class DesktopBackend : public SdlBackend {
 protected:
  void ChooseVideoDrivers() override {
    // Only drivers that show a window count as a display; SDL would otherwise fall
    // back to its invisible offscreen driver. SDL_VIDEODRIVER still overrides this.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland,kmsdrm", SDL_HINT_DEFAULT);
  }

  void VideoStarted(const char* driver) override {
    if (std::strcmp(driver, "x11") == 0) WatchX11Connection();
  }

  void AskGlContext() override {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
  }
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend() { return std::make_unique<DesktopBackend>(); }

}  // namespace plat
