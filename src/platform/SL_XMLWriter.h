#pragma once
// The writer of every XML file and fragment the system produces.
//
// It builds a DOM tree element by element over a stack of open elements.
// Before each child element (and each comment or appended fragment) a text
// node of a line feed and one tab per open element, plus the writer's base
// indentation, is added to the parent (at most 50 tabs). Elements are
// attached to their parent when they are closed. Closing the root of a file
// writer puts the header in front of it (the "xml" processing instruction and
// two comments), adds a line feed before the root's closing tag and saves the
// document; a fragment writer hands its root element to the caller, who
// appends it to another writer's tree with AppendNode.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/XmlDocument.h"

namespace StraleLib {

class SL_XMLWriter {
  public:
    static constexpr int kMaxIndentTabs = 50;

    // A file writer (base indentation 0).
    explicit SL_XMLWriter(std::u16string fileName);
    // A fragment writer with no file name.
    explicit SL_XMLWriter(int baseIndentation);

    SL_XMLWriter(const SL_XMLWriter&) = delete;
    SL_XMLWriter& operator=(const SL_XMLWriter&) = delete;

    // Sets the file name and the encoding again and starts a new document;
    // open elements are forgotten.
    bool Open(std::u16string fileName);

    // Starts an element of the qualified name in the namespace; with no
    // namespace, in the current element's namespace (or none at the root).
    bool StartElement(std::u16string_view name, std::u16string_view namespaceUri = {});
    // Closes the current element and returns it (null when none is open).
    // Closing the root of a file writer saves the file; see SaveFailed().
    platform::XmlNode EndElement();

    // Attributes and text of the current element; false when none is open.
    bool AddAttribute(std::u16string_view name, std::u16string_view text);
    bool AddAttribute(std::u16string_view name, double number);  // "%4.3f"
    bool SetText(std::u16string_view text);
    bool SetText(int number);     // "%d"
    bool SetText(double number);  // "%lf"
    // A 32-bit ARGB colour, written as red, green, blue and alpha: "%d %d %d %d".
    bool SetText(std::uint32_t argb);

    // Two indentation texts, then the comment, into the current element.
    bool AddComment(std::u16string_view text);
    // The indentation text, then a copy of `node` (an element of another
    // writer), into the current element.
    bool AppendNode(const platform::XmlNode& node);

    const std::u16string& FileName() const { return fileName_; }
    const std::u16string& Encoding() const { return encoding_; }
    int BaseIndentation() const { return baseIndentation_; }
    int OpenElementCount() const { return static_cast<int>(stack_.size()); }
    platform::XmlNode CurrentElement() const;
    const platform::XmlDocument& Document() const { return document_; }
    // True when closing the root last tried to write the file and failed.
    bool SaveFailed() const { return saveFailed_; }

  private:
    bool AddIndentation(platform::XmlNode& parent);

    platform::XmlDocument document_;
    std::vector<platform::XmlNode> stack_;
    std::u16string fileName_;
    std::u16string encoding_ = u"UTF-8";
    int baseIndentation_ = 0;
    bool saveFailed_ = false;
};

}  // namespace StraleLib
