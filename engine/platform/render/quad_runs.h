// The batching rule of every renderer that draws through the GPU (ours on OpenGL,
// SDL's accelerated and software ones): consecutive quads go into one draw while
// they share texture, blend mode and filtering. Kept in one place so that the
// renderers group alike and their pictures stay in step.
#pragma once

#include "platform/backend.h"

namespace plat {

struct QuadRun {
  int texture = -1;  // renderer texture id, 0 untextured, -1 no run yet
  int blend = -1;
  bool filtered = false;
  int count = 0;  // quads collected so far

  // Whether `q` can be appended to this run of at most `maxQuads` quads. Plain
  // quads sample no texture (or a white texel), which looks the same at any
  // filtering, so their filter flag never splits a run.
  bool Takes(const Quad& q, int maxQuads) const {
    return q.texture == texture && q.blend == blend && (q.filtered == filtered || q.texture == 0) &&
           count < maxQuads;
  }

  // Begins a new (empty) run in the state of `q`.
  void Start(const Quad& q) {
    texture = q.texture;
    blend = q.blend;
    filtered = q.filtered;
    count = 0;
  }
};

}  // namespace plat
