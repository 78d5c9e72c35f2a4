#include "platform/posix/heap.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace stock {

void tuneHeapForLargeTexts() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

}  // namespace stock
