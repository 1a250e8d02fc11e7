// A Renderer over SDL's own 2D renderers: the stand-ins for the program's two
// Direct3D choices (SDL's accelerated renderer, and its software renderer).
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/backend.h"

namespace plat {

// Creates SDL's renderer for the window (`flags` as for SDL_CreateRenderer, index
// -1 picks the driver). Null, with SDL's reason in `error`, when it cannot.
std::unique_ptr<Renderer> MakeSdlRenderer(SDL_Window* window, Uint32 flags, std::string* error);

}  // namespace plat
