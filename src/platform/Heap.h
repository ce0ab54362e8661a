#pragma once
// How the process heap serves large pixel buffers.
//
// A decoded face (16 MiB at 2048 pixels) is copied into a texture whose
// storage a software renderer allocates with malloc. Fresh memory costs a page
// fault and a zeroed page for every 4 KiB touched, on the thread every upload
// waits for. When the decoded buffer is freed just before the texture's
// storage is made, the storage can take its memory, which is mapped already
// (an upload of a 2048 face: 10-11 ms -> about 4 ms on llvmpipe). That needs
// both to come from one heap that keeps such blocks: TuneHeapForPixelBuffers
// sets the C library's allocator so (one arena for all threads, blocks up to
// 32 MiB from the heap rather than mappings of their own, up to 64 MiB free
// at the heap's top kept). Called once by the program at start, before any
// thread exists; without it everything works the same, with more page
// faults. Sanitizer builds leave the allocator be.
//
// Transparent huge pages for the heap were tried: on the development machine
// (a virtual machine) their first touch sometimes cost far more than the
// faults they save (first views of 280 to 460 ms against a steady 310 to
// 335 ms), so they are not asked for.
//
// kPixelBufferHeadroom: the bytes a decoded image reserves past its pixels,
// so that the storage of a texture of the same size (the pixels plus the
// driver's alignment) fits in the block the image leaves.

#include <cstddef>

namespace platform {

inline constexpr std::size_t kPixelBufferHeadroom = 64 * 1024;

// True when the allocator took the settings.
bool TuneHeapForPixelBuffers();

// Maps the whole pages of a block about to be written whole (a decoded
// image) in one call instead of one page fault per 4 KiB as the writing
// reaches them (MADV_POPULATE_WRITE, Linux 5.14 on; elsewhere nothing
// happens). A first view of a 2048 station got 5-9 ms faster with it.
void MapPagesForWriting(void* data, std::size_t bytes);

}  // namespace platform
