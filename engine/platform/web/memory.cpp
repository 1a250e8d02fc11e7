// Heap figures and trimming from the page's allocator (dlmalloc in Emscripten's C
// library), which has only the older figures call.
#include <malloc.h>

#include "platform/os.h"

extern "C" int malloc_trim(size_t pad);  // in the allocator, not in its header

namespace plat::sys {

HeapFigures Heap() {
  struct mallinfo mi = mallinfo();
  return {static_cast<long long>(mi.arena), static_cast<long long>(mi.fordblks),
          static_cast<long long>(mi.uordblks) + static_cast<long long>(mi.hblkhd)};
}

void TrimHeap(size_t pad) { malloc_trim(pad); }

}  // namespace plat::sys
