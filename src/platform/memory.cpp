// Memory figures of the heap and the clean-up step.
#include <malloc.h>

#include <algorithm>

#include "platform/gfx_internal.h"

namespace plat {

namespace {

// Clean-up steps (the frame cycle runs one every other frame) a texture may go
// undrawn before it is given back: about four seconds.
constexpr int kIdleSweeps = 120;

}  // namespace

long long CollectMemory() {
  // Textures that have not been drawn for a while and can be made again (an image
  // from its file, a font from its outlines) live in the renderer's memory, which
  // is ours too: give them back. They are made again when next drawn.
  const long long textures = gfx::ReleaseIdleImageTextures(kIdleSweeps) + gfx::ReleaseIdleFontTextures(kIdleSweeps);
  // Trimming walks the heap, so it is only worth it once a fair amount lies free.
  constexpr size_t kWorthTrimming = 1 << 20;
  struct mallinfo2 before = mallinfo2();
  if (before.fordblks < kWorthTrimming) return textures;
  malloc_trim(256 * 1024);
  struct mallinfo2 after = mallinfo2();
  long long held = static_cast<long long>(before.arena) - static_cast<long long>(after.arena);
  long long freeGone = static_cast<long long>(before.fordblks) - static_cast<long long>(after.fordblks);
  return textures + std::max({0LL, held, freeGone});
}

long long MemoryInUse() {
  struct mallinfo2 mi = mallinfo2();
  return static_cast<long long>(mi.uordblks + mi.hblkhd);
}

}  // namespace plat
