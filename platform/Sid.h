#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Security identifiers in their two forms: the binary SID that the account calls hand out
// (revision 1, sub-authority count, 48-bit identifier authority big-endian, sub-authorities as
// little-endian 32-bit values) and the text form "S-1-5-21-...".
namespace tl {

/// The well-known SIDs this machine knows, with their SDDL two-letter aliases.
inline constexpr char kSidEveryone[] = "S-1-1-0";
inline constexpr char kSidCreatorOwner[] = "S-1-3-0";
inline constexpr char kSidAuthenticatedUsers[] = "S-1-5-11";
inline constexpr char kSidLocalSystem[] = "S-1-5-18";
inline constexpr char kSidAdministrators[] = "S-1-5-32-544";
inline constexpr char kSidUsers[] = "S-1-5-32-545";
inline constexpr char kSidGuests[] = "S-1-5-32-546";

/// The most sub-authorities a SID may have.
inline constexpr unsigned kMaxSubAuthorities = 15;

/// The binary form of a text SID ("S-1-<authority>-<sub>..."); nullopt when the text is not one.
std::optional<std::vector<std::uint8_t>> SidFromText(std::string_view text);

/// The text form of a binary SID of at most size bytes; nullopt when the bytes are not a valid SID.
std::optional<std::string> SidToText(const std::uint8_t* sid, std::size_t size);

/// The byte length of a binary SID with that many sub-authorities.
constexpr std::size_t SidLength(unsigned subAuthorities) {
    return 8 + 4 * static_cast<std::size_t>(subAuthorities);
}

/// The text SID an SDDL alias stands for ("BU" gives S-1-5-32-545; "LA" and "LG", the machine's
/// administrator and guest, need the machine's SID). nullopt for an unknown alias.
std::optional<std::string> SidFromAlias(std::string_view alias, std::string_view machineSid);

/// The SDDL alias of a text SID, or "" when it has none.
std::string AliasFromSid(std::string_view sid, std::string_view machineSid);

} // namespace tl
