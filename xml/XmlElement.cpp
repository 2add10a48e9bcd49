#include "xml/XmlElement.h"

#include "platform/TextUtil.h"
#include "xml/XmlText.h"

XmlElement::~XmlElement() {
    XmlWipeString(text_);
    // Take the subtree apart through a work list: each element is destroyed only after its children
    // were moved out, so no destructor descends more than one level.
    std::vector<std::unique_ptr<XmlElement>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<XmlElement> element = std::move(pending.back());
        pending.pop_back();
        for (auto& child : element->children)
            pending.push_back(std::move(child));
        element->children.clear();
    }
}

void XmlElement::SetText(std::string text) {
    XmlWipeString(text_);
    text_.swap(text); // the wiped storage goes with the argument
}

XmlElement* XmlElement::FindChild(std::string_view childName) const {
    for (const auto& child : children) {
        if (tl::EqualsNoCase(child->name, childName))
            return child.get();
    }
    return nullptr;
}
