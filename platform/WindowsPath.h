#pragma once

#include "platform/WinTypes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

class Machine;

/// A fully qualified Windows path split into its root and its components. "." and ".." are
/// resolved lexically and never climb above the root; "/" is a separator as on Windows.
struct WindowsPath {
    enum class Kind { Drive, Unc };
    Kind kind = Kind::Drive;
    char drive = 'C';   ///< upper case, for Kind::Drive
    std::string server; ///< for Kind::Unc, as written
    std::string share;  ///< for Kind::Unc, as written
    std::vector<std::string> components;
};

/// Splits a Windows path. Accepts "C:\a\b", "C:" and "C:a" (both relative to the drive's root,
/// which is every drive's current folder here) and "\\server\share\a". Relative paths, rooted
/// paths without a drive, device paths ("\\.\", "\\?\") and names holding < > : " | ? * or control
/// characters are refused with ERROR_INVALID_NAME (or ERROR_PATH_NOT_FOUND for a relative path)
/// in *error.
std::optional<WindowsPath> ParseWindowsPath(std::string_view path, DWORD* error = nullptr);

/// True when a server name in a UNC path names this computer (its NetBIOS name, "localhost",
/// "127.0.0.1" or "."), compared without regard to case.
bool IsThisComputer(std::string_view server, const Machine& machine);

/// The host path of a Windows path on this machine. Drive letters map to their drive folders; UNC
/// paths to this computer's shares map to the shared folder ("X$" to drive X); UNC paths to other
/// computers map into the sandbox network, <prefix>/network/<SERVER>/<SHARE>. Existing components
/// are matched without regard to case, as the Windows file system does; missing ones keep the
/// spelling given. On failure returns nullopt with ERROR_PATH_NOT_FOUND (no such drive),
/// ERROR_BAD_NETPATH (no such computer), ERROR_BAD_NET_NAME (no such share) or ERROR_INVALID_NAME
/// in *error.
std::optional<std::filesystem::path> MapToHostPath(std::string_view path, const Machine& machine,
                                                   DWORD* error = nullptr);

/// As above, on the machine of this process.
std::optional<std::filesystem::path> MapToHostPath(std::string_view path, DWORD* error = nullptr);

/// The host path of a drive path with its components joined as given, without looking at the
/// disk: what MapToHostPath gives whenever the path exists in the very case given, so a caller
/// that tries it first saves the lookups. nullopt for a UNC path or one that cannot be mapped.
std::optional<std::filesystem::path> HostPathAsGiven(std::string_view path, const Machine& machine);
/// As above, on the machine of this process.
std::optional<std::filesystem::path> HostPathAsGiven(std::string_view path);

/// Joins a host folder and components, matching each existing component without regard to case.
std::filesystem::path ResolveNoCase(std::filesystem::path folder, const std::vector<std::string>& components);

} // namespace tl
