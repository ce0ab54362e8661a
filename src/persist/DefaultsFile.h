#pragma once
// Writes the drawing defaults to their file with the XML writer: the root
// "sx:Defaults" and its three sections. The document goes to a temporary
// file beside the target, which is then renamed over it, so that a process
// killed mid-write leaves the previous file whole.

#include <string_view>

class SX_Defaults;

namespace persist {

// True only when all three sections were written and the file is in place.
// An empty path writes nothing and answers false.
bool SaveDefaults(const SX_Defaults& defaults, std::u16string_view path);

}  // namespace persist
