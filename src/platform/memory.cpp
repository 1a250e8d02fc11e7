// Memory figures of the heap and the clean-up step.
#include <malloc.h>

#include <algorithm>

#include "platform/platform.h"

namespace plat {

long long CollectMemory() {
  // Trimming walks the heap, so it is only worth it once a fair amount lies free.
  constexpr size_t kWorthTrimming = 1 << 20;
  struct mallinfo2 before = mallinfo2();
  if (before.fordblks < kWorthTrimming) return 0;
  malloc_trim(256 * 1024);
  struct mallinfo2 after = mallinfo2();
  long long held = static_cast<long long>(before.arena) - static_cast<long long>(after.arena);
  long long freeGone = static_cast<long long>(before.fordblks) - static_cast<long long>(after.fordblks);
  return std::max({0LL, held, freeGone});
}

long long MemoryInUse() {
  struct mallinfo2 mi = mallinfo2();
  return static_cast<long long>(mi.uordblks + mi.hblkhd);
}

}  // namespace plat
