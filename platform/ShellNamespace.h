#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

// What a folder browser shows of this computer: its drives and the folders inside a folder, all
// as Windows paths.
namespace tl {

/// A drive of this computer.
struct DriveEntry {
    std::string root;  ///< "C:\"
    unsigned type = 0; ///< DRIVE_FIXED, DRIVE_REMOTE, ...
};

/// The configured drives in letter order.
std::vector<DriveEntry> ListDrives();

/// Names of the folders directly inside a folder, sorted without regard to case. Entries whose
/// names begin with "." are host files the Windows side never sees and are left out. Empty when
/// the folder cannot be read.
std::vector<std::string> ListSubfolders(std::string_view folder);

/// The longest leading part of path that exists: the path itself, or what is left after stripping
/// the last component (ParentPath) until the rest exists. Empty when nothing of it exists.
std::string LongestExistingLeadingPath(std::string_view path);

/// folder + "\" + name, without doubling a backslash that folder already ends with ("C:\").
std::string JoinPath(std::string_view folder, std::string_view name);

} // namespace tl
