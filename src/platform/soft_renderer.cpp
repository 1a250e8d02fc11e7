// Placeholder body; replaced by the real implementation.
#include "platform/backend.h"

namespace plat {

std::unique_ptr<Renderer> MakeSoftRenderer(int width, int height) { return nullptr; }

}  // namespace plat
