#include "platform/PathHelpers.h"

#include "platform/FileApi.h"

namespace tl {

bool PathExists(std::string_view path, bool mustBeDirectory) {
    const DWORD attributes = win::GetFileAttributes(path);
    if (attributes == win::INVALID_FILE_ATTRIBUTES)
        return false;
    return !mustBeDirectory || (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ParentPath(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos || slash < 1)
        return {};
    return std::string(path.substr(0, slash));
}

bool CreateDirectoryPath(std::string_view path) {
    const std::string parent = ParentPath(path);
    if (parent.empty())
        return false;
    if (PathExists(parent))
        return PathExists(parent, true);
    if (!CreateDirectoryPath(parent))
        return false;
    return win::CreateDirectory(parent);
}

bool IsLocalHardDrive(std::string_view path) {
    if (path.size() < 3 || path.starts_with("\\\\") || path[1] != ':' || path[2] != '\\')
        return false;
    return win::GetDriveType(path.substr(0, 3)) == win::DRIVE_FIXED;
}

std::string GetLocalAppDataDir() {
    std::string folder;
    if (!win::SHGetSpecialFolderPath(win::CSIDL_LOCAL_APPDATA, folder, false))
        return {};
    return folder + "\\";
}

} // namespace tl
