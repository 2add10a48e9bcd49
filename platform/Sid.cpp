#include "platform/Sid.h"

#include <charconv>
#include <cstdio>

namespace tl {

namespace {

struct Alias {
    const char* alias;
    const char* sid; ///< a relative id after "-" when it starts with "-": of the machine's SID
};

constexpr Alias kAliases[] = {
    {"WD", kSidEveryone},
    {"CO", kSidCreatorOwner},
    {"CG", "S-1-3-1"},
    {"NU", "S-1-5-2"},
    {"IU", "S-1-5-4"},
    {"SU", "S-1-5-6"},
    {"AU", kSidAuthenticatedUsers},
    {"SY", kSidLocalSystem},
    {"LS", "S-1-5-19"},
    {"NS", "S-1-5-20"},
    {"BA", kSidAdministrators},
    {"BU", kSidUsers},
    {"BG", kSidGuests},
    {"PU", "S-1-5-32-547"},
    {"LA", "-500"},
    {"LG", "-501"},
};

bool ParseNumber(std::string_view text, std::uint64_t& value) {
    if (text.empty())
        return false;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

std::optional<std::vector<std::uint8_t>> SidFromText(std::string_view text) {
    if (text.size() < 4 || (text[0] != 'S' && text[0] != 's') || text[1] != '-')
        return std::nullopt;
    text.remove_prefix(2);
    std::vector<std::uint64_t> parts;
    while (!text.empty()) {
        const std::size_t dash = text.find('-');
        std::uint64_t value = 0;
        if (!ParseNumber(text.substr(0, dash), value))
            return std::nullopt;
        parts.push_back(value);
        if (dash == std::string_view::npos)
            break;
        text.remove_prefix(dash + 1);
        if (text.empty())
            return std::nullopt;
    }
    // Revision, authority and at least one sub-authority.
    if (parts.size() < 3 || parts[0] != 1 || parts[1] >= (std::uint64_t{1} << 48) ||
        parts.size() - 2 > kMaxSubAuthorities)
        return std::nullopt;
    std::vector<std::uint8_t> sid(SidLength(static_cast<unsigned>(parts.size() - 2)));
    sid[0] = 1;
    sid[1] = static_cast<std::uint8_t>(parts.size() - 2);
    for (int i = 0; i < 6; ++i)
        sid[2 + i] = static_cast<std::uint8_t>(parts[1] >> (8 * (5 - i)));
    for (std::size_t i = 2; i < parts.size(); ++i) {
        if (parts[i] > 0xFFFFFFFFu)
            return std::nullopt;
        for (int b = 0; b < 4; ++b)
            sid[8 + 4 * (i - 2) + b] = static_cast<std::uint8_t>(parts[i] >> (8 * b));
    }
    return sid;
}

std::optional<std::string> SidToText(const std::uint8_t* sid, std::size_t size) {
    if (sid == nullptr || size < 8 || sid[0] != 1 || sid[1] > kMaxSubAuthorities || size < SidLength(sid[1]))
        return std::nullopt;
    std::uint64_t authority = 0;
    for (int i = 0; i < 6; ++i)
        authority = (authority << 8) | sid[2 + i];
    char number[24];
    // Authorities of 2^32 and above are written in hexadecimal, as Windows writes them.
    if (authority >= (std::uint64_t{1} << 32))
        std::snprintf(number, sizeof number, "0x%012llX", static_cast<unsigned long long>(authority));
    else
        std::snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(authority));
    std::string text = std::string("S-1-") + number;
    for (unsigned i = 0; i < sid[1]; ++i) {
        const std::uint8_t* part = sid + 8 + 4 * i;
        const std::uint32_t value =
            part[0] | (part[1] << 8) | (part[2] << 16) | (std::uint32_t{part[3]} << 24);
        text += "-" + std::to_string(value);
    }
    return text;
}

std::optional<std::string> SidFromAlias(std::string_view alias, std::string_view machineSid) {
    for (const Alias& entry : kAliases) {
        if (alias != entry.alias)
            continue;
        if (entry.sid[0] != '-')
            return std::string(entry.sid);
        if (machineSid.empty())
            return std::nullopt;
        return std::string(machineSid) + entry.sid;
    }
    return std::nullopt;
}

std::string AliasFromSid(std::string_view sid, std::string_view machineSid) {
    for (const Alias& entry : kAliases) {
        const bool relative = entry.sid[0] == '-';
        if (!relative && sid == entry.sid)
            return entry.alias;
        if (relative && !machineSid.empty() &&
            sid.size() == machineSid.size() + std::char_traits<char>::length(entry.sid) &&
            sid.substr(0, machineSid.size()) == machineSid && sid.substr(machineSid.size()) == entry.sid)
            return entry.alias;
    }
    return {};
}

} // namespace tl
