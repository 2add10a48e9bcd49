#pragma once

#include <string>
#include <string_view>

namespace tl {

/// False when the path's attributes cannot be read; otherwise true, or with mustBeDirectory,
/// whether it is a folder.
bool PathExists(std::string_view path, bool mustBeDirectory = false);

/// The text before the last backslash when that backslash stands at position 1 or later, else ""
/// (C:\a\b gives C:\a; C:\a gives C:; \a and a give "").
std::string ParentPath(std::string_view path);

/// Makes sure the folder that contains path exists, creating it and every missing folder above it.
/// False when the path has no parent, when the parent exists but is not a folder, or when a
/// folder cannot be created. To create a folder itself, pass a path inside it ("...\foo").
bool CreateDirectoryPath(std::string_view path);

/// True only for a path of at least 3 characters that does not begin with "\\", has ":" second
/// and "\" third, on a fixed drive.
bool IsLocalHardDrive(std::string_view path);

/// The user's local application data folder followed by "\" ("" when the machine has none).
std::string GetLocalAppDataDir();

} // namespace tl
