#include "crypto/HexText.h"

#include "platform/TextUtil.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

std::string HexEncode(const unsigned char* bytes, std::size_t length) {
    std::string text;
    text.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

std::optional<std::vector<unsigned char>> HexDecode(std::string_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = tl::HexDigitValue(text[i]);
        const int low = tl::HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<unsigned char>(high << 4 | low));
    }
    return bytes;
}
