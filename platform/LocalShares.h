#pragma once

#include "platform/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

class Machine;

/// A disk share of this computer, kept where Windows keeps it: one REG_MULTI_SZ value per share
/// ("Path=...", "Remark=...", "Type=...", "Permissions=...", "MaxUses=...") under
/// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\LanmanServer\Shares.
struct ShareInfo {
    std::string name;
    std::string path; ///< the shared folder, a local Windows path
    std::string remark;
    DWORD type = 0; ///< STYPE_DISKTREE
    DWORD permissions = 0;
    DWORD maxUses = 0xFFFFFFFFu;
};

inline constexpr char kSharesKey[] = "SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares";

/// Looks a share of this computer up by name (without regard to case).
std::optional<ShareInfo> FindLocalShare(std::string_view name, const Machine& machine);
std::optional<ShareInfo> FindLocalShare(std::string_view name);

/// Adds a share of this computer. NERR_DuplicateShare when the name is taken; the registry's error
/// (ERROR_ACCESS_DENIED for a user who may not change HKEY_LOCAL_MACHINE) when it cannot be
/// recorded. A share with a password records it only as a one-way hash ("PasswordHash=...").
DWORD AddLocalShare(const ShareInfo& share, std::string_view passwordHash = {});

/// Every share of this computer, in the registry's order.
std::vector<ShareInfo> ListLocalShares();

/// Stops sharing a folder of this computer (the folder stays). NERR_NetNameNotFound when no share
/// has that name (without regard to case); the registry's error when it cannot be changed.
DWORD DeleteLocalShare(std::string_view name);

} // namespace tl
