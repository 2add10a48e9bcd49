#include "xml/XmlBinding.h"

#include "platform/TextUtil.h"
#include "xml/XmlElement.h"
#include "xml/XmlText.h"

#include <deque>
#include <string_view>

namespace {

constexpr std::string_view kCDataMarker = "![CDATA[";

/// The namespace list in force for an element's children: the rows' own lists, innermost first.
/// Only rows that have a list add a scope, so an empty list is a null pointer.
struct NamespaceScope {
    const XmlNamespaceBinding* list;
    int count;
    const NamespaceScope* outer;
};

/// An element matched by a class row whose content is being walked into object.
struct Frame {
    const XmlElement* element;
    const XmlBinding* childTable;
    int childCount;
    void* object;
    const NamespaceScope* scope;
    NamespaceScope ownScope;
    std::size_t nextChild = 0;
};

std::string_view AfterFirstColon(std::string_view name) {
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// A row's name against a name of the document, ASCII letters folded as EqualsNoCase does; row
// names are C strings, and most names differ in their first byte, so none is measured first.
bool RowNameIs(const char* rowName, std::string_view name) {
    for (const char c : name) {
        if (*rowName == '\0' || tl::AsciiToLower(*rowName) != tl::AsciiToLower(c))
            return false;
        ++rowName;
    }
    return *rowName == '\0';
}

bool ListHasUri(const XmlNamespaceBinding* list, int count, const std::string& uri) {
    for (int i = 0; i < count; ++i) {
        if (list[i].uri != nullptr && uri == list[i].uri)
            return true;
    }
    return false;
}

bool RowMatches(const XmlBinding& row, const XmlElement& element, const NamespaceScope* scope) {
    const bool rowHasList = row.namespaces != nullptr && row.namespaceCount > 0;
    if (scope == nullptr && !rowHasList)
        return RowNameIs(row.name, element.name);
    if (!tl::EqualsNoCase(AfterFirstColon(row.name), element.name))
        return false;
    if (element.xmlNamespace == nullptr)
        return scope == nullptr;
    const std::string& uri = element.xmlNamespace->uri;
    if (rowHasList && ListHasUri(row.namespaces, row.namespaceCount, uri))
        return true;
    for (const NamespaceScope* outer = scope; outer != nullptr; outer = outer->outer) {
        if (ListHasUri(outer->list, outer->count, uri))
            return true;
    }
    return false;
}

const XmlBinding* FindRow(const XmlElement& element, const XmlBinding* table, int count,
                          const NamespaceScope* scope) {
    for (int i = 0; i < count; ++i) {
        if (table[i].name != nullptr && RowMatches(table[i], element, scope))
            return &table[i];
    }
    return nullptr;
}

// The stored text was decoded once while parsing; binding decodes it again, except for the raw
// contents of a CDATA section, which keeps its marker until here.
std::string BoundText(const std::string& text) {
    if (text.size() > kCDataMarker.size() && std::string_view(text).starts_with(kCDataMarker))
        return text.substr(kCDataMarker.size());
    return XmlDecodeEntities(text);
}

void SetText(const XmlBinding& row, void* target, std::string value) {
    if (row.setText != nullptr)
        row.setText(target, value);
    XmlWipeString(value);
}

// The second decoding of a stored value; one without a reference goes to the row as it is.
void SetDecodedText(const XmlBinding& row, void* target, const std::string& stored) {
    if (stored.find('&') != std::string::npos)
        SetText(row, target, XmlDecodeEntities(stored));
    else if (row.setText != nullptr)
        row.setText(target, stored);
}

class Binder {
public:
    // Binds one element against a table; pushes a frame when its content is to be walked.
    void Visit(const XmlElement& element, const XmlBinding* table, int count, void* target,
               const NamespaceScope* scope) {
        const XmlBinding* row = FindRow(element, table, count, scope);
        if (row == nullptr)
            return;
        if (row->runtimeClass == nullptr) {
            SetText(*row, target, BoundText(element.Text()));
            return;
        }
        if (row->runtimeClass->create == nullptr || row->attach == nullptr)
            return;
        XmlObject object = row->runtimeClass->create();
        void* created = object.get();
        if (created == nullptr)
            return;
        row->attach(target, std::move(object));
        if (row->childCount <= 0 || row->childTable == nullptr)
            return;
        Frame& frame = frames_.emplace_back();
        frame.element = &element;
        frame.childTable = row->childTable;
        frame.childCount = row->childTable == table ? count : row->childCount;
        frame.object = created;
        frame.scope = scope;
        if (row->namespaces != nullptr && row->namespaceCount > 0) {
            frame.ownScope = {row->namespaces, row->namespaceCount, scope};
            frame.scope = &frame.ownScope;
        }
    }

    // Walks until every frame is finished: children first, then attributes, then nameless rows.
    void Run() {
        while (!frames_.empty()) {
            Frame& frame = frames_.back();
            if (frame.nextChild < frame.element->children.size()) {
                const XmlElement& child = *frame.element->children[frame.nextChild++];
                Visit(child, frame.childTable, frame.childCount, frame.object, frame.scope);
                continue;
            }
            Finish(frame);
            frames_.pop_back();
        }
    }

private:
    static void Finish(const Frame& frame) {
        for (const auto& attribute : frame.element->attributes) {
            const std::string_view name = AfterFirstColon(attribute->name);
            for (int i = 0; i < frame.childCount; ++i) {
                const XmlBinding& row = frame.childTable[i];
                if (row.name != nullptr && RowNameIs(row.name, name)) {
                    SetDecodedText(row, frame.object, attribute->value);
                    break;
                }
            }
        }
        for (int i = 0; i < frame.childCount; ++i) {
            const XmlBinding& row = frame.childTable[i];
            if (row.name == nullptr)
                SetDecodedText(row, frame.object, frame.element->Text());
        }
    }

    // A deque keeps frames (and the scopes inside them) in place while others are added.
    std::deque<Frame> frames_;
};

} // namespace

void XmlBindElement(const XmlElement& element, const XmlBinding* table, int count, void* target) {
    if (table == nullptr)
        return;
    Binder binder;
    binder.Visit(element, table, count, target, nullptr);
    binder.Run();
}
