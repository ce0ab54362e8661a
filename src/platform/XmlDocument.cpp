#include "platform/XmlDocument.h"

#include <pugixml.hpp>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/Text.h"

namespace platform {

namespace detail {
// One document's storage. Detached nodes are children of `holder`, a hidden
// element at document level that no reader, path or serialisation sees; this
// keeps every node in one pugixml document so that attaching is a move and
// handles stay valid.
struct XmlStore {
    pugi::xml_document doc;
    pugi::xml_node holder;

    pugi::xml_node Holder() {
        if (!holder) {
            holder = doc.prepend_child(pugi::node_element);
            holder.set_name("panora-detached");
        }
        return holder;
    }
    bool IsHolder(pugi::xml_node n) const { return holder && n == holder; }
};
}  // namespace detail

namespace {

using detail::XmlStore;

constexpr std::u16string_view kXmlNamespace = u"http://www.w3.org/XML/1998/namespace";

std::u16string Wide(const char* text) {
    return FromUtf8(text != nullptr ? text : "");
}

std::u16string_view PrefixOf(std::u16string_view qname) {
    const auto colon = qname.find(u':');
    return colon == std::u16string_view::npos ? std::u16string_view{} : qname.substr(0, colon);
}

std::string DeclarationName(std::u16string_view prefix) {
    return prefix.empty() ? std::string("xmlns") : "xmlns:" + ToUtf8(prefix);
}

// A qualified name: not empty, no markup characters or white space, at most
// one colon and not at either end.
bool IsUsableName(std::u16string_view name) {
    if (name.empty() || name.front() == u':' || name.back() == u':') {
        return false;
    }
    int colons = 0;
    for (char16_t c : name) {
        if (c == u':') {
            ++colons;
        } else if (c <= u' ' || c == u'<' || c == u'>' || c == u'&' || c == u'"' || c == u'\'' ||
                   c == u'/' || c == u'=' || c == u'?' || c == u'!') {
            return false;
        }
    }
    return colons <= 1 && !(name.front() >= u'0' && name.front() <= u'9') && name.front() != u'-' &&
           name.front() != u'.';
}

// The URI bound to `prefix` at `n` (an element or something below the
// holder/document). nullopt for a prefix bound nowhere; the default
// namespace is "" when nothing binds it.
std::optional<std::u16string> LookupNamespace(const XmlStore& store, pugi::xml_node n,
                                              std::u16string_view prefix) {
    if (prefix == u"xml") {
        return std::u16string(kXmlNamespace);
    }
    const std::string attr = DeclarationName(prefix);
    for (; n && n.type() == pugi::node_element && !store.IsHolder(n); n = n.parent()) {
        if (const auto a = n.attribute(attr.c_str())) {
            return Wide(a.value());
        }
    }
    if (prefix.empty()) {
        return std::u16string();
    }
    return std::nullopt;
}

std::optional<std::u16string> ElementNamespace(const XmlStore& store, pugi::xml_node n) {
    const std::u16string name = Wide(n.name());
    return LookupNamespace(store, n, PrefixOf(name));
}

void CollectElements(pugi::xml_node n, std::vector<pugi::xml_node>& out) {
    if (n.type() != pugi::node_element) {
        return;
    }
    out.push_back(n);
    for (auto c = n.first_child(); c; c = c.next_sibling()) {
        CollectElements(c, out);
    }
}

// Namespaces of every element of a subtree, in document order, so that they
// can be restored after the subtree has moved.
std::vector<std::optional<std::u16string>> RecordNamespaces(const XmlStore& store,
                                                            pugi::xml_node root) {
    std::vector<pugi::xml_node> elements;
    CollectElements(root, elements);
    std::vector<std::optional<std::u16string>> out;
    out.reserve(elements.size());
    for (auto e : elements) {
        out.push_back(ElementNamespace(store, e));
    }
    return out;
}

// After a subtree has been attached at its new place: drops declarations the
// new context already makes, and declares again what the subtree relied on
// but no longer sees (an unprefixed element of no namespace under a default
// namespace gets xmlns="").
void FixNamespaces(const XmlStore& store, pugi::xml_node root,
                   const std::vector<std::optional<std::u16string>>& recorded) {
    std::vector<pugi::xml_node> elements;
    CollectElements(root, elements);
    for (std::size_t i = 0; i < elements.size() && i < recorded.size(); ++i) {
        pugi::xml_node e = elements[i];
        for (auto a = e.first_attribute(); a;) {
            const auto next = a.next_attribute();
            const std::u16string name = Wide(a.name());
            std::optional<std::u16string_view> prefix;
            if (name == u"xmlns") {
                prefix = std::u16string_view{};
            } else if (name.starts_with(u"xmlns:")) {
                prefix = std::u16string_view(name).substr(6);
            }
            if (prefix) {
                const auto outer = LookupNamespace(store, e.parent(), *prefix);
                if (outer && *outer == Wide(a.value())) {
                    e.remove_attribute(a);
                }
            }
            a = next;
        }
        if (!recorded[i]) {
            continue;
        }
        const auto now = ElementNamespace(store, e);
        if (!now || *now != *recorded[i]) {
            const std::u16string qname = Wide(e.name());
            const auto prefix = PrefixOf(qname);
            if (prefix.empty() || !recorded[i]->empty()) {
                e.append_attribute(DeclarationName(prefix).c_str())
                    .set_value(ToUtf8(*recorded[i]).c_str());
            }
        }
    }
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

void AppendTexts(const XmlStore& store, pugi::xml_node n, std::string& out) {
    for (auto c = n.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            out += c.value();
        } else if (c.type() == pugi::node_element && !store.IsHolder(c)) {
            AppendTexts(store, c, out);
        }
    }
}

// A node's markup as UTF-8, without any formatting of pugixml's own; the
// document node prints its children, each top-level node (declaration,
// comments, root) on a line of its own, so the saved file ends with a line
// feed.
std::string PrintRaw(const XmlStore& store, pugi::xml_node n) {
    StringWriter w;
    if (n.type() == pugi::node_document) {
        for (auto c = n.first_child(); c; c = c.next_sibling()) {
            if (!store.IsHolder(c)) {
                c.print(w, "", pugi::format_raw, pugi::encoding_utf8);
                w.out += '\n';
            }
        }
    } else if (n) {
        n.print(w, "", pugi::format_raw, pugi::encoding_utf8);
    }
    return std::move(w.out);
}

bool NameMatches(pugi::xml_node n, std::u16string_view step) {
    return n.type() == pugi::node_element && (step == u"*" || Wide(n.name()) == step);
}

// Splits a path into its steps; false when a step is empty.
bool SplitPath(std::u16string_view path, bool& absolute, std::vector<std::u16string_view>& steps) {
    absolute = !path.empty() && path.front() == u'/';
    if (absolute) {
        path.remove_prefix(1);
    }
    if (path.empty()) {
        return false;
    }
    while (true) {
        const auto slash = path.find(u'/');
        const auto step = path.substr(0, slash);
        if (step.empty()) {
            return false;
        }
        steps.push_back(step);
        if (slash == std::u16string_view::npos) {
            return true;
        }
        path.remove_prefix(slash + 1);
    }
}

// Depth-first walk along the steps; collects matches in document order and
// stops after the first one when `firstOnly`.
bool Walk(const XmlStore& store, pugi::xml_node n, const std::vector<std::u16string_view>& steps,
          std::size_t i, bool firstOnly, std::vector<pugi::xml_node>& out) {
    if (i == steps.size()) {
        out.push_back(n);
        return firstOnly;
    }
    if (steps[i] == u".") {
        return Walk(store, n, steps, i + 1, firstOnly, out);
    }
    for (auto c = n.first_child(); c; c = c.next_sibling()) {
        if (!store.IsHolder(c) && NameMatches(c, steps[i]) &&
            Walk(store, c, steps, i + 1, firstOnly, out)) {
            return true;
        }
    }
    return false;
}

std::u16string ReasonFor(std::uint32_t code) {
    switch (code) {
        case kXmlFileNotFound:
            return u"The file was not found.";
        case kXmlFileUnreadable:
            return u"The file could not be read.";
        case kXmlOutOfMemory:
            return u"Not enough memory to read the document.";
        case kXmlNoDocumentElement:
            return u"The document has no root element.";
        case kXmlBadMarkup:
            return u"Unrecognised markup.";
        case kXmlBadProcessingInstruction:
            return u"Malformed processing instruction.";
        case kXmlBadComment:
            return u"Malformed comment.";
        case kXmlBadCData:
            return u"Malformed CDATA section.";
        case kXmlBadDoctype:
            return u"Malformed document type declaration.";
        case kXmlBadText:
            return u"Malformed character data.";
        case kXmlBadStartTag:
            return u"Malformed start tag.";
        case kXmlBadAttribute:
            return u"Malformed attribute.";
        case kXmlBadEndTag:
            return u"Malformed end tag.";
        case kXmlEndTagMismatch:
            return u"The end tag does not match the start tag.";
        default:
            return u"Internal parser error.";
    }
}

std::uint32_t CodeFor(pugi::xml_parse_status status) {
    switch (status) {
        case pugi::status_ok:
            return kXmlOk;
        case pugi::status_file_not_found:
            return kXmlFileNotFound;
        case pugi::status_io_error:
            return kXmlFileUnreadable;
        case pugi::status_out_of_memory:
            return kXmlOutOfMemory;
        case pugi::status_no_document_element:
            return kXmlNoDocumentElement;
        case pugi::status_unrecognized_tag:
            return kXmlBadMarkup;
        case pugi::status_bad_pi:
            return kXmlBadProcessingInstruction;
        case pugi::status_bad_comment:
            return kXmlBadComment;
        case pugi::status_bad_cdata:
            return kXmlBadCData;
        case pugi::status_bad_doctype:
            return kXmlBadDoctype;
        case pugi::status_bad_pcdata:
            return kXmlBadText;
        case pugi::status_bad_start_element:
            return kXmlBadStartTag;
        case pugi::status_bad_attribute:
            return kXmlBadAttribute;
        case pugi::status_bad_end_element:
            return kXmlBadEndTag;
        case pugi::status_end_element_mismatch:
            return kXmlEndTagMismatch;
        default:
            return kXmlInternalError;
    }
}

XmlParseError MakeError(std::uint32_t code) {
    XmlParseError e;
    e.code = code;
    e.reason = ReasonFor(code);
    return e;
}

// 1-based line and character position of a byte offset. CR LF, CR and LF
// each end a line; characters are counted as code points.
void LocateOffset(const std::string& text, std::size_t offset, int& line, int& position) {
    offset = std::min(offset, text.size());
    line = 1;
    position = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
            position = 1;
        } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++position;
        }
    }
}

}  // namespace

