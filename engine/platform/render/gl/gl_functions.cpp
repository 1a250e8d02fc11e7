#include "platform/render/gl/gl_functions.h"

#include <SDL.h>

namespace plat {

bool LoadGlFunctions(GlFunctions& gl, std::string* missing) {
  bool ok = true;
#define BRINDLE_GL_LOAD(name)                                                         \
  gl.name = reinterpret_cast<decltype(gl.name)>(SDL_GL_GetProcAddress("gl" #name)); \
  if (!gl.name && ok) {                                                               \
    ok = false;                                                                       \
    if (missing) *missing = "gl" #name;                                               \
  }
  BRINDLE_GL_FUNCTIONS(BRINDLE_GL_LOAD)
#undef BRINDLE_GL_LOAD
  return ok;
}

}  // namespace plat
