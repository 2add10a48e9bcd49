#pragma once

#include "platform/NetEnum.h"
#include "platform/SecurityDescriptor.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Network management and named-object security, as the installation calls them: local users and
// group membership, account lookup, the DACL of a file or folder, and disk shares of this
// computer. Each keeps its Windows protocol and status codes; the storing is the security
// backend's (platform/SecurityBackend.h). A server name must be empty or name this computer.
namespace win {

using NET_API_STATUS = DWORD;

inline constexpr DWORD NERR_BadUsername = 2202;
inline constexpr DWORD NERR_GroupExists = 2223;
inline constexpr DWORD NERR_UnknownDevDir = 2116;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_MEMBER_IN_ALIAS = 1378;
inline constexpr DWORD ERROR_NO_SUCH_MEMBER = 1387;
inline constexpr DWORD ERROR_NONE_MAPPED = 1332;
inline constexpr DWORD ERROR_INVALID_SID = 1337;

inline constexpr DWORD USER_PRIV_GUEST = 0;
inline constexpr DWORD USER_PRIV_USER = 1;
inline constexpr DWORD USER_PRIV_ADMIN = 2;
inline constexpr DWORD UF_SCRIPT = 0x0001;
inline constexpr DWORD UF_NORMAL_ACCOUNT = 0x0200;
inline constexpr DWORD UF_DONT_EXPIRE_PASSWD = 0x10000;
inline constexpr DWORD ACCESS_ALL = 127;
inline constexpr DWORD SHI_USES_UNLIMITED = 0xFFFFFFFFu;

/// A new user, level 1. The strings are the wide strings of Windows, here single-byte text.
struct USER_INFO_1 {
    std::string usri1_name;
    std::string usri1_password;
    DWORD usri1_password_age = 0;
    DWORD usri1_priv = USER_PRIV_USER;
    std::string usri1_home_dir;
    std::string usri1_comment;
    DWORD usri1_flags = UF_SCRIPT;
    std::string usri1_script_path;
};

/// A group member named by "DOMAIN\name" or "name", level 3.
struct LOCALGROUP_MEMBERS_INFO_3 {
    std::string lgrmi3_domainandname;
};

enum SID_NAME_USE : int {
    SidTypeUser = 1,
    SidTypeGroup,
    SidTypeDomain,
    SidTypeAlias,
    SidTypeWellKnownGroup,
};

enum SE_OBJECT_TYPE : int { SE_UNKNOWN_OBJECT_TYPE = 0, SE_FILE_OBJECT = 1 };

/// Adds a local user at level 1 (usri1_priv must be USER_PRIV_USER or USER_PRIV_GUEST). Returns
/// NERR_Success, NERR_UserExists (2224) for a name already taken without regard to case,
/// NERR_BadUsername, ERROR_INVALID_LEVEL, ERROR_INVALID_PARAMETER (with *parmError the field's
/// index), ERROR_BAD_NETPATH for another computer, or the backend's failure (ERROR_ACCESS_DENIED).
NET_API_STATUS NetUserAdd(std::string_view serverName, DWORD level, const USER_INFO_1& user,
                          DWORD* parmError);

/// Lists the local users at level 1, without their passwords. NERR_Success, ERROR_INVALID_LEVEL or
/// ERROR_BAD_NETPATH for another computer.
NET_API_STATUS NetUserEnum(std::string_view serverName, DWORD level, std::vector<USER_INFO_1>& users);

/// Deletes a local user with its group memberships. NERR_Success, NERR_UserNotFound,
/// ERROR_BAD_NETPATH for another computer, or the backend's failure (ERROR_ACCESS_DENIED).
NET_API_STATUS NetUserDel(std::string_view serverName, std::string_view userName);

/// Adds members to a local group at level 3. NERR_Success, NERR_GroupNotFound,
/// ERROR_NO_SUCH_MEMBER, ERROR_MEMBER_IN_ALIAS, ERROR_INVALID_LEVEL or the backend's failure.
NET_API_STATUS NetLocalGroupAddMembers(std::string_view serverName, std::string_view groupName, DWORD level,
                                       const std::vector<LOCALGROUP_MEMBERS_INFO_3>& members);

/// Looks an account up, with the Windows two-call protocol: when sid or domain is missing or too
/// small, FALSE with ERROR_INSUFFICIENT_BUFFER and *sidSize and *domainSize set to the sizes needed
/// (the domain's including its terminating zero); with room enough, TRUE, the binary SID, the
/// domain and *domainSize its length without the zero. FALSE with ERROR_NONE_MAPPED for an
/// unknown name.
bool LookupAccountNameA(std::string_view systemName, std::string_view accountName, std::uint8_t* sid,
                        DWORD* sidSize, char* domain, DWORD* domainSize, SID_NAME_USE* use);

/// The text form of a binary SID. FALSE with ERROR_INVALID_SID when it is not one.
bool ConvertSidToStringSidA(const std::uint8_t* sid, std::string& text);

/// Reads the DACL of a file or folder (only DACL_SECURITY_INFORMATION is served). Returns
/// ERROR_SUCCESS, ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND, ERROR_INVALID_PARAMETER for another
/// object type or request, or the backend's failure.
DWORD GetNamedSecurityInfoA(std::string_view objectName, SE_OBJECT_TYPE type, DWORD information,
                            SECURITY_DESCRIPTOR& descriptor);

/// Sets the DACL of a file or folder (nullptr: a null DACL). The DACL's protection and
/// inheritance flags stay as they were unless PROTECTED_ or UNPROTECTED_DACL_SECURITY_INFORMATION
/// is given. Returns as GetNamedSecurityInfoA; ERROR_ACCESS_DENIED when it cannot be recorded.
DWORD SetNamedSecurityInfoA(std::string_view objectName, SE_OBJECT_TYPE type, DWORD information,
                            const ACL* dacl);

/// Shares a folder of this computer at level 2. NERR_Success, NERR_DuplicateShare (2118) for a
/// name taken without regard to case, NERR_UnknownDevDir for a path that is not an existing folder
/// on a local drive, ERROR_NOT_SUPPORTED for a type other than STYPE_DISKTREE, ERROR_INVALID_NAME
/// for a name Windows refuses, ERROR_INVALID_LEVEL, or the backend's failure (ERROR_ACCESS_DENIED
/// for a user who may not change HKEY_LOCAL_MACHINE). The password is kept only as a salted hash.
NET_API_STATUS NetShareAdd(std::string_view serverName, DWORD level, const SHARE_INFO_2& share,
                           DWORD* parmError);

} // namespace win
