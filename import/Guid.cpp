#include "import/Guid.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <uuid/uuid.h>

namespace {} // namespace

GUID NewGuid() {
    uuid_t uuid;
    uuid_generate(uuid);
    // libuuid keeps the text's byte order (big-endian fields); read the fields from it.
    GUID guid;
    guid.Data1 = (std::uint32_t{uuid[0]} << 24) | (std::uint32_t{uuid[1]} << 16) |
                 (std::uint32_t{uuid[2]} << 8) | std::uint32_t{uuid[3]};
    guid.Data2 = static_cast<std::uint16_t>((uuid[4] << 8) | uuid[5]);
    guid.Data3 = static_cast<std::uint16_t>((uuid[6] << 8) | uuid[7]);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = uuid[8 + i];
    return guid;
}

std::string GuidToString(const GUID& guid) {
    const auto& d = guid.Data4;
    return tl::Format("%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", guid.Data1, guid.Data2, guid.Data3,
                      d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
}

bool GuidFromString(std::string_view text, GUID& guid) {
    if (text.size() != 36)
        return false;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return false;
            continue;
        }
        const int high = tl::HexDigitValue(text[i]);
        const int low = i + 1 < text.size() ? tl::HexDigitValue(text[i + 1]) : -1;
        if (high < 0 || low < 0)
            return false;
        bytes[count++] = static_cast<std::uint8_t>((high << 4) | low);
        ++i;
    }
    guid.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                 (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    guid.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = bytes[8 + i];
    return true;
}

std::array<std::uint8_t, 16> GuidBytes(const GUID& guid) {
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(guid.Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[4 + i] = static_cast<std::uint8_t>(guid.Data2 >> (8 * i));
        bytes[6 + i] = static_cast<std::uint8_t>(guid.Data3 >> (8 * i));
    }
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = guid.Data4[i];
    return bytes;
}
