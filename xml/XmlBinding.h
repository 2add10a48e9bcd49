#pragma once

#include <memory>
#include <string>

class XmlElement;

/// An object made "by runtime class": owned, with the deleter of its real type.
using XmlObject = std::unique_ptr<void, void (*)(void*)>;

/// What the binder needs to know of a class to create an object of it: its name and a factory.
struct XmlRuntimeClass {
    const char* name;
    XmlObject (*create)();
};

/// Factory of a default-constructed T.
template <class T>
XmlObject XmlCreateObject() {
    return XmlObject(new T(), [](void* object) { delete static_cast<T*>(object); });
}

/// The class record of T for a binding row, e.g. XmlClassOf<XModule>("XModule").
template <class T>
constexpr XmlRuntimeClass XmlClassOf(const char* name) {
    return {name, &XmlCreateObject<T>};
}

/// For attach functions: takes the object made for a row whose class is T.
template <class T>
std::unique_ptr<T> XmlTakeObject(XmlObject& object) {
    return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

/// Hands a newly created object to its parent object (target). The parent takes ownership and must
/// keep the object alive until Bind returns: the binder goes on filling it.
using XmlAttachFunction = void (*)(void* target, XmlObject object);
/// Hands a text value to the target object.
using XmlSetTextFunction = void (*)(void* target, const std::string& value);
/// The opposite direction, for turning objects back into XML; Bind does not use them.
using XmlGetObjectFunction = void* (*)(void* target, int index);
using XmlGetTextFunction = std::string (*)(void* target);

/// A (prefix, uri) pair of a binding row's namespace list.
struct XmlNamespaceBinding {
    const char* prefix;
    const char* uri;
};

/// One row of a binding table. Tables are static arrays of rows, tried in order; they may refer to
/// each other and to themselves.
struct XmlBinding {
    /// The table that applies inside an element matched by this row (may be this row's own table).
    const XmlBinding* childTable = nullptr;
    /// Rows of childTable; 0 means the matched element's content is not walked.
    int childCount = 0;
    /// The element or attribute name; a row without one, in a child table, receives the parent
    /// element's own text.
    const char* name = nullptr;
    /// The class to create for a matching element, or nullptr for a row that receives text.
    const XmlRuntimeClass* runtimeClass = nullptr;
    XmlAttachFunction attach = nullptr;
    XmlSetTextFunction setText = nullptr;
    XmlGetObjectFunction getObject = nullptr;
    XmlGetTextFunction getText = nullptr;
    bool writeAsAttribute = false; ///< a text row written as an attribute
    const XmlNamespaceBinding* namespaces = nullptr;
    int namespaceCount = 0;
};

/// Binds one element (and what the rows say of its content) against a table of count rows into
/// target. Rows that lack the function they would need (set text, attach, the class's factory) are
/// passed over. Walks without recursion, so any depth of nesting is safe.
void XmlBindElement(const XmlElement& element, const XmlBinding* table, int count, void* target);
