#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

// Network enumeration of the workgroup: its computers, their shares, and one share of this computer
// in detail. Other computers are the sandbox network of the machine prefix, one folder per
// computer (network/<COMPUTER>/) and one folder per disk share inside it; this computer's shares
// are the ones kept in its registry. Computers and shares are listed sorted by name without regard
// to case, so an enumeration is the same on every run and tests can tell which one comes first.
namespace win {

inline constexpr DWORD SV_TYPE_WORKSTATION = 0x00000001;
inline constexpr DWORD SV_TYPE_SERVER = 0x00000002;
inline constexpr DWORD SV_TYPE_ALL = 0xFFFFFFFFu;
inline constexpr DWORD PLATFORM_ID_NT = 500;

inline constexpr DWORD STYPE_DISKTREE = 0;
inline constexpr DWORD STYPE_IPC = 3;
inline constexpr DWORD STYPE_SPECIAL = 0x80000000u;

inline constexpr DWORD ERROR_INVALID_LEVEL = 124;
inline constexpr DWORD ERROR_NO_BROWSER_SERVERS_FOUND = 6118;

/// A computer of the workgroup.
struct SERVER_INFO_101 {
    DWORD sv101_platform_id = PLATFORM_ID_NT;
    std::string sv101_name; ///< NetBIOS form, upper case
    DWORD sv101_version_major = 10;
    DWORD sv101_version_minor = 0;
    DWORD sv101_type = SV_TYPE_WORKSTATION | SV_TYPE_SERVER;
    std::string sv101_comment;
};

/// A share as a network client sees it.
struct SHARE_INFO_1 {
    std::string shi1_netname;
    DWORD shi1_type = STYPE_DISKTREE;
    std::string shi1_remark;
};

/// A share with the details only its own computer gives out.
struct SHARE_INFO_2 {
    std::string shi2_netname;
    DWORD shi2_type = STYPE_DISKTREE;
    std::string shi2_remark;
    DWORD shi2_permissions = 0;
    DWORD shi2_max_uses = 0xFFFFFFFFu;
    DWORD shi2_current_uses = 0;
    std::string shi2_path;
    std::string shi2_passwd; ///< never filled: the password is not given out
};

/// Lists the computers of this computer's workgroup whose type has a bit of serverType, this
/// computer among them. serverName must be empty or name this computer; domain must be empty (the
/// own workgroup). Returns NERR_Success, ERROR_INVALID_LEVEL for a level other than 101,
/// ERROR_BAD_NETPATH for another computer as serverName, or ERROR_NO_BROWSER_SERVERS_FOUND for
/// another domain or when the machine has no network folder.
DWORD NetServerEnum(std::string_view serverName, DWORD level, std::vector<SERVER_INFO_101>& entries,
                    DWORD serverType, std::string_view domain);

/// Lists the shares of a computer ("" or this computer's name for this one; a leading "\\" is
/// allowed): its disk shares and "IPC$", sorted by name. A name ending in "$" is a hidden
/// administrative share and has STYPE_SPECIAL in its type; this computer also lists "X$" for each
/// of its fixed drives X. Returns NERR_Success, ERROR_INVALID_LEVEL for a level other than 1, or
/// ERROR_BAD_NETPATH for a computer that is not on the network.
DWORD NetShareEnum(std::string_view serverName, DWORD level, std::vector<SHARE_INFO_1>& entries);

/// Details of one share of this computer. Returns NERR_Success, NERR_NetNameNotFound when this
/// computer has no share of that name, ERROR_INVALID_LEVEL for a level other than 2,
/// ERROR_ACCESS_DENIED for a share of another computer (only its administrators may ask) and
/// ERROR_BAD_NETPATH for a computer that is not on the network.
DWORD NetShareGetInfo(std::string_view serverName, std::string_view netName, DWORD level, SHARE_INFO_2& info);

} // namespace win
