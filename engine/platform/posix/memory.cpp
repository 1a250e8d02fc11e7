// Heap figures and trimming from glibc's allocator.
#include <malloc.h>

#include "platform/os.h"

namespace plat::sys {

HeapFigures Heap() {
  struct mallinfo2 mi = mallinfo2();
  return {static_cast<long long>(mi.arena), static_cast<long long>(mi.fordblks),
          static_cast<long long>(mi.uordblks) + static_cast<long long>(mi.hblkhd)};
}

void TrimHeap(size_t pad) { malloc_trim(pad); }

}  // namespace plat::sys
