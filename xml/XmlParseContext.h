#pragma once

#include "xml/XmlElement.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XmlDocument;

/// The working state of one parse, and the creator of the elements it makes. A context without a
/// document only creates elements for documents that the program builds itself (the writer then
/// puts no namespace declarations on them). Elements point at their context, so it must live as
/// long as they do.
class XmlParseContext {
public:
    explicit XmlParseContext(XmlDocument* document = nullptr) : document_(document) {}
    XmlParseContext(const XmlParseContext&) = delete;
    XmlParseContext& operator=(const XmlParseContext&) = delete;

    XmlDocument* Document() const { return document_; }

    /// A new element made by this context, with empty text.
    std::unique_ptr<XmlElement> CreateElement(std::string name) {
        return std::make_unique<XmlElement>(this, std::move(name));
    }

    /// Parses text into the document, appending to its roots. On a malformed text stops at the
    /// error, reports it through the document and returns false: what was read before stays, the
    /// element whose start tag was being read is removed. False without a report for a context
    /// that has no document.
    bool Parse(std::string_view text);

    /// The top-level elements this context's parse produced, in order (owned by the document).
    const std::vector<XmlElement*>& TopLevelElements() const { return topLevel_; }

private:
    bool AtEnd() const { return cursor_ == end_; }
    std::size_t Remaining() const { return static_cast<std::size_t>(end_ - cursor_); }
    bool LookingAt(std::string_view text) const {
        return std::string_view(cursor_, Remaining()).starts_with(text);
    }
    /// Moves the cursor to position, counting the newlines passed.
    void ConsumeTo(const char* position);
    void SkipWhitespace();

    void ReadTextRun();
    bool SkipDeclaration();
    void SkipComment();
    void ReadCData();
    bool ReadTag();
    bool CloseElement(const std::string& name, const XmlNamespace* ns);
    bool ReadAttributes(XmlElement& element, const std::string& prefix);
    bool ReadToken(std::string& token, bool escapes, const std::string& elementName);
    void DeclareNamespace(XmlElement& element, const std::string& elementPrefix,
                          const std::string& attributeName, const std::string& value);
    void PopElement();

    /// Reports a parse error with the string-table text id (formatted with argument when it takes
    /// one), removes the element whose start tag was being read, and returns false.
    bool Fail(int id, const std::string& argument = {});

    XmlDocument* document_;
    std::vector<XmlElement*> topLevel_;

    // The parse in progress.
    const char* begin_ = nullptr;
    const char* end_ = nullptr;
    const char* cursor_ = nullptr;
    int line_ = 1;
    int tokenLine_ = 1;
    XmlElement* current_ = nullptr;
    std::vector<XmlElement*> open_;
    XmlElement* reading_ = nullptr; ///< the element whose start tag is being read
    /// The attributes of the start tag being read, handed to its element in one piece at the tag's
    /// end: an element's array is allocated once instead of growing attribute by attribute.
    std::vector<std::unique_ptr<XmlAttribute>> attributes_;
};