// ---------------------------------------------------------------- XmlNode

XmlNode::XmlNode(std::shared_ptr<detail::XmlStore> store, pugi::xml_node_struct* node)
    : store_(node != nullptr ? std::move(store) : nullptr), node_(node) {}

XmlNodeKind XmlNode::Kind() const {
    switch (pugi::xml_node(node_).type()) {
        case pugi::node_null:
            return XmlNodeKind::Null;
        case pugi::node_document:
            return XmlNodeKind::Document;
        case pugi::node_element:
            return XmlNodeKind::Element;
        case pugi::node_pcdata:
            return XmlNodeKind::Text;
        case pugi::node_cdata:
            return XmlNodeKind::CData;
        case pugi::node_comment:
            return XmlNodeKind::Comment;
        case pugi::node_pi:
            return XmlNodeKind::ProcessingInstruction;
        case pugi::node_declaration:
            return XmlNodeKind::Declaration;
        default:
            return XmlNodeKind::Other;
    }
}

std::u16string XmlNode::Name() const {
    const pugi::xml_node n(node_);
    switch (n.type()) {
        case pugi::node_element:
        case pugi::node_pi:
        case pugi::node_declaration:
            return Wide(n.name());
        case pugi::node_pcdata:
            return u"#text";
        case pugi::node_cdata:
            return u"#cdata-section";
        case pugi::node_comment:
            return u"#comment";
        case pugi::node_document:
            return u"#document";
        default:
            return {};
    }
}

