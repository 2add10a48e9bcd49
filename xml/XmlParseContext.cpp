#include "xml/XmlParseContext.h"

#include "platform/Format.h"
#include "xml/XmlDocument.h"
#include "xml/XmlStrings.h"
#include "xml/XmlText.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool EndsTagName(char c) {
    return c == ' ' || c == '/' || c == '\t' || c == '\r' || c == '\n' || c == '>';
}

bool EndsUnquotedToken(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '=';
}

// The closing quote of a value that begins at from, or end. With escapes, a backslash takes the
// byte after it as it is; most values hold none, and two searches settle them.
const char* FindClosingQuote(const char* from, const char* end, char quote, bool escapes) {
    const auto search = [](const char* at, const char* stop, char c) {
        const void* found = std::memchr(at, c, static_cast<std::size_t>(stop - at));
        return found != nullptr ? static_cast<const char*>(found) : stop;
    };
    const char* close = search(from, end, quote);
    if (!escapes || search(from, close, '\\') == close)
        return close;
    close = from;
    while (close != end && *close != quote) {
        if (*close == '\\' && ++close == end)
            break;
        ++close;
    }
    return close;
}

const char* Find(const char* from, const char* end, std::string_view what) {
    const std::string_view rest(from, static_cast<std::size_t>(end - from));
    const std::size_t found = rest.find(what);
    return found == std::string_view::npos ? nullptr : from + found;
}

} // namespace

bool XmlParseContext::Parse(std::string_view text) {
    if (document_ == nullptr)
        return false;
    begin_ = text.data();
    end_ = begin_ + text.size();
    cursor_ = begin_;
    line_ = 1;
    tokenLine_ = 1;
    current_ = nullptr;
    open_.clear();
    reading_ = nullptr;

    bool ok = true;
    while (ok && !AtEnd()) {
        tokenLine_ = line_;
        SkipWhitespace();
        if (AtEnd())
            break;
        if (*cursor_ != '<') {
            ReadTextRun();
            continue;
        }
        ConsumeTo(cursor_ + 1);
        SkipWhitespace();
        if (AtEnd())
            ok = Fail(IDS_XML_NO_TAG_NAME);
        else if (*cursor_ == '?')
            ok = SkipDeclaration();
        else if (LookingAt("!--"))
            SkipComment();
        else if (LookingAt("![CDATA["))
            ReadCData();
        else
            ok = ReadTag();
    }
    if (ok && !open_.empty())
        ok = Fail(IDS_XML_OPEN_TAG, open_.back()->name);

    // The text belongs to the caller; nothing may point into it after the parse.
    begin_ = end_ = cursor_ = nullptr;
    current_ = nullptr;
    open_.clear();
    open_.shrink_to_fit();
    return ok;
}

void XmlParseContext::ConsumeTo(const char* position) {
    line_ += static_cast<int>(std::count(cursor_, position, '\n'));
    cursor_ = position;
}

void XmlParseContext::SkipWhitespace() {
    const char* position = cursor_;
    while (position != end_ && IsWhitespace(*position))
        ++position;
    ConsumeTo(position);
}

// Character data: the decoded run replaces the current element's text, so with several runs the
// last one wins. Whitespace before the next tag stays in it; a run outside every element is dropped.
void XmlParseContext::ReadTextRun() {
    const void* found = std::memchr(cursor_, '<', Remaining());
    const char* runEnd = found != nullptr ? static_cast<const char*>(found) : end_;
    const std::string_view run(cursor_, static_cast<std::size_t>(runEnd - cursor_));
    ConsumeTo(runEnd);
    if (current_ != nullptr)
        current_->SetText(XmlDecodeEntities(run));
}

// "<?...?>": the contents are ignored; the first "?" after the opening one must be followed by ">".
bool XmlParseContext::SkipDeclaration() {
    const void* found = std::memchr(cursor_ + 1, '?', Remaining() - 1);
    if (found == nullptr)
        return Fail(IDS_XML_OPEN_COMMENT);
    const char* question = static_cast<const char*>(found);
    ConsumeTo(question + 1);
    if (AtEnd() || *cursor_ != '>')
        return Fail(IDS_XML_OPEN_COMMENT);
    ConsumeTo(cursor_ + 1);
    return true;
}

