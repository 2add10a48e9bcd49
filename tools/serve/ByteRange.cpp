#include "tools/serve/ByteRange.h"

#include <limits>
#include <optional>

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Decimal digits only; a number too large for 64 bits saturates (it is past any file's end).
std::optional<std::uint64_t> Number(std::string_view text) {
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const unsigned digit = static_cast<unsigned>(c - '0');
        value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
    }
    return value;
}

} // namespace

RangeRequest ReadRangeHeader(std::string_view header, std::uint64_t size, ByteRange& range) {
    header = Trim(header);
    constexpr std::string_view kUnit = "bytes=";
    if (header.size() < kUnit.size() || header.substr(0, kUnit.size()) != kUnit)
        return RangeRequest::Whole;
    const std::string_view rangeText = Trim(header.substr(kUnit.size()));
    const std::size_t dash = rangeText.find('-');
    if (dash == std::string_view::npos || rangeText.find(',') != std::string_view::npos)
        return RangeRequest::Whole;
    const std::string_view firstText = Trim(rangeText.substr(0, dash));
    const std::string_view lastText = Trim(rangeText.substr(dash + 1));
    if (firstText.empty()) {
        const std::optional<std::uint64_t> suffix = Number(lastText);
        if (!suffix)
            return RangeRequest::Whole;
        if (*suffix == 0 || size == 0)
            return RangeRequest::Unsatisfiable;
        range.length = *suffix < size ? *suffix : size;
        range.first = size - range.length;
        return RangeRequest::Partial;
    }
    const std::optional<std::uint64_t> first = Number(firstText);
    const std::optional<std::uint64_t> last =
        lastText.empty() ? std::optional(std::numeric_limits<std::uint64_t>::max()) : Number(lastText);
    if (!first || !last || *last < *first)
        return RangeRequest::Whole;
    if (*first >= size)
        return RangeRequest::Unsatisfiable;
    range.first = *first;
    range.length = (*last < size ? *last + 1 : size) - *first;
    return RangeRequest::Partial;
}
