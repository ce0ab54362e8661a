#pragma once
// A temporary folder for one test, removed with everything in it when the
// object goes away (unless PANORA_KEEP_TEMP is set, for looking at failures).

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Path of a file or folder inside the temporary folder.
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
    // Writes (or overwrites) a file inside the folder, creating parents.
    std::filesystem::path Write(std::string_view name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

// A path as the UTF-16 text the platform's interfaces take.
std::u16string U(const std::filesystem::path& path);

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Folder where tests may leave output worth looking at after a failure
// (build/test-output/<test name>), created on demand.
std::filesystem::path TestOutputDir();

}  // namespace testsupport
