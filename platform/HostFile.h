#pragma once

#include "platform/WinTypes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tl {

/// Reads a whole host file. On failure returns nullopt with a Windows error code in *error.
std::optional<std::string> ReadHostFile(const std::filesystem::path& path, DWORD* error = nullptr);

/// Writes data as the whole new content of a host file through an AtomicFile (platform/AtomicFile.h),
/// so readers and crashes see the old content or the new one and never a part; the file keeps the
/// permissions of the one it replaces. Returns ERROR_SUCCESS or a Windows error code; on failure
/// the target is unchanged and the temporary file is gone.
DWORD WriteHostFileAtomically(const std::filesystem::path& path, std::string_view data);

/// Flushes a folder's entries (names made, renamed or removed in it) to disk. Returns 0 or an errno
/// value; a file system that cannot flush folders (EINVAL) counts as flushed.
int SyncFolder(const std::filesystem::path& folder);

/// Writes all bytes to a descriptor, retrying short writes; honours the write-fault and free-space
/// seams for target (platform/IoFaults.h). Returns 0 or an errno value; some of the bytes may have
/// been written then.
int WriteAll(int fd, std::string_view data, const std::filesystem::path& target);

} // namespace tl
