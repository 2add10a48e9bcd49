#include "platform/NetApi.h"

#include "platform/FileApi.h"
#include "platform/LastError.h"
#include "platform/Machine.h"
#include "platform/SecurityBackend.h"
#include "platform/Sid.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace win {

namespace {

bool IsLocalServer(std::string_view server) {
    while (server.starts_with("\\"))
        server.remove_prefix(1);
    return server.empty() || tl::IsThisComputer(server, tl::Machine::Current());
}

std::optional<std::filesystem::path> MapObject(std::string_view objectName, DWORD& error) {
    error = ERROR_SUCCESS;
    auto host = tl::MapToHostPath(objectName, &error);
    if (!host)
        return std::nullopt;
    struct stat info {};
    if (::stat(host->c_str(), &info) != 0) {
        const bool parentExists = ::stat(host->parent_path().c_str(), &info) == 0;
        error = parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    return host;
}

bool IsValidShareName(std::string_view name) {
    if (name.empty() || name.size() > 80)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("\"/\\[]:|<>+=;,?*").find(c) != std::string_view::npos;
    });
}

} // namespace

NET_API_STATUS NetUserAdd(std::string_view serverName, DWORD level, const USER_INFO_1& user,
                          DWORD* parmError) {
    if (!IsLocalServer(serverName))
        return ERROR_BAD_NETPATH;
    if (level != 1)
        return ERROR_INVALID_LEVEL;
    if (user.usri1_priv != USER_PRIV_USER && user.usri1_priv != USER_PRIV_GUEST) {
        if (parmError != nullptr)
            *parmError = 4; // USER_PRIV_PARMNUM
        return ERROR_INVALID_PARAMETER;
    }
    tl::NewUser account;
    account.name = user.usri1_name;
    account.password = user.usri1_password;
    account.privilege = user.usri1_priv;
    account.flags = user.usri1_flags;
    account.comment = user.usri1_comment;
    const DWORD status = tl::TheSecurityBackend().AddUser(account);
    tl::WipeString(account.password);
    return status;
}

NET_API_STATUS NetUserEnum(std::string_view serverName, DWORD level, std::vector<USER_INFO_1>& users) {
    users.clear();
    if (!IsLocalServer(serverName))
        return ERROR_BAD_NETPATH;
    if (level != 1)
        return ERROR_INVALID_LEVEL;
    for (const tl::UserAccount& account : tl::TheSecurityBackend().ListUsers()) {
        USER_INFO_1 user;
        user.usri1_name = account.name;
        user.usri1_priv = account.privilege;
        user.usri1_flags = account.flags;
        user.usri1_comment = account.comment;
        users.push_back(std::move(user));
    }
    return NERR_Success;
}

NET_API_STATUS NetUserDel(std::string_view serverName, std::string_view userName) {
    if (!IsLocalServer(serverName))
        return ERROR_BAD_NETPATH;
    return tl::TheSecurityBackend().DeleteUser(userName);
}

NET_API_STATUS NetLocalGroupAddMembers(std::string_view serverName, std::string_view groupName, DWORD level,
                                       const std::vector<LOCALGROUP_MEMBERS_INFO_3>& members) {
    if (!IsLocalServer(serverName))
        return ERROR_BAD_NETPATH;
    if (level != 3)
        return ERROR_INVALID_LEVEL;
    for (const LOCALGROUP_MEMBERS_INFO_3& member : members) {
        if (const DWORD status =
                tl::TheSecurityBackend().AddGroupMember(groupName, member.lgrmi3_domainandname))
            return status;
    }
    return NERR_Success;
}

