#include "os/posix/heap.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace stock {

void tuneHeapForLargeTexts() {
#if defined(__GLIBC__)
    // Setting the threshold also stops glibc from raising it by itself after
    // large frees, which would keep later large blocks in the heap.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 4 << 20);
#endif
}

}  // namespace stock
