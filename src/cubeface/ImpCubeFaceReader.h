#pragma once
// Reads the point file (".DAT") of one cube face at one level and answers
// per-pixel point queries in constant time. The file format is described in
// docs/point-file-format.md.
//
// Read checks the whole file (every measured pixel's packed 32-bit word has a
// range code) but keeps only which pixels are measured: a bitmap (one bit per
// pixel in 64-bit blocks) with a rank directory, the number of measured
// pixels before each 512-pixel superblock. The file stays open, and GetPoint
// reads the pixel's word from it (one pread of 4 bytes, from the page cache)
// and decodes the point: HasPoint tests one bit; GetPoint finds the word's
// place from the superblock's rank plus the popcounts of at most eight
// blocks. A face costs 17/128 byte per pixel and one file descriptor. A file
// cut short or changed after Read answers no point where its word is gone or
// has no range code.
//
// Read may be called again on the same object: it first drops the content,
// so after a failed Read the reader is empty (every query answers false).
// Queries are const and safe from any thread once Read has returned.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "cubeface/ImpCubeFaceCodec.h"

class ImpCubeFaceReader : public ImpCubeFaceCodec {
  public:
    ImpCubeFaceReader();
    ~ImpCubeFaceReader() override;
    ImpCubeFaceReader(const ImpCubeFaceReader&) = delete;
    ImpCubeFaceReader& operator=(const ImpCubeFaceReader&) = delete;

    // Reads the file at path (a local path in the system's narrow encoding).
    // True when the face's points are available; false when the file is
    // missing, damaged or not a point file (GetError says why).
    bool Read(const char* path);
    // The face and face size that a point file's header declares, read
    // without the rest of the file (so a caller can refuse a file that does
    // not fit before it is read); false when the file does not start with a
    // header of the version Read accepts.
    static bool ReadHeader(const char* path, int& face, int& size);

    bool HasPoint(int col, int row) const override;
    bool GetPoint(int col, int row, double& x, double& y, double& z,
                  bool inScanFrame) const override;

    // Format version found in the last file's header (1.0 for the files this
    // reader accepts), also when that file was rejected for its version or a
    // later fault; 0 when no point file header was recognised.
    float GetVersion() const { return m_version; }
    // Why the last Read failed; empty after a successful one.
    const std::string& GetError() const { return m_error; }

    int GetFace() const { return m_face; }
    int GetSize() const { return m_size; }  // 0 when empty
    int GetUpDirection() const { return m_upDirection; }
    double GetRangeQuantum() const { return m_quantum; }
    std::size_t GetPointCount() const { return m_count; }
    // Bytes the reader holds for the face: the object, the bitmap and the
    // rank directory.
    std::size_t GetMemoryBytes() const;

  private:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    template <typename T>
    using Buffer = std::unique_ptr<T[], FreeDeleter>;

    void Clear();
    bool Fail(std::string text);
    // Index in m_words of the word of measured pixel i (row-major).
    std::size_t WordIndex(std::size_t i) const;

    int m_file = -1;                // the point file, open while the reader holds a face
    std::uint64_t m_wordsAt = 0;    // where the words (m_count, in pixel order) start in it
    Buffer<std::uint64_t> m_bits;   // bit i % 64 of block i / 64: pixel i is measured
    Buffer<std::uint32_t> m_ranks;  // measured pixels before each 512-pixel superblock
    std::size_t m_blocks = 0;
    std::size_t m_superblocks = 0;
    int m_size = 0;
    int m_face = 0;
    int m_upDirection = 0;
    double m_quantum = 0.0;
    std::size_t m_count = 0;
    float m_version = 0.0f;
    std::string m_error;
};