bool LookupAccountNameA(std::string_view systemName, std::string_view accountName, std::uint8_t* sid,
                        DWORD* sidSize, char* domain, DWORD* domainSize, SID_NAME_USE* use) {
    if (sidSize == nullptr || domainSize == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!IsLocalServer(systemName)) {
        SetLastError(ERROR_BAD_NETPATH);
        return false;
    }
    const auto account = tl::TheSecurityBackend().FindAccount(accountName);
    const auto binary = account ? tl::SidFromText(account->sid) : std::nullopt;
    if (!binary) {
        SetLastError(ERROR_NONE_MAPPED);
        return false;
    }
    const DWORD sidNeeded = static_cast<DWORD>(binary->size());
    const DWORD domainNeeded = static_cast<DWORD>(account->domain.size() + 1);
    if (sid == nullptr || domain == nullptr || *sidSize < sidNeeded || *domainSize < domainNeeded) {
        *sidSize = sidNeeded;
        *domainSize = domainNeeded;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    std::memcpy(sid, binary->data(), binary->size());
    std::memcpy(domain, account->domain.c_str(), domainNeeded);
    *sidSize = sidNeeded;
    *domainSize = domainNeeded - 1;
    if (use != nullptr)
        *use = static_cast<SID_NAME_USE>(account->kind);
    return true;
}

bool ConvertSidToStringSidA(const std::uint8_t* sid, std::string& text) {
    // A SID's length follows from its own header.
    const auto converted = sid != nullptr && sid[1] <= tl::kMaxSubAuthorities
                               ? tl::SidToText(sid, tl::SidLength(sid[1]))
                               : std::nullopt;
    if (!converted) {
        SetLastError(ERROR_INVALID_SID);
        return false;
    }
    text = *converted;
    return true;
}

DWORD GetNamedSecurityInfoA(std::string_view objectName, SE_OBJECT_TYPE type, DWORD information,
                            SECURITY_DESCRIPTOR& descriptor) {
    if (type != SE_FILE_OBJECT || information != DACL_SECURITY_INFORMATION)
        return ERROR_INVALID_PARAMETER;
    DWORD error = ERROR_SUCCESS;
    const auto host = MapObject(objectName, error);
    if (!host)
        return error;
    std::string sddl;
    if (const DWORD status = tl::TheSecurityBackend().ReadDacl(*host, sddl); status != ERROR_SUCCESS)
        return status;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, descriptor))
        return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

DWORD SetNamedSecurityInfoA(std::string_view objectName, SE_OBJECT_TYPE type, DWORD information,
                            const ACL* dacl) {
    constexpr DWORD kProtection = PROTECTED_DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION;
    if (type != SE_FILE_OBJECT || (information & ~kProtection) != DACL_SECURITY_INFORMATION ||
        (information & kProtection) == kProtection)
        return ERROR_INVALID_PARAMETER;
    DWORD error = ERROR_SUCCESS;
    const auto host = MapObject(objectName, error);
    if (!host)
        return error;
    // The list's flags are the object's, not the caller's: they stay unless protection is named.
    std::string current;
    SECURITY_DESCRIPTOR descriptor;
    if (tl::TheSecurityBackend().ReadDacl(*host, current) == ERROR_SUCCESS)
        ConvertStringSecurityDescriptorToSecurityDescriptorA(current, SDDL_REVISION_1, descriptor);
    descriptor.control |= SE_DACL_PRESENT;
    if ((information & PROTECTED_DACL_SECURITY_INFORMATION) != 0)
        descriptor.control |= SE_DACL_PROTECTED;
    if ((information & UNPROTECTED_DACL_SECURITY_INFORMATION) != 0)
        descriptor.control &= static_cast<WORD>(~SE_DACL_PROTECTED);
    descriptor.dacl = dacl != nullptr ? std::optional<ACL>(*dacl) : std::nullopt;
    std::string text;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, text);
    return tl::TheSecurityBackend().WriteDacl(*host, text);
}

NET_API_STATUS NetShareAdd(std::string_view serverName, DWORD level, const SHARE_INFO_2& share,
                           DWORD* parmError) {
    if (!IsLocalServer(serverName))
        return ERROR_BAD_NETPATH;
    if (level != 2)
        return ERROR_INVALID_LEVEL;
    if (!IsValidShareName(share.shi2_netname)) {
        if (parmError != nullptr)
            *parmError = 1; // SHARE_NETNAME_PARMNUM
        return ERROR_INVALID_NAME;
    }
    if (share.shi2_type != STYPE_DISKTREE)
        return ERROR_NOT_SUPPORTED;
    // Only an existing folder on one of this computer's drives can be shared.
    const auto parsed = tl::ParseWindowsPath(share.shi2_path);
    if (!parsed || parsed->kind != tl::WindowsPath::Kind::Drive ||
        GetFileAttributes(share.shi2_path) == INVALID_FILE_ATTRIBUTES ||
        (GetFileAttributes(share.shi2_path) & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return NERR_UnknownDevDir;
    tl::ShareInfo info;
    info.name = share.shi2_netname;
    info.path = share.shi2_path;
    info.remark = share.shi2_remark;
    info.type = share.shi2_type;
    info.permissions = share.shi2_permissions;
    info.maxUses = share.shi2_max_uses;
    return tl::TheSecurityBackend().AddShare(info, share.shi2_passwd);
}

} // namespace win
