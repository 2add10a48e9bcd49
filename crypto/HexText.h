#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Each byte as two upper-case hexadecimal digits, concatenated without separator; length 0 gives
/// the empty text.
std::string HexEncode(const unsigned char* bytes, std::size_t length);

/// The bytes of a HexEncode text (either case of the letters is read). Returns nothing when the
/// text has an odd length or a character that is not a hexadecimal digit.
std::optional<std::vector<unsigned char>> HexDecode(std::string_view text);