std::u16string XmlNode::NamespaceUri() const {
    const pugi::xml_node n(node_);
    if (n.type() != pugi::node_element) {
        return {};
    }
    return ElementNamespace(*store_, n).value_or(std::u16string());
}

std::u16string XmlNode::Text() const {
    const pugi::xml_node n(node_);
    switch (n.type()) {
        case pugi::node_element:
        case pugi::node_document: {
            std::string out;
            AppendTexts(*store_, n, out);
            return FromUtf8(out);
        }
        case pugi::node_null:
            return {};
        default:
            return Wide(n.value());
    }
}

std::optional<std::u16string> XmlNode::Attribute(std::u16string_view name) const {
    const pugi::xml_node n(node_);
    if (n.type() != pugi::node_element) {
        return std::nullopt;
    }
    const auto a = n.attribute(ToUtf8(name).c_str());
    if (!a) {
        return std::nullopt;
    }
    return Wide(a.value());
}

XmlNode XmlNode::Parent() const {
    const pugi::xml_node n(node_);
    const auto p = n.parent();
    if (!p || store_->IsHolder(p)) {
        return {};
    }
    return XmlNode(store_, p.internal_object());
}

std::vector<XmlNode> XmlNode::ChildNodes() const {
    std::vector<XmlNode> out;
    for (auto c = pugi::xml_node(node_).first_child(); c; c = c.next_sibling()) {
        if (!store_->IsHolder(c)) {
            out.push_back(XmlNode(store_, c.internal_object()));
        }
    }
    return out;
}

