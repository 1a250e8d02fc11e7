// The offscreen software renderer behind the headless backend.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/backend.h"

namespace plat {

class SoftRenderer : public Renderer {
 public:
  // Pixels of the last presented frame (RGBA8, top row first), rasterised on demand.
  virtual std::vector<uint8_t> FrontPixels() = 0;
};

std::unique_ptr<SoftRenderer> MakeSoftRendererImpl(int width, int height);

}  // namespace plat
