#include "platform/NetEnum.h"

#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace win {

namespace fs = std::filesystem;

namespace {

std::string_view StripBackslashes(std::string_view serverName) {
    while (!serverName.empty() && serverName.front() == '\\')
        serverName.remove_prefix(1);
    return serverName;
}

bool IsLocal(std::string_view serverName, const tl::Machine& machine) {
    serverName = StripBackslashes(serverName);
    return serverName.empty() || tl::IsThisComputer(serverName, machine);
}

// The sandbox folder of another computer, matched without regard to case.
std::optional<fs::path> ComputerFolder(std::string_view serverName, const tl::Machine& machine) {
    std::error_code ec;
    for (fs::directory_iterator it(machine.NetworkFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && tl::EqualsNoCase(it->path().filename().string(), serverName))
            return it->path();
    }
    return std::nullopt;
}

DWORD ShareType(const std::string& name, DWORD baseType) {
    return (!name.empty() && name.back() == '$') ? (baseType | STYPE_SPECIAL) : baseType;
}

void SortByName(std::vector<SHARE_INFO_1>& shares) {
    std::sort(shares.begin(), shares.end(), [](const SHARE_INFO_1& a, const SHARE_INFO_1& b) {
        return tl::CompareNoCase(a.shi1_netname, b.shi1_netname) < 0;
    });
}

std::vector<SHARE_INFO_1> LocalShares(const tl::Machine& machine) {
    std::vector<SHARE_INFO_1> shares;
    for (const tl::ShareInfo& share : tl::ListLocalShares())
        shares.push_back(SHARE_INFO_1{share.name, ShareType(share.name, share.type), share.remark});
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (machine.DriveType(letter) == DRIVE_FIXED)
            shares.push_back(
                SHARE_INFO_1{std::string(1, letter) + "$", STYPE_DISKTREE | STYPE_SPECIAL, "Default share"});
    }
    return shares;
}

std::vector<SHARE_INFO_1> SandboxShares(const fs::path& computer) {
    std::vector<SHARE_INFO_1> shares;
    std::error_code ec;
    for (fs::directory_iterator it(computer, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec))
            continue;
        const std::string name = it->path().filename().string();
        shares.push_back(SHARE_INFO_1{name, ShareType(name, STYPE_DISKTREE), {}});
    }
    return shares;
}

} // namespace

DWORD NetServerEnum(std::string_view serverName, DWORD level, std::vector<SERVER_INFO_101>& entries,
                    DWORD serverType, std::string_view domain) {
    entries.clear();
    if (level != 101)
        return ERROR_INVALID_LEVEL;
    const tl::Machine& machine = tl::Machine::Current();
    if (!IsLocal(serverName, machine))
        return ERROR_BAD_NETPATH;
    std::error_code ec;
    if (!domain.empty() || !fs::is_directory(machine.NetworkFolder(), ec))
        return ERROR_NO_BROWSER_SERVERS_FOUND;

    std::vector<std::string> names{machine.ComputerName()};
    for (fs::directory_iterator it(machine.NetworkFolder(), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec))
            continue;
        std::string name = tl::ToUpper(it->path().filename().string());
        if (std::none_of(names.begin(), names.end(), [&](const std::string& known) { return known == name; }))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    const SERVER_INFO_101 workstation;
    for (std::string& name : names) {
        if ((workstation.sv101_type & serverType) == 0)
            continue;
        SERVER_INFO_101 entry;
        entry.sv101_name = std::move(name);
        entries.push_back(std::move(entry));
    }
    return NERR_Success;
}

DWORD NetShareEnum(std::string_view serverName, DWORD level, std::vector<SHARE_INFO_1>& entries) {
    entries.clear();
    if (level != 1)
        return ERROR_INVALID_LEVEL;
    const tl::Machine& machine = tl::Machine::Current();
    if (IsLocal(serverName, machine)) {
        entries = LocalShares(machine);
    } else {
        const auto computer = ComputerFolder(StripBackslashes(serverName), machine);
        if (!computer)
            return ERROR_BAD_NETPATH;
        entries = SandboxShares(*computer);
    }
    entries.push_back(SHARE_INFO_1{"IPC$", STYPE_IPC | STYPE_SPECIAL, "Remote IPC"});
    SortByName(entries);
    return NERR_Success;
}

DWORD NetShareGetInfo(std::string_view serverName, std::string_view netName, DWORD level,
                      SHARE_INFO_2& info) {
    if (level != 2)
        return ERROR_INVALID_LEVEL;
    const tl::Machine& machine = tl::Machine::Current();
    if (!IsLocal(serverName, machine))
        return ComputerFolder(StripBackslashes(serverName), machine) ? ERROR_ACCESS_DENIED
                                                                     : ERROR_BAD_NETPATH;
    const auto share = tl::FindLocalShare(netName, machine);
    if (!share)
        return NERR_NetNameNotFound;
    info = SHARE_INFO_2{};
    info.shi2_netname = share->name;
    info.shi2_type = ShareType(share->name, share->type);
    info.shi2_remark = share->remark;
    info.shi2_permissions = share->permissions;
    info.shi2_max_uses = share->maxUses;
    info.shi2_path = share->path;
    return NERR_Success;
}

} // namespace win
