#pragma once
// Shared by the fuzz targets: a scratch folder of the process, so that the
// readers that take a path read the input from a real file, and that nothing
// a reader writes beside it (per-user folders, the download cache) lands in
// the user's own folders.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The process's scratch folder (made on first use, removed at exit). HOME and
// the XDG folders point into it.
const std::string& ScratchDir();
// Writes the bytes to ScratchDir()/name (sub-folders made as needed) and
// returns the file's path.
std::string WriteScratch(const std::string& name, const std::uint8_t* data, std::size_t size);
std::string WriteScratch(const std::string& name, const std::string& text);

}  // namespace fuzz
