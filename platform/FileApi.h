#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

// File-system and system-information calls on Windows paths of the current machine. Each sets
// the calling thread's last error (win::GetLastError) on failure, as its Windows namesake does.
namespace win {

/// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_ARCHIVE for a file, plus
/// FILE_ATTRIBUTE_READONLY when it has no write permission; INVALID_FILE_ATTRIBUTES when the path
/// cannot be read or does not exist.
DWORD GetFileAttributes(std::string_view path);

/// Sets or clears FILE_ATTRIBUTE_READONLY (the owner's write permission); other bits are ignored.
bool SetFileAttributes(std::string_view path, DWORD attributes);

/// Creates one folder. ERROR_ALREADY_EXISTS when the name exists, ERROR_PATH_NOT_FOUND when the
/// folder above it does not.
bool CreateDirectory(std::string_view path);

/// Removes an empty folder.
bool RemoveDirectory(std::string_view path);

/// Deletes a file. ERROR_FILE_NOT_FOUND when absent, ERROR_ACCESS_DENIED for a folder or a
/// read-only file.
bool DeleteFile(std::string_view path);

/// Renames or moves a file; with replaceExisting an existing target is replaced atomically.
bool MoveFileEx(std::string_view from, std::string_view to, bool replaceExisting);

/// The type of the drive of a root such as "C:\" (DRIVE_FIXED, DRIVE_REMOTE, ...); a UNC root is
/// DRIVE_REMOTE; DRIVE_NO_ROOT_DIR for an unknown drive letter or an unusable root.
unsigned GetDriveType(std::string_view root);

/// The short (8.3) form of an existing path. This machine's volumes have no short names, so it is
/// the path itself, as Windows returns on such a volume; empty when the path does not exist or is
/// longer than MAX_PATH - 1.
std::string GetShortPathName(std::string_view path);

/// The temporary folder, ending in a backslash.
std::string GetTempPath();

/// NetBIOS name of this computer (upper case, at most 15 characters).
std::string GetComputerName();

std::string GetUserName();

/// The path of a shell folder (CSIDL value). With create, the folder is created when missing;
/// without, false when it does not exist. False for an id this machine has no folder for.
bool SHGetSpecialFolderPath(int csidl, std::string& path, bool create);

} // namespace win
