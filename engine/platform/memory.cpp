// Memory figures of the heap and the clean-up step.
#include <malloc.h>
#ifdef __EMSCRIPTEN__
extern "C" int malloc_trim(size_t pad);  // in the web's allocator, not in its header
#endif

#include <algorithm>

#include "platform/render/gfx_internal.h"

namespace plat {

namespace {

// Clean-up steps (the frame cycle runs one every other frame) a texture may go
// undrawn before it is given back: about four seconds.
constexpr int kIdleSweeps = 120;

struct HeapFigures {
  long long arena, freeBytes, used;
};

HeapFigures Heap() {
#ifdef __EMSCRIPTEN__
  struct mallinfo mi = mallinfo();  // the web's C library has only the older call
#else
  struct mallinfo2 mi = mallinfo2();
#endif
  return {static_cast<long long>(mi.arena), static_cast<long long>(mi.fordblks),
          static_cast<long long>(mi.uordblks) + static_cast<long long>(mi.hblkhd)};
}

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
  malloc_trim(256 * 1024);
  const HeapFigures after = Heap();
  return textures + std::max({0LL, before.arena - after.arena, before.freeBytes - after.freeBytes});
}

long long MemoryInUse() {
  return Heap().used;
}

}  // namespace plat
