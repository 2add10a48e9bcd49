#pragma once

#include <string>
#include <string_view>

// Text helpers of the XML reader and writer. Text is single-byte throughout: bytes of multi-byte
// UTF-8 sequences pass through unchanged.

/// Decodes character and entity references, left to right: "&#x" with hexadecimal digits and
/// "&#" with decimal digits give the low eight bits of the number as one byte; "&nbsp" gives a
/// space (0x20), "&amp", "&lt", "&gt", "&quot" and "&apos" their characters, matched without
/// regard to case as a prefix of what follows. One ";" after a recognised reference is dropped;
/// an "&" that starts nothing recognised is kept as it is. Never fails.
std::string XmlDecodeEntities(std::string_view text);

/// Replaces "&", "<", ">", the double and the single quote by "&#38;", "&#60;", "&#62;", "&#34;"
/// and "&#39;". References already in the text are escaped again, so decoding gives it back.
std::string XmlEscapeText(std::string_view text);

/// As XmlEscapeText, appending to output.
void XmlAppendEscaped(std::string& output, std::string_view text);

/// 1 for "true", "yes", "y", "1", "t" and "on" in any mix of case; otherwise the number that the
/// text's leading digits give (after optional blanks and a sign), 0 when there are none. Values
/// beyond the range of int are clamped to it.
int XmlTextToBool(std::string_view text);

/// Overwrites every byte of the string with 0xCC, keeping its length.
void XmlWipeString(std::string& text);
