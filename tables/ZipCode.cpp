#include "tables/ZipCode.h"

#include "platform/Format.h"

#include <algorithm>
#include <limits>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a number the way atoi does (leading blanks, an optional plus or minus sign, digits up to
// the first other character), but stops growing at the 32-bit limits instead of overflowing.
std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    // The magnitude of the most negative value is one more than the largest positive one.
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
    std::int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    return static_cast<std::int32_t>(negative ? -value : value);
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
