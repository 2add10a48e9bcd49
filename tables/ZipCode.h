#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// True when every character is a decimal digit; the empty text counts as all digits.
bool IsAllDigits(std::string_view text);

/// Splits "12345" or "12345-6789" into the zip code and the extension. The zip code is the number
/// at the start (blanks skipped, 0 when there are no digits); the extension is the number after the
/// hyphen only when the text is exactly 10 characters with the hyphen as its sixth, else 0.
void ParseZip(std::string_view text, std::int32_t& zipCode, std::int32_t& extension);

/// "" for zip code 0; "NNNNN-NNNN" when the extension is non-zero; else "NNNNN".
std::string FormatZip(std::int32_t zipCode, std::int32_t extension);
