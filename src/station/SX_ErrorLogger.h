#pragma once
// An error list: the messages of a load (or of the control) in the order they
// came, and a has-error flag set by the first one. The loader thread adds
// while the window thread reads, so every operation takes the list's lock.

#include <string>
#include <string_view>
#include <vector>

#include "glcore/AutoCriticalSection.h"

namespace host {
class Resources;
}  // namespace host

class SX_ErrorLogger {
  public:
    SX_ErrorLogger() = default;
    virtual ~SX_ErrorLogger() = default;
    SX_ErrorLogger(const SX_ErrorLogger&) = delete;
    SX_ErrorLogger& operator=(const SX_ErrorLogger&) = delete;

    // Appends a message and sets the flag.
    void AddMessage(std::u16string_view text);
    // Appends string-table entry `id` (with the resources' fallback).
    void AddMessage(int id, const host::Resources& resources);

    // All messages, each followed by "\n"; empty while the flag is clear.
    std::u16string GetMessages() const;
    // The messages one by one, whatever the flag says.
    std::vector<std::u16string> Messages() const;

    bool HasError() const;
    // Clears the flag; the messages stay listed.
    void ClearErrorFlag();
    // Empties the list and clears the flag.
    void ClearMessages();

  private:
    mutable StraleLib::AutoCriticalSection lock_;
    bool hasError_ = false;
    std::vector<std::u16string> messages_;
};
