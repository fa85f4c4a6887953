#include "heap.h"

// Any C library header defines __GLIBC__ where that is the library.
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace karumenio::cli {

void keepFreedMemory() {
#ifdef __GLIBC__
    // Large blocks would otherwise be mapped apart and unmapped when freed, and the top of
    // the heap given back after every large free; both only cost page faults here.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

} // namespace karumenio::cli
