#include "xml/XmlAttribute.h"

#include "xml/XmlText.h"

XmlAttribute::~XmlAttribute() {
    XmlWipeString(value);
}
