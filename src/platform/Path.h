#pragma once
// Path and location helpers: how the viewer tells a web address from a local,
// relative or network path, and how it takes paths apart and joins them.
//
// Locations come from pages and description files and may use "\" or "/";
// local paths handed to the C library always use "/". Both characters count
// as separators everywhere in this file.
//
//   web location   a scheme (a letter, then letters, digits, "+", "-" or ".",
//                  two characters at least) followed by "://": "http://h/x",
//                  "file:///x". A one-letter scheme is a drive letter.
//   network path   two separators and a server name: "//srv/x", "\\srv\x"
//   local absolute a leading separator ("/x", "\x") or a drive letter ("C:",
//                  "C:\x"), kept for pages written with such paths
//   relative       anything else, the empty text included
//
// ClassifyLocation tests, in this order: web (also after the first "https"
// is made "http"), relative, network; what is left is local absolute.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class LocationKind : std::int32_t {
    LocalAbsolute = 0,
    Web = 1,
    Relative = 2,
    Network = 3,
};

bool IsSeparator(char16_t c);

// A scheme followed by "://".
bool IsUrl(std::u16string_view text);

// Two leading separators followed by a server name.
bool IsNetworkPath(std::u16string_view text);

// A leading separator or a drive letter ("C:"); not a network path.
bool IsAbsolutePath(std::u16string_view text);

// Neither a URL, a network path nor an absolute path. The empty text is relative.
bool IsRelative(std::u16string_view text);

// The text with its first "https" (exact case) replaced by "http"; unchanged
// when it holds none. A location is tested as a URL both ways.
std::u16string WithHttpsAsHttp(std::u16string_view text);

LocationKind ClassifyLocation(std::u16string_view text);

// Every "\" made "/": a location from a page, ready for local use (and the
// form a web base takes).
std::u16string NormalizeSeparators(std::u16string_view text);

// base + "/" + name, both normalised; no separator is doubled at the joint
// and an empty part yields the other one.
std::u16string Join(std::u16string_view base, std::u16string_view name);

// Drops the last component in place and reports whether the text changed.
// A trailing separator alone is dropped first ("/a/b/" -> "/a/b"). The root
// is never removed: "/", "C:\", "C:", "//server", "http://host" and
// "file:///" stay as they are; "/a" -> "/", "C:\a" -> "C:\", "a" -> "",
// "//srv/share" -> "//srv", "http://h/a/b.xml" -> "http://h/a".
bool RemoveFileSpec(std::u16string& path);

// The same as a value.
std::u16string WithoutFileSpec(std::u16string_view path);

// True for an existing regular file or folder (links followed). "\" counts
// as "/". The empty path does not exist.
bool FileExists(std::u16string_view path);

// Outcome of asking for a path's attributes, finer than FileExists: a missing
// name in an existing folder is told apart from a missing folder on the way,
// and a URL is no file name at all.
enum class PathProbe {
    Exists,
    FileNotFound,  // the folder exists, the name in it does not
    PathNotFound,  // a folder on the way is missing or is a file
    InvalidName,   // not a file name (a URL, the empty text, too long)
    Unreadable,    // any other failure (permissions, I/O)
};

PathProbe ProbePath(std::u16string_view path);

}  // namespace platform
