// Memory figures of the heap and the clean-up step.
#include <algorithm>

#include "platform/render/gfx_internal.h"
#include "platform/os.h"

namespace plat {

namespace {

// Clean-up steps (the frame cycle runs one every other frame) a texture may go
// undrawn before it is given back: about four seconds.
constexpr int kIdleSweeps = 120;

using sys::Heap;
using sys::HeapFigures;

}  // namespace

long long CollectMemory() {
  // Textures that have not been drawn for a while and can be made again (an image
  // from its file, a font from its outlines) live in the renderer's memory, which
  // is ours too: give them back. They are made again when next drawn.
  const long long textures = gfx::ReleaseIdleImageTextures(kIdleSweeps) + gfx::ReleaseIdleFontTextures(kIdleSweeps);
  // Trimming walks the heap, so it is only worth it once a fair amount lies free.
  constexpr long long kWorthTrimming = 1 << 20;
  const HeapFigures before = Heap();
  if (before.freeBytes < kWorthTrimming) return textures;
  sys::TrimHeap(256 * 1024);
  const HeapFigures after = Heap();
  return textures + std::max({0LL, before.arena - after.arena, before.freeBytes - after.freeBytes});
}

long long MemoryInUse() {
  return Heap().used;
}

}  // namespace plat
