#pragma once

#include "xml/XmlAttribute.h"
#include "xml/XmlBlockPool.h"
#include "xml/XmlNamespace.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XmlParseContext;

/// One element of a document tree. It owns its children and attributes; its text and the
/// attribute values are overwritten with 0xCC before their storage is released.
class XmlElement : public XmlPooled<XmlElement> {
public:
    /// An element with empty text, no children, no attributes and no namespace.
    XmlElement(XmlParseContext* elementCreator, std::string elementName)
        : name(std::move(elementName)), creator(elementCreator) {}
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;
    /// Destroys the whole subtree without recursion, so any depth of nesting is safe.
    ~XmlElement();

    /// The text is kept behind these two so that every replaced text is wiped first.
    const std::string& Text() const { return text_; }
    void SetText(std::string text);

    /// The first child whose name equals name without regard to case, or nullptr.
    XmlElement* FindChild(std::string_view childName) const;

    std::string name; ///< prefix removed, every "-" replaced by "_"
    /// The context that made the element, or nullptr. The writer reaches the namespace records of
    /// the creator's document through it.
    XmlParseContext* creator;
    std::vector<std::unique_ptr<XmlElement>> children;
    std::vector<std::unique_ptr<XmlAttribute>> attributes;
    /// One of the document's namespace records (not owned), or nullptr.
    const XmlNamespace* xmlNamespace = nullptr;

private:
    std::string text_;
};