std::vector<XmlNode> XmlNode::Children(std::u16string_view name) const {
    std::vector<XmlNode> out;
    for (auto c = pugi::xml_node(node_).first_child(); c; c = c.next_sibling()) {
        if (!store_->IsHolder(c) && c.type() == pugi::node_element &&
            (name.empty() || Wide(c.name()) == name)) {
            out.push_back(XmlNode(store_, c.internal_object()));
        }
    }
    return out;
}

XmlNode XmlNode::SelectSingleNode(std::u16string_view path) const {
    std::vector<std::u16string_view> steps;
    bool absolute = false;
    if (node_ == nullptr || !SplitPath(path, absolute, steps)) {
        return {};
    }
    const pugi::xml_node start = absolute ? pugi::xml_node(node_).root() : pugi::xml_node(node_);
    std::vector<pugi::xml_node> found;
    Walk(*store_, start, steps, 0, true, found);
    return found.empty() ? XmlNode() : XmlNode(store_, found.front().internal_object());
}

std::vector<XmlNode> XmlNode::SelectNodes(std::u16string_view path) const {
    std::vector<std::u16string_view> steps;
    bool absolute = false;
    std::vector<XmlNode> out;
    if (node_ == nullptr || !SplitPath(path, absolute, steps)) {
        return out;
    }
    const pugi::xml_node start = absolute ? pugi::xml_node(node_).root() : pugi::xml_node(node_);
    std::vector<pugi::xml_node> found;
    Walk(*store_, start, steps, 0, false, found);
    out.reserve(found.size());
    for (auto n : found) {
        out.push_back(XmlNode(store_, n.internal_object()));
    }
    return out;
}

