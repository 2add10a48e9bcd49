#pragma once

#include "xml/XmlBlockPool.h"

#include <string>

/// One attribute of an element. The value is overwritten with 0xCC before it is released.
class XmlAttribute : public XmlPooled<XmlAttribute> {
public:
    XmlAttribute(std::string attributeName, std::string attributeValue)
        : name(std::move(attributeName)), value(std::move(attributeValue)) {}
    XmlAttribute(const XmlAttribute&) = delete;
    XmlAttribute& operator=(const XmlAttribute&) = delete;
    ~XmlAttribute();

    std::string name;  ///< without any prefix up to and including the first ":"
    std::string value; ///< entity-decoded
};
