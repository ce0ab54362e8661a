#pragma once
// XML DOM: loading, selecting and building documents.
//
// An XmlDocument holds one tree. Reading: Load (a UTF-8 file, read
// synchronously) or LoadString; whitespace-only text nodes are dropped on
// read, and a failure leaves an empty document and an XmlParseError with a
// code, a 1-based line and position in line, and a reason. Elements are
// selected by slash-separated paths of qualified names ("sx:Markup/sx:Views"),
// prefixes included, relative to a node; a leading "/" starts at the document.
//
// Building: CreateElement makes a detached element of a qualified name in a
// namespace; AppendChild attaches it (moving it within its document, copying
// it from another one). Namespaces are carried as xmlns declarations: an
// element declares its namespace when it is created, and declarations that
// the new parent already has in scope are dropped when a node is attached.
// Save writes exactly the tree: no indentation or declaration is added. It
// writes a temporary file beside the target and renames it over the target,
// so the file is replaced whole or not at all.
//
// XmlNode is a cheap handle (null-able) that keeps its document's storage
// alive, so a node stays valid after its XmlDocument is gone or reloaded.
// Nodes are never freed while a handle may see them: a node taken out of the
// tree (by SetText or by replacing the document element) becomes detached.
// Text crosses this interface as UTF-16. Nothing throws; failures are results.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
struct xml_node_struct;
}

namespace platform {

// Codes of a failed load, one per kind of failure.
enum XmlErrorCode : std::uint32_t {
    kXmlOk = 0,
    kXmlFileNotFound = 0xC0DE0001,    // no file at the path
    kXmlFileUnreadable = 0xC0DE0002,  // a folder, no permission, read error
    kXmlOutOfMemory = 0xC0DE0003,
    kXmlInternalError = 0xC0DE0004,
    kXmlNoDocumentElement = 0xC0DE0010,  // empty text or no root element
    kXmlBadMarkup = 0xC0DE0011,          // "<" followed by something that is no tag
    kXmlBadProcessingInstruction = 0xC0DE0012,
    kXmlBadComment = 0xC0DE0013,
    kXmlBadCData = 0xC0DE0014,
    kXmlBadDoctype = 0xC0DE0015,
    kXmlBadText = 0xC0DE0016,
    kXmlBadStartTag = 0xC0DE0017,
    kXmlBadAttribute = 0xC0DE0018,
    kXmlBadEndTag = 0xC0DE0019,
    kXmlEndTagMismatch = 0xC0DE001A,  // also an element left open at the end
};

struct XmlParseError {
    std::uint32_t code = kXmlOk;
    int line = 0;      // 1-based; 0 when the failure has no place in the text
    int position = 0;  // 1-based character position in that line; 0 likewise
    std::u16string reason;
};

enum class XmlNodeKind {
    Null,
    Document,
    Element,
    Text,
    CData,
    Comment,
    ProcessingInstruction,
    Declaration,
    Other
};

namespace detail {
struct XmlStore;
}

class XmlNode {
  public:
    XmlNode() = default;

    bool IsNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    XmlNodeKind Kind() const;
    bool IsElement() const { return Kind() == XmlNodeKind::Element; }
    // Same node of the same document.
    bool operator==(const XmlNode& other) const { return node_ == other.node_; }

    // Qualified name of an element or target of a processing instruction;
    // "#text", "#cdata-section", "#comment", "#document" for the others.
    std::u16string Name() const;
    // The namespace URI of an element, from the xmlns declarations in scope.
    std::u16string NamespaceUri() const;
    // The texts of all text descendants in document order (of a text,
    // comment or instruction node: its own text).
    std::u16string Text() const;
    // An attribute's text; nullopt when absent (present and empty is "").
    std::optional<std::u16string> Attribute(std::u16string_view name) const;

    // Parent element or the document; null for a detached node.
    XmlNode Parent() const;
    // All child nodes in order, of any kind.
    std::vector<XmlNode> ChildNodes() const;
    // Child elements in order, only those of the given qualified name unless
    // the name is empty.
    std::vector<XmlNode> Children(std::u16string_view name = {}) const;
    // Elements reached by the path: steps are qualified names, "*" (any
    // element) or "." (the node itself); a leading "/" starts from the
    // document node. A malformed path selects nothing.
    XmlNode SelectSingleNode(std::u16string_view path) const;
    std::vector<XmlNode> SelectNodes(std::u16string_view path) const;

    // Building. Each returns false (or a null node) when it does not apply to
    // this kind of node or the argument is not usable.
    bool SetAttribute(std::u16string_view name, std::u16string_view value);
    // Replaces the children of an element by one text node (none for "").
    bool SetText(std::u16string_view text);
    // Appends a text node, whitespace kept as is.
    bool AppendText(std::u16string_view text);
    bool AppendComment(std::u16string_view text);
    bool AppendProcessingInstruction(std::u16string_view target, std::u16string_view data);
    // Attaches `child` as the last child of this element or document: moved
    // when it lives in the same document, copied from another document. Fails
    // for a document node, for this node or one of its ancestors, and for a
    // second element at document level. Returns the attached node.
    XmlNode AppendChild(const XmlNode& child);

    // The node's markup exactly as Save writes it.
    std::u16string Xml() const;

  private:
    friend class XmlDocument;
    XmlNode(std::shared_ptr<detail::XmlStore> store, pugi::xml_node_struct* node);

    std::shared_ptr<detail::XmlStore> store_;
    pugi::xml_node_struct* node_ = nullptr;
};

class XmlDocument {
  public:
    XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;
    XmlDocument(XmlDocument&&) noexcept = default;
    XmlDocument& operator=(XmlDocument&&) noexcept = default;
    ~XmlDocument();

    // Replace the content with a parsed file or text. On failure the document
    // is empty and ParseError() tells why. Earlier node handles keep the
    // earlier content.
    bool Load(std::u16string_view path);
    bool LoadString(std::u16string_view text);
    const XmlParseError& ParseError() const { return error_; }

    XmlNode DocumentNode() const;
    XmlNode DocumentElement() const;
    XmlNode SelectSingleNode(std::u16string_view path) const;
    std::vector<XmlNode> SelectNodes(std::u16string_view path) const;

    // A detached element; a namespace URI other than "" is declared on it for
    // the name's prefix (or as the default namespace for an unprefixed name).
    // Null for an unusable name.
    XmlNode CreateElement(std::u16string_view qualifiedName, std::u16string_view namespaceUri = {});
    bool AppendComment(std::u16string_view text);
    bool AppendProcessingInstruction(std::u16string_view target, std::u16string_view data);
    // Makes `element` the document element, replacing (and detaching) an
    // earlier one; returns the attached element.
    XmlNode SetDocumentElement(const XmlNode& element);

    // The document's bytes: UTF-8, nothing added, no byte order mark.
    std::string ToUtf8Bytes() const;
    bool Save(std::u16string_view path) const;

  private:
    bool Parse(std::string bytes);

    std::shared_ptr<detail::XmlStore> store_;
    XmlParseError error_;
};

}  // namespace platform
