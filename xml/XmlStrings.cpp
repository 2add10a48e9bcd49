#include "xml/XmlStrings.h"

const char* XmlLoadString(int id) {
    switch (id) {
    case IDS_XML_PARSE_ERROR:
        return "XML parsing error at line %d - ";
    case IDS_XML_NO_TAG_NAME:
        return "No tag name at end of file";
    case IDS_XML_OPEN_COMMENT:
        return "Open comment tag";
    case IDS_XML_OPEN_TAG:
        return "Open tag (%s)";
    case IDS_XML_MISSING_VALUE:
        return "Missing attribute value (%s)";
    case IDS_XML_NO_CLOSING_QUOTE:
        return "No closing quote";
    default:
        return "";
    }
}