bool XmlNode::SetAttribute(std::u16string_view name, std::u16string_view value) {
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element || !IsUsableName(name)) {
        return false;
    }
    const std::string key = ToUtf8(name);
    auto a = n.attribute(key.c_str());
    if (!a) {
        a = n.append_attribute(key.c_str());
    }
    return a && a.set_value(ToUtf8(value).c_str());
}

bool XmlNode::SetText(std::u16string_view text) {
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element) {
        return false;
    }
    // Children leave the tree as detached nodes rather than being freed, so
    // that handles to them stay usable.
    while (auto c = n.first_child()) {
        if (!store_->Holder().append_move(c)) {
            return false;
        }
    }
    return text.empty() || n.append_child(pugi::node_pcdata).set_value(ToUtf8(text).c_str());
}

bool XmlNode::AppendText(std::u16string_view text) {
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element) {
        return false;
    }
    return text.empty() || n.append_child(pugi::node_pcdata).set_value(ToUtf8(text).c_str());
}

bool XmlNode::AppendComment(std::u16string_view text) {
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element && n.type() != pugi::node_document) {
        return false;
    }
    return n.append_child(pugi::node_comment).set_value(ToUtf8(text).c_str());
}

bool XmlNode::AppendProcessingInstruction(std::u16string_view target, std::u16string_view data) {
    pugi::xml_node n(node_);
    if ((n.type() != pugi::node_element && n.type() != pugi::node_document) ||
        !IsUsableName(target)) {
        return false;
    }
    auto pi = n.append_child(pugi::node_pi);
    return pi && pi.set_name(ToUtf8(target).c_str()) && pi.set_value(ToUtf8(data).c_str());
}

XmlNode XmlNode::AppendChild(const XmlNode& child) {
    pugi::xml_node parent(node_);
    const pugi::xml_node c(child.node_);
    if ((parent.type() != pugi::node_element && parent.type() != pugi::node_document) || !c ||
        c.type() == pugi::node_document || c.type() == pugi::node_null) {
        return {};
    }
    if (parent.type() == pugi::node_document) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
            return {};
        }
        if (c.type() == pugi::node_element) {
            for (auto e = parent.first_child(); e; e = e.next_sibling()) {
                if (e.type() == pugi::node_element && !store_->IsHolder(e) && e != c) {
                    return {};
                }
            }
        }
    }
    const bool same = child.store_ == store_;
    if (same) {
        for (auto a = parent; a; a = a.parent()) {
            if (a == c) {
                return {};  // a node cannot go below itself
            }
        }
    }
    const auto recorded = RecordNamespaces(*child.store_, c);
    const pugi::xml_node attached = same ? parent.append_move(c) : parent.append_copy(c);
    if (!attached) {
        return {};
    }
    FixNamespaces(*store_, attached, recorded);
    return XmlNode(store_, attached.internal_object());
}

std::u16string XmlNode::Xml() const {
    return node_ == nullptr ? std::u16string() : FromUtf8(PrintRaw(*store_, pugi::xml_node(node_)));
}

// ------------------------------------------------------------ XmlDocument

XmlDocument::XmlDocument() : store_(std::make_shared<detail::XmlStore>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::Parse(std::string bytes) {
    store_ = std::make_shared<detail::XmlStore>();
    error_ = XmlParseError{};
    // A byte order mark is no part of the text. The rest is parsed as UTF-8
    // as it is, so that the error offset counts these very bytes.
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.erase(0, 3);
    }
    const auto result = store_->doc.load_buffer(
        bytes.data(), bytes.size(),
        pugi::parse_default | pugi::parse_declaration | pugi::parse_pi | pugi::parse_comments,
        pugi::encoding_utf8);
    if (result) {
        return true;
    }
    store_ = std::make_shared<detail::XmlStore>();
    error_ = MakeError(CodeFor(result.status));
    const auto offset =
        result.offset < 0 ? std::size_t{0} : static_cast<std::size_t>(result.offset);
    LocateOffset(bytes, offset, error_.line, error_.position);
    return false;
}

