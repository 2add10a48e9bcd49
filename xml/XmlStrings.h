#pragma once

// The reader's entries of the string table, by number.
inline constexpr int IDS_XML_PARSE_ERROR = 1000;      ///< "XML parsing error at line %d - "
inline constexpr int IDS_XML_NO_TAG_NAME = 1002;      ///< "No tag name at end of file"
inline constexpr int IDS_XML_OPEN_COMMENT = 1003;     ///< "Open comment tag"
inline constexpr int IDS_XML_OPEN_TAG = 1005;         ///< "Open tag (%s)"
inline constexpr int IDS_XML_MISSING_VALUE = 1006;    ///< "Missing attribute value (%s)"
inline constexpr int IDS_XML_NO_CLOSING_QUOTE = 1007; ///< "No closing quote"

/// The text of one of the ids above; an empty text for any other number.
const char* XmlLoadString(int id);