// "<!--...-->"; a comment left open takes the rest of the text without complaint.
void XmlParseContext::SkipComment() {
    const char* close = Find(cursor_ + 3, end_, "-->");
    ConsumeTo(close != nullptr ? close + 3 : end_);
}

// "<![CDATA[...]]>": the raw bytes, marker included, become the current element's text; the
// binding recognises the marker and passes the contents undecoded.
void XmlParseContext::ReadCData() {
    const char* close = Find(cursor_ + 8, end_, "]]>");
    const char* contentEnd = close != nullptr ? close : end_;
    if (current_ != nullptr)
        current_->SetText(std::string(cursor_, contentEnd));
    ConsumeTo(close != nullptr ? close + 3 : end_);
}

bool XmlParseContext::ReadTag() {
    // The first byte never ends the name, so a leading "/" stays in it.
    const char* nameEnd = std::find_if(cursor_ + 1, end_, EndsTagName);
    std::string name(cursor_, nameEnd);
    if (nameEnd == end_) {
        ConsumeTo(end_);
        return Fail(IDS_XML_OPEN_TAG, name);
    }
    ConsumeTo(nameEnd);
    const bool closing = name[0] == '/';
    if (closing)
        name.erase(0, 1);
    // A "debug" tag is dropped; what follows its name is read as character data.
    if (name == "debug")
        return true;
    std::replace(name.begin(), name.end(), '-', '_');
    std::string prefix;
    if (const std::size_t colon = name.find(':'); colon != std::string::npos && colon + 1 < name.size()) {
        prefix = name.substr(0, colon);
        name.erase(0, colon + 1);
    }
    const XmlNamespace* ns = document_->FindNamespaceByPrefix(prefix);
    if (closing && !open_.empty())
        return CloseElement(name, ns);

    // A start tag, or a closing tag with nothing open, which is taken as one.
    auto element = CreateElement(std::move(name));
    element->xmlNamespace = ns;
    XmlElement* created = element.get();
    if (current_ != nullptr) {
        current_->children.push_back(std::move(element));
    } else {
        document_->roots.push_back(std::move(element));
        topLevel_.push_back(created);
    }
    open_.push_back(created);
    current_ = created;
    reading_ = created;
    const bool ok = ReadAttributes(*created, prefix);
    reading_ = nullptr;
    return ok;
}

bool XmlParseContext::CloseElement(const std::string& name, const XmlNamespace* ns) {
    const XmlElement* top = open_.back();
    if (top->name != name || top->xmlNamespace != ns)
        return Fail(IDS_XML_OPEN_TAG, name);
    PopElement();
    const void* found = std::memchr(cursor_, '>', Remaining());
    if (found == nullptr)
        return Fail(IDS_XML_OPEN_TAG, name);
    ConsumeTo(static_cast<const char*>(found) + 1);
    return true;
}

void XmlParseContext::PopElement() {
    open_.pop_back();
    current_ = open_.empty() ? nullptr : open_.back();
}

