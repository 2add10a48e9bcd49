#include "platform/LocalShares.h"

#include "platform/Format.h"
#include "platform/Registry.h"
#include "platform/TextUtil.h"

#include <cstdlib>

namespace tl {

namespace {

ShareInfo DecodeShare(std::string name, std::string_view data) {
    ShareInfo share;
    share.name = std::move(name);
    for (const std::string& field : win::DecodeMultiString(data)) {
        const std::size_t eq = field.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = field.substr(0, eq);
        const std::string value = field.substr(eq + 1);
        if (EqualsNoCase(key, "Path"))
            share.path = value;
        else if (EqualsNoCase(key, "Remark"))
            share.remark = value;
        else if (EqualsNoCase(key, "Type"))
            share.type = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        else if (EqualsNoCase(key, "Permissions"))
            share.permissions = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        else if (EqualsNoCase(key, "MaxUses"))
            share.maxUses = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
    }
    return share;
}

} // namespace

std::optional<ShareInfo> FindLocalShare(std::string_view name, const Machine&) {
    return FindLocalShare(name);
}

std::optional<ShareInfo> FindLocalShare(std::string_view name) {
    win::RegKey key;
    if (win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, kSharesKey, false, key) != 0)
        return std::nullopt;
    DWORD type = 0;
    std::string data;
    if (win::RegQueryValueEx(key, name, &type, &data) != 0 || type != win::REG_MULTI_SZ)
        return std::nullopt;
    return DecodeShare(std::string(name), data);
}

DWORD AddLocalShare(const ShareInfo& share, std::string_view passwordHash) {
    win::RegKey key;
    if (const LONG status = win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, kSharesKey, key); status != 0)
        return static_cast<DWORD>(status);
    if (win::RegQueryValueEx(key, share.name, nullptr, nullptr) == 0)
        return win::NERR_DuplicateShare;
    std::vector<std::string> fields = {"MaxUses=" + std::to_string(share.maxUses), "Path=" + share.path,
                                       "Permissions=" + std::to_string(share.permissions),
                                       "Remark=" + share.remark, "Type=" + std::to_string(share.type)};
    if (!passwordHash.empty())
        fields.push_back("PasswordHash=" + std::string(passwordHash));
    return static_cast<DWORD>(win::RegSetMultiString(key, share.name, fields));
}

std::vector<ShareInfo> ListLocalShares() {
    std::vector<ShareInfo> shares;
    win::RegKey key;
    if (win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, kSharesKey, false, key) != 0)
        return shares;
    for (const std::string& name : win::RegEnumValueNames(key)) {
        DWORD type = 0;
        std::string data;
        if (win::RegQueryValueEx(key, name, &type, &data) == 0 && type == win::REG_MULTI_SZ)
            shares.push_back(DecodeShare(name, data));
    }
    return shares;
}

DWORD DeleteLocalShare(std::string_view name) {
    win::RegKey key;
    const LONG status = win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, kSharesKey, true, key);
    if (status == win::ERROR_FILE_NOT_FOUND)
        return win::NERR_NetNameNotFound;
    if (status != 0)
        return static_cast<DWORD>(status);
    if (win::RegQueryValueEx(key, name, nullptr, nullptr) != 0)
        return win::NERR_NetNameNotFound;
    return static_cast<DWORD>(win::RegDeleteValue(key, name));
}

} // namespace tl
