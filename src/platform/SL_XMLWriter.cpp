#include "platform/SL_XMLWriter.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "platform/Text.h"

namespace StraleLib {

namespace {
constexpr std::u16string_view kFirstComment = u"StraleX Markup XML";
constexpr std::u16string_view kSecondComment = u"Written by Panora";

// Numbers are formatted as printf does in the "C" locale ("%4.3f", "%lf",
// "%d"), whatever locale the host has set.
std::u16string Fixed(double number, int precision, std::size_t width) {
    char buffer[400];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, precision);
    if (r.ec != std::errc()) {
        return {};
    }
    std::string text(buffer, r.ptr);
    if (text.size() < width) {
        text.insert(0, width - text.size(), ' ');
    }
    return platform::FromUtf8(text);
}

std::u16string Integer(long long number) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, number);
    return platform::FromUtf8(std::string_view(buffer, static_cast<std::size_t>(r.ptr - buffer)));
}
}  // namespace

SL_XMLWriter::SL_XMLWriter(std::u16string fileName) {
    Open(std::move(fileName));
}

SL_XMLWriter::SL_XMLWriter(int baseIndentation) : baseIndentation_(baseIndentation) {}

bool SL_XMLWriter::Open(std::u16string fileName) {
    fileName_ = std::move(fileName);
    encoding_ = u"UTF-8";
    document_ = platform::XmlDocument();
    stack_.clear();
    saveFailed_ = false;
    return !document_.DocumentNode().IsNull();
}

platform::XmlNode SL_XMLWriter::CurrentElement() const {
    return stack_.empty() ? platform::XmlNode() : stack_.back();
}

bool SL_XMLWriter::AddIndentation(platform::XmlNode& parent) {
    const int tabs = std::clamp(OpenElementCount() + baseIndentation_, 0, kMaxIndentTabs);
    std::u16string text(1, u'\n');
    text.append(static_cast<std::size_t>(tabs), u'\t');
    return parent.AppendText(text);
}

bool SL_XMLWriter::StartElement(std::u16string_view name, std::u16string_view namespaceUri) {
    platform::XmlNode current = CurrentElement();
    std::u16string uri(namespaceUri);
    if (current) {
        AddIndentation(current);
        if (uri.empty()) {
            uri = current.NamespaceUri();
        }
    }
    platform::XmlNode element = document_.CreateElement(name, uri);
    if (!element) {
        return false;
    }
    stack_.push_back(element);
    return true;
}

platform::XmlNode SL_XMLWriter::EndElement() {
    if (stack_.empty()) {
        return {};
    }
    platform::XmlNode closed = stack_.back();
    stack_.pop_back();
    if (!stack_.empty()) {
        return stack_.back().AppendChild(closed);
    }
    // The root.
    if (fileName_.size() > 1) {
        document_.AppendProcessingInstruction(u"xml",
                                              u"version='1.0' encoding='" + encoding_ + u"'");
        document_.AppendComment(kFirstComment);
        document_.AppendComment(kSecondComment);
        closed.AppendText(u"\n");
        closed = document_.SetDocumentElement(closed);
        saveFailed_ = !document_.Save(fileName_);
    }
    return closed;
}

bool SL_XMLWriter::AddAttribute(std::u16string_view name, std::u16string_view text) {
    platform::XmlNode current = CurrentElement();
    return current && current.SetAttribute(name, text);
}

bool SL_XMLWriter::AddAttribute(std::u16string_view name, double number) {
    return AddAttribute(name, Fixed(number, 3, 4));
}

bool SL_XMLWriter::SetText(std::u16string_view text) {
    platform::XmlNode current = CurrentElement();
    return current && current.SetText(text);
}

bool SL_XMLWriter::SetText(int number) {
    return SetText(Integer(number));
}

bool SL_XMLWriter::SetText(double number) {
    return SetText(Fixed(number, 6, 0));
}

bool SL_XMLWriter::SetText(std::uint32_t argb) {
    const auto alpha = (argb >> 24) & 0xFF;
    const auto red = (argb >> 16) & 0xFF;
    const auto green = (argb >> 8) & 0xFF;
    const auto blue = argb & 0xFF;
    return SetText(Integer(red) + u" " + Integer(green) + u" " + Integer(blue) + u" " +
                   Integer(alpha));
}

bool SL_XMLWriter::AddComment(std::u16string_view text) {
    platform::XmlNode current = CurrentElement();
    if (!current) {
        return false;
    }
    AddIndentation(current);
    AddIndentation(current);
    return current.AppendComment(text);
}

bool SL_XMLWriter::AppendNode(const platform::XmlNode& node) {
    platform::XmlNode current = CurrentElement();
    if (!current || !node.IsElement()) {
        return false;
    }
    AddIndentation(current);
    return !current.AppendChild(node).IsNull();
}

}  // namespace StraleLib