bool XmlParseContext::ReadAttributes(XmlElement& element, const std::string& prefix) {
    attributes_.clear();
    const auto finishTag = [this, &element] {
        element.attributes.reserve(element.attributes.size() + attributes_.size());
        for (auto& attribute : attributes_)
            element.attributes.push_back(std::move(attribute));
        attributes_.clear();
    };
    for (;;) {
        SkipWhitespace();
        if (AtEnd())
            return Fail(IDS_XML_OPEN_TAG, element.name);
        if (LookingAt("/>")) {
            ConsumeTo(cursor_ + 2);
            finishTag();
            PopElement();
            return true;
        }
        if (*cursor_ == '>') {
            ConsumeTo(cursor_ + 1);
            finishTag();
            return true;
        }
        std::string name;
        if (!ReadToken(name, true, element.name))
            return false;
        const char* stop =
            std::find_if(cursor_, end_, [](char c) { return IsWhitespace(c) || c == '=' || c == '>'; });
        ConsumeTo(stop);
        if (AtEnd())
            return Fail(IDS_XML_MISSING_VALUE, element.name);
        std::string value;
        if (*cursor_ == '=') {
            ConsumeTo(cursor_ + 1);
            // Schema locations are paths, where a backslash is a separator and not an escape.
            const std::size_t colon = name.find(':');
            const std::string_view localName = colon == std::string::npos
                                                   ? std::string_view(name)
                                                   : std::string_view(name).substr(colon + 1);
            if (!ReadToken(value, localName != "schemaLocation", element.name))
                return false;
        }
        if (name.starts_with("xmlns")) {
            DeclareNamespace(element, prefix, name, value);
        } else {
            const std::size_t colon = name.find(':');
            std::string attributeName = colon == std::string::npos ? std::move(name) : name.substr(colon + 1);
            // A value without a reference decodes to itself: it moves into the attribute as it is.
            std::string decoded =
                value.find('&') == std::string::npos ? std::move(value) : XmlDecodeEntities(value);
            attributes_.push_back(
                std::make_unique<XmlAttribute>(std::move(attributeName), std::move(decoded)));
        }
        XmlWipeString(value);
        tokenLine_ = line_;
    }
}

bool XmlParseContext::ReadToken(std::string& token, bool escapes, const std::string& elementName) {
    SkipWhitespace();
    if (AtEnd())
        return Fail(IDS_XML_MISSING_VALUE, elementName);
    const char quote = *cursor_;
    if (quote != '"' && quote != '\'') {
        const char* tokenEnd = std::find_if(cursor_, end_, EndsUnquotedToken);
        token.assign(cursor_, tokenEnd);
        ConsumeTo(tokenEnd);
        if (AtEnd())
            return Fail(IDS_XML_OPEN_TAG, elementName);
        return true;
    }
    // Find the closing quote first: an escaped byte is taken as it is, so a backslash can put the
    // quote into the value.
    const char* close = FindClosingQuote(cursor_ + 1, end_, quote, escapes);
    // Reserved at once, so a growing value never leaves copies of itself in released storage.
    token.reserve(static_cast<std::size_t>(close - cursor_));
    const char* backslash = escapes ? std::find(cursor_ + 1, close, '\\') : close;
    token.assign(cursor_ + 1, backslash);
    for (const char* position = backslash; position < close; ++position) {
        if (escapes && *position == '\\')
            ++position;
        if (position < close)
            token.push_back(*position);
    }
    ConsumeTo(close);
    if (AtEnd())
        return Fail(IDS_XML_NO_CLOSING_QUOTE);
    ConsumeTo(cursor_ + 1);
    return true;
}

// "xmlns" or "xmlns:p": one record per distinct uri; the element takes it when it has no namespace
// yet and its own prefix is the one declared.
void XmlParseContext::DeclareNamespace(XmlElement& element, const std::string& elementPrefix,
                                       const std::string& attributeName, const std::string& value) {
    std::string declared;
    if (attributeName.size() > 5 && attributeName[5] == ':')
        declared = attributeName.substr(6, attributeName.find('=', 6) - 6);
    const XmlNamespace& record = document_->DeclareNamespace(XmlDecodeEntities(value), declared);
    if (element.xmlNamespace == nullptr && elementPrefix == declared)
        element.xmlNamespace = &record;
}

bool XmlParseContext::Fail(int id, const std::string& argument) {
    // Formatted first: the argument may be the name of the element about to be removed.
    const std::string message = tl::Format(XmlLoadString(id), argument.c_str());
    attributes_.clear();
    if (reading_ != nullptr) {
        // The element whose start tag was being read is the last one appended where it went.
        PopElement();
        if (current_ != nullptr) {
            current_->children.pop_back();
        } else {
            topLevel_.pop_back();
            document_->roots.pop_back();
        }
        reading_ = nullptr;
    }
    const void* newline = std::memchr(cursor_, '\n', Remaining());
    const std::string excerpt(cursor_, newline != nullptr ? static_cast<const char*>(newline) : end_);
    document_->ReportParseError(tl::Format(XmlLoadString(IDS_XML_PARSE_ERROR), tokenLine_) + message + "\n" +
                                excerpt);
    return false;
}
