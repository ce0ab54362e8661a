#include "platform/Heap.h"

#include <malloc.h>

namespace platform {

bool TuneHeapForPixelBuffers() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;  // the sanitizers bring their own allocator
#else
    bool ok = mallopt(M_ARENA_MAX, 1) != 0;
    ok = mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024) != 0 && ok;  // the library's upper bound
    ok = mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024) != 0 && ok;
    return ok;
#endif
}

}  // namespace platform