bool XmlDocument::LoadString(std::u16string_view text) {
    return Parse(ToUtf8(text));
}

bool XmlDocument::Load(std::u16string_view path) {
    const std::filesystem::path file(ToUtf8(path));
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    std::uint32_t failure = kXmlOk;
    std::string bytes;
    if (path.empty() || !std::filesystem::exists(status)) {
        failure = kXmlFileNotFound;
    } else if (std::filesystem::is_directory(status)) {
        failure = kXmlFileUnreadable;
    } else {
        std::ifstream in(file, std::ios::binary);
        if (in) {
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        if (!in || in.bad()) {
            failure = kXmlFileUnreadable;
        }
    }
    if (failure != kXmlOk) {
        store_ = std::make_shared<detail::XmlStore>();
        error_ = MakeError(failure);
        return false;
    }
    return Parse(std::move(bytes));
}

XmlNode XmlDocument::DocumentNode() const {
    if (!store_) {
        return {};
    }
    return XmlNode(store_, store_->doc.internal_object());
}

XmlNode XmlDocument::DocumentElement() const {
    if (!store_) {
        return {};
    }
    for (auto c = store_->doc.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && !store_->IsHolder(c)) {
            return XmlNode(store_, c.internal_object());
        }
    }
    return {};
}

XmlNode XmlDocument::SelectSingleNode(std::u16string_view path) const {
    return DocumentNode().SelectSingleNode(path);
}

std::vector<XmlNode> XmlDocument::SelectNodes(std::u16string_view path) const {
    return DocumentNode().SelectNodes(path);
}

XmlNode XmlDocument::CreateElement(std::u16string_view qualifiedName,
                                   std::u16string_view namespaceUri) {
    if (!IsUsableName(qualifiedName)) {
        return {};
    }
    if (!store_) {
        store_ = std::make_shared<detail::XmlStore>();
    }
    auto e = store_->Holder().append_child(ToUtf8(qualifiedName).c_str());
    if (!e) {
        return {};
    }
    if (!namespaceUri.empty()) {
        e.append_attribute(DeclarationName(PrefixOf(qualifiedName)).c_str())
            .set_value(ToUtf8(namespaceUri).c_str());
    }
    return XmlNode(store_, e.internal_object());
}

bool XmlDocument::AppendComment(std::u16string_view text) {
    return DocumentNode().AppendComment(text);
}

bool XmlDocument::AppendProcessingInstruction(std::u16string_view target,
                                              std::u16string_view data) {
    return DocumentNode().AppendProcessingInstruction(target, data);
}

XmlNode XmlDocument::SetDocumentElement(const XmlNode& element) {
    if (!store_ || !element.IsElement()) {
        return {};
    }
    const XmlNode old = DocumentElement();
    if (old == element) {
        return old;
    }
    if (old) {
        store_->Holder().append_move(pugi::xml_node(old.node_));
    }
    return DocumentNode().AppendChild(element);
}

std::string XmlDocument::ToUtf8Bytes() const {
    return store_ ? PrintRaw(*store_, store_->doc) : std::string();
}

bool XmlDocument::Save(std::u16string_view path) const {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target(ToUtf8(path));
    // The bytes go to a temporary file beside the target, which then replaces
    // it in one rename: a reader or a writer killed half-way never meets a
    // torn file. One name per process and save, so writers never share one.
    static std::atomic<unsigned> saves{0};
    const std::filesystem::path temp = target.string() + ".tmp" +
                                       std::to_string(static_cast<long>(::getpid())) + "-" +
                                       std::to_string(saves.fetch_add(1));
    const std::string bytes = ToUtf8Bytes();
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) {
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace platform
