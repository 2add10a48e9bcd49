#pragma once

#include "tools/uninstall/UninstallManifest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tl::uninstall {

/// The firm's home directory, where the databases and case files live.
struct HomeDirectory {
    std::string named;          ///< as the settings (or the manifest) name it; "" when nothing names it
    std::string localPath;      ///< its Windows path on this computer; "" when it is not on this computer
    std::filesystem::path host; ///< its canonical host folder; empty when not on this computer
    std::string shareName;      ///< the share of this computer that publishes it, "" when none

    bool IsHere() const { return !host.empty(); }
};

/// Finds the home directory: the per-user settings' HomeDirectory, else the machine-wide copy's,
/// else the share named by the first DeleteFile entry that is a UNC path of this computer (the
/// databases are recorded that way). Read before anything is deleted, since the settings key is
/// among the things the uninstaller removes.
HomeDirectory FindHomeDirectory(const std::vector<ManifestEntry>& entries);

/// The home directory that a path names: a UNC path of this computer through its share, a local
/// path as it is; a path of another computer is named but not here.
HomeDirectory ResolveHomeDirectory(const std::string& named);

} // namespace tl::uninstall
