#pragma once
// The control's texts: the installation's message file "Resource.xml", the
// optional side resource module and the control's own string table.
//
// Order for a message with key K:
//   1. the message file, when loaded and holding the element K (a path of
//      prefixed names from the document, "sx:Resource/sx:FileNotFound"); a
//      multi-line message joins the texts of its "Line" children with "\n";
//   2. string N of the current resource source (the side module when it
//      loaded, else the own table), or the caller's built-in text;
//   3. the text is then used as a printf-style format (SX_Format).
//
// The side module is "PanoraResources.ini" in the installation folder: an
// INI file whose section [Strings] maps entry numbers to texts ("101=..."),
// "\n" standing for a line feed. When it loads it replaces the own table as
// the current source; the source is swapped atomically, so lookups from the
// loader thread see either the old or the new one.
//
// The message file document is written only by LoadMessageFile, which the
// control calls at construction before any other thread exists.

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/XmlDocument.h"

class HostUi;

namespace host {

class Resources {
  public:
    // Buffer sizes of the message lookups, in characters (terminator included).
    static constexpr std::size_t kShortMessage = 255;
    static constexpr std::size_t kLongMessage = 4095;

    Resources();
    ~Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    // Loads "Resource.xml" from the installation folder. False (and every
    // lookup falls back) when there is none or it does not parse.
    bool LoadMessageFile(std::u16string_view installFolder);
    bool HasMessageFile() const { return messagesLoaded_; }
    const platform::XmlDocument& MessageDocument() const { return messages_; }

    // Loads the side module from the installation folder; false when absent.
    bool LoadSideModule(std::u16string_view installFolder);
    bool HasSideModule() const;
    static constexpr const char16_t* kSideModuleName = u"PanoraResources.ini";

    // Where the "String not found in resources" box goes (none: not shown).
    void SetHostUi(HostUi* ui) { ui_ = ui; }

    // Message file lookup: true with the text (cut to bufferSize - 1
    // characters) when the file is loaded and holds the key.
    bool GetMessage(std::u16string_view key, std::u16string& text, bool multiLine = false,
                    std::size_t bufferSize = kShortMessage) const;

    // Entry `id` of the current source; empty when it lacks it.
    std::u16string LoadString(int id) const;
    // Entry `id` of the current source, else of the own table; when neither
    // has it, a "String not found in resources" box and a warning text.
    std::u16string LoadStringWithFallback(int id) const;

    // Key, else string `id` (with fallback).
    std::u16string Text(std::u16string_view key, int id, bool multiLine = false) const;
    // Key, else the caller's built-in text.
    std::u16string Text(std::u16string_view key, std::u16string_view builtIn,
                        bool multiLine = false) const;

  private:
    using Table = std::map<int, std::u16string>;

    platform::XmlDocument messages_;
    bool messagesLoaded_ = false;
    std::atomic<std::shared_ptr<const Table>> sideModule_;
    HostUi* ui_ = nullptr;
};

}  // namespace host
