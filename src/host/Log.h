#pragma once
// The small log file and the debugger trace lines.
//
// The log is "panoralog.txt" in the per-user folder "Panora/" below the local
// application-data folder. Logging is on when that folder is known at
// construction. Each write opens the file for appending, writes the text as
// UTF-16LE (a byte-order mark starts a new file) and closes it; a file that
// cannot be opened is skipped silently.
//
// Trace lines go to standard error when PANORA_TRACE is set in the
// environment, and to a sink a test installs.

#include <functional>
#include <string>
#include <string_view>

namespace host {

class Log {
  public:
    // Log in the per-user folder.
    Log();
    // Log in the given folder; the empty folder turns logging off.
    explicit Log(std::u16string folder);

    bool Enabled() const { return !path_.empty(); }
    const std::u16string& Path() const { return path_; }

    // Appends the text (no terminator). False when logging is off or the
    // file could not be written.
    bool Write(std::u16string_view text) const;

  private:
    std::u16string path_;
};

}  // namespace host

// Formats a narrow text printf-style (at most 1023 characters) and sends it to
// the trace output.
void SX_Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the trace output (an empty function restores the default).
void SX_SetTraceSink(std::function<void(const std::string&)> sink);
