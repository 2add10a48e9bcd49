#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

/// A GUID with the fields and memory layout Windows gives it: Data1 to Data3 are numbers stored
/// little-endian, Data4 eight bytes in order.
struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    bool operator==(const GUID&) const = default;
};

inline constexpr GUID kNilGuid{};

/// A fresh random GUID (UuidCreate).
GUID NewGuid();

/// The text form (UuidToStringA): 36 lower-case hexadecimal characters in groups 8-4-4-4-12 with
/// hyphens, no braces. The nil GUID is "00000000-0000-0000-0000-000000000000".
std::string GuidToString(const GUID& guid);

/// Reads the text form (UuidFromStringA), hexadecimal digits of either case. False for anything
/// else, the empty text included; guid is then unchanged.
bool GuidFromString(std::string_view text, GUID& guid);

/// The 16 bytes of the GUID in Windows memory order.
std::array<std::uint8_t, 16> GuidBytes(const GUID& guid);

inline bool IsNilGuid(const GUID& guid) {
    return guid == kNilGuid;
}
