#pragma once
// Per-user folders of the viewer, found from the environment the way the XDG
// base-directory rules say: a variable counts only when it holds an absolute
// path; otherwise the folder is derived from $HOME. When neither gives an
// absolute path the folder is unknown and the functions return the empty
// text (callers then skip what needs it, like the log and the auto-save).
// Folders returned carry no trailing "/".

#include <string>
#include <string_view>

namespace platform {

// $XDG_DATA_HOME, else $HOME/.local/share.
std::u16string LocalAppDataFolder();

// A file or folder below the application-data folder, named the way the
// viewer names it ("\Panora\Defaults.xml" -> "<data>/Panora/Defaults.xml";
// "\Panora\" -> "<data>/Panora/"). Empty when the folder is unknown.
std::u16string PerUserPath(std::u16string_view relative);

// $XDG_CACHE_HOME/panora, else $HOME/.cache/panora.
std::u16string CacheFolder();

// $TMPDIR when absolute, else "/tmp".
std::u16string TempFolder();

// $XDG_RUNTIME_DIR, else the temp folder.
std::u16string RuntimeFolder();

// Creates the folder and its missing parents. True when it exists as a folder
// afterwards (also when it already did); false for the empty path.
bool CreateFolders(std::u16string_view path);

}  // namespace platform
