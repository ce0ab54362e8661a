#include "platform/Heap.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

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

void MapPagesForWriting(void* data, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::uintptr_t kPage = 4096;
    const auto at = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (at + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t end = (at + bytes) & ~(kPage - 1);
    if (data != nullptr && end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace platform
