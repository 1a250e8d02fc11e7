// Heap figures from the C runtime's heap.
#include <malloc.h>

#include "platform/os.h"

namespace plat::sys {

HeapFigures Heap() {
  HeapFigures figures{0, 0, 0};
  _HEAPINFO entry{};
  entry._pentry = nullptr;
  while (_heapwalk(&entry) == _HEAPOK) {
    const long long size = static_cast<long long>(entry._size);
    figures.arena += size;
    if (entry._useflag == _USEDENTRY) {
      figures.used += size;
    } else {
      figures.freeBytes += size;
    }
  }
  return figures;
}

void TrimHeap(size_t) { _heapmin(); }

}  // namespace plat::sys
