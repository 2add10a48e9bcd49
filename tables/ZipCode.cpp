#include "tables/ZipCode.h"

#include "platform/Format.h"

#include <limits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a number the way atoi does (leading blanks, an optional plus sign, digits up to the first
// other character), but stops growing at the largest 32-bit value instead of overflowing.
std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMax)
            value = kMax;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

bool IsAllDigits(std::string_view text) {
    for (const char c : text) {
        if (!IsDigit(c))
            return false;
    }
    return true;
}

void ParseZip(std::string_view text, std::int32_t& zipCode, std::int32_t& extension) {
    zipCode = LeadingNumber(text.substr(0, text.find('-')));
    extension = 0;
    if (text.size() == 10 && text[5] == '-')
        extension = LeadingNumber(text.substr(6));
}

std::string FormatZip(std::int32_t zipCode, std::int32_t extension) {
    if (zipCode == 0)
        return {};
    if (extension != 0)
        return tl::Format("%5.5d-%4.4d", zipCode, extension);
    return tl::Format("%5.5d", zipCode);
}
