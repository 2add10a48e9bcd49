#pragma once

#include "xml/XmlBinding.h"
#include "xml/XmlElement.h"
#include "xml/XmlNamespace.h"
#include "xml/XmlParseContext.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// A document tree: its top-level elements and the namespace declarations met while parsing.
class XmlDocument {
public:
    /// Flag bit: parse errors are also shown in a message box.
    static constexpr int kShowErrors = 2;

    explicit XmlDocument(bool showErrors) : flags(showErrors ? kShowErrors : 0) {}
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;
    /// Destroys the roots (whole trees, any depth) and the namespace records.
    ~XmlDocument();

    /// Parses a whole text (single bytes) into this document, appending to the roots it has. True
    /// on success; false after a reported error (string-table texts 1000 to 1007 on the debug
    /// output, and in a message box when the document shows errors).
    bool Parse(std::string_view text);

    /// Replaces output with the declaration, CR LF and every root serialised compactly. Always
    /// true. Text and attribute values are escaped with XmlEscapeText only, so a backslash in an
    /// attribute value is written as it is (and the reader takes it as an escape).
    bool Write(std::string& output, std::string_view declaration) const;

    /// Binds every root, in order, against a table of count rows into target (see XmlBindElement).
    void Bind(const XmlBinding* table, int count, void* target) const;

    /// The namespace records, in the order first met; one per distinct uri.
    const std::vector<std::unique_ptr<XmlNamespace>>& Namespaces() const { return namespaces_; }
    /// The record of uri, added with prefix when there is none yet.
    const XmlNamespace& DeclareNamespace(const std::string& uri, const std::string& prefix);
    /// The first record declared with prefix (exact comparison), or nullptr.
    const XmlNamespace* FindNamespaceByPrefix(const std::string& prefix) const;

    /// Reports a parse error: the text and one more LF on the debug output, and the text in a
    /// message box when the document shows errors.
    void ReportParseError(const std::string& report) const;

    /// Where reports go. The debug output defaults to standard error; the message box to nothing
    /// until the application installs one. Each returns the previous function. Set them before
    /// documents are parsed (they are process-wide and not synchronised).
    using ReportFunction = std::function<void(const std::string& text)>;
    static ReportFunction SetDebugOutput(ReportFunction output);
    static ReportFunction SetMessageBoxHook(ReportFunction show);

    int flags;
    std::vector<std::unique_ptr<XmlElement>> roots;

private:
    // The contexts of earlier parses: the elements they made point at them.
    std::vector<std::unique_ptr<XmlParseContext>> contexts_;
    std::vector<std::unique_ptr<XmlNamespace>> namespaces_;
    std::unordered_map<std::string, const XmlNamespace*> byUri_;
    std::unordered_map<std::string, const XmlNamespace*> byPrefix_;
};
