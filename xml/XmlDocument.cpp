#include "xml/XmlDocument.h"

#include "xml/XmlText.h"

#include <cstdio>
#include <utility>

namespace {

XmlDocument::ReportFunction& DebugOutput() {
    static XmlDocument::ReportFunction output = [](const std::string& text) {
        std::fwrite(text.data(), 1, text.size(), stderr);
    };
    return output;
}

XmlDocument::ReportFunction& MessageBoxHook() {
    static XmlDocument::ReportFunction show;
    return show;
}

void AppendQualifiedName(std::string& output, const XmlElement& element) {
    // A default namespace has an empty prefix, so the name is written as ":name"; the reader
    // takes that back to the default declaration.
    if (element.xmlNamespace != nullptr) {
        output += element.xmlNamespace->prefix;
        output += ':';
    }
    output += element.name;
}

void AppendEndTag(std::string& output, const XmlElement& element) {
    output += "</";
    AppendQualifiedName(output, element);
    output += ">\r\n";
}

// Writes an element's start tag, and for an element without children all of it. True when its
// children follow (and its end tag is still to be written).
bool AppendStart(std::string& output, const XmlElement& element) {
    output += '<';
    AppendQualifiedName(output, element);
    for (const auto& attribute : element.attributes) {
        output += ' ';
        output += attribute->name;
        output += "=\"";
        XmlAppendEscaped(output, attribute->value);
        output += '"';
    }
    if (element.creator != nullptr && element.creator->Document() != nullptr) {
        for (const auto& ns : element.creator->Document()->Namespaces()) {
            output += ns->prefix.empty() ? " xmlns=\"" : " xmlns:" + ns->prefix + "=\"";
            output += ns->uri;
            output += '"';
        }
    }
    if (element.children.empty() && element.Text().empty()) {
        output += "/>";
        return false;
    }
    output += '>';
    if (element.children.empty()) {
        XmlAppendEscaped(output, element.Text());
        AppendEndTag(output, element);
        return false;
    }
    output += "\r\n";
    return true;
}

// Serialises one tree through a stack of open elements, so any depth of nesting is safe.
void AppendElement(std::string& output, const XmlElement& root) {
    std::vector<std::pair<const XmlElement*, std::size_t>> open;
    if (AppendStart(output, root))
        open.emplace_back(&root, 0);
    while (!open.empty()) {
        auto& [element, next] = open.back();
        if (next == element->children.size()) {
            AppendEndTag(output, *element);
            open.pop_back();
            continue;
        }
        const XmlElement& child = *element->children[next++];
        if (AppendStart(output, child))
            open.emplace_back(&child, 0);
    }
}

} // namespace

XmlDocument::~XmlDocument() {
    // Trees first: their elements point at the contexts and the namespace records.
    roots.clear();
}

bool XmlDocument::Parse(std::string_view text) {
    contexts_.push_back(std::make_unique<XmlParseContext>(this));
    return contexts_.back()->Parse(text);
}

bool XmlDocument::Write(std::string& output, std::string_view declaration) const {
    XmlWipeString(output);
    output.clear();
    output += declaration;
    output += "\r\n";
    for (const auto& root : roots)
        AppendElement(output, *root);
    return true;
}

void XmlDocument::Bind(const XmlBinding* table, int count, void* target) const {
    for (const auto& root : roots)
        XmlBindElement(*root, table, count, target);
}

const XmlNamespace& XmlDocument::DeclareNamespace(const std::string& uri, const std::string& prefix) {
    if (const auto found = byUri_.find(uri); found != byUri_.end())
        return *found->second;
    const XmlNamespace& record =
        *namespaces_.emplace_back(std::make_unique<XmlNamespace>(XmlNamespace{uri, prefix}));
    byUri_.emplace(uri, &record);
    byPrefix_.emplace(prefix, &record); // keeps the first record of a prefix
    return record;
}

const XmlNamespace* XmlDocument::FindNamespaceByPrefix(const std::string& prefix) const {
    const auto found = byPrefix_.find(prefix);
    return found == byPrefix_.end() ? nullptr : found->second;
}

void XmlDocument::ReportParseError(const std::string& report) const {
    if (DebugOutput())
        DebugOutput()(report + "\n");
    if ((flags & kShowErrors) != 0 && MessageBoxHook())
        MessageBoxHook()(report);
}

XmlDocument::ReportFunction XmlDocument::SetDebugOutput(ReportFunction output) {
    return std::exchange(DebugOutput(), std::move(output));
}

XmlDocument::ReportFunction XmlDocument::SetMessageBoxHook(ReportFunction show) {
    return std::exchange(MessageBoxHook(), std::move(show));
}
