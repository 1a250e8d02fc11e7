// Placeholder body; replaced by the real implementation.
#include "platform/soft_renderer.h"

namespace plat {

std::unique_ptr<SoftRenderer> MakeSoftRendererImpl(int width, int height) { return nullptr; }
std::unique_ptr<Renderer> MakeSoftRenderer(int width, int height) { return MakeSoftRendererImpl(width, height); }

}  // namespace plat
