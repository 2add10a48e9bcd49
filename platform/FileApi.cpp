#include "platform/FileApi.h"

#include "platform/LastError.h"
#include "platform/Machine.h"
#include "platform/WindowsPath.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace win {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> Map(std::string_view path) {
    DWORD error = ERROR_SUCCESS;
    auto host = tl::MapToHostPath(path, &error);
    if (!host)
        SetLastError(error);
    return host;
}

bool FailWithErrno() {
    SetLastError(ErrorFromErrno(errno));
    return false;
}

// ENOENT means "file not found" when the folder above exists and "path not found" otherwise.
bool FailMissing(const fs::path& host) {
    struct stat info {};
    const bool parentIsFolder = ::stat(host.parent_path().c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    SetLastError(parentIsFolder ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return false;
}

} // namespace

DWORD GetFileAttributes(std::string_view path) {
    struct stat info {};
    // A path that exists in the case given needs no matching of its names.
    const auto given = tl::HostPathAsGiven(path);
    if (!given || ::stat(given->c_str(), &info) != 0) {
        const auto host = Map(path);
        if (!host)
            return INVALID_FILE_ATTRIBUTES;
        if (::stat(host->c_str(), &info) != 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                FailMissing(*host);
            else
                FailWithErrno();
            return INVALID_FILE_ATTRIBUTES;
        }
    }
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((info.st_mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

bool SetFileAttributes(std::string_view path, DWORD attributes) {
    const auto host = Map(path);
    if (!host)
        return false;
    struct stat info {};
    if (::stat(host->c_str(), &info) != 0)
        return FailWithErrno();
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
    return ::chmod(host->c_str(), mode) == 0 || FailWithErrno();
}

bool CreateDirectory(std::string_view path) {
    const auto host = Map(path);
    if (!host)
        return false;
    if (::mkdir(host->c_str(), 0755) == 0)
        return true;
    if (errno == ENOENT || errno == ENOTDIR) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return FailWithErrno();
}

bool RemoveDirectory(std::string_view path) {
    const auto host = Map(path);
    if (!host)
        return false;
    return ::rmdir(host->c_str()) == 0 || FailWithErrno();
}

bool DeleteFile(std::string_view path) {
    const auto host = Map(path);
    if (!host)
        return false;
    struct stat info {};
    if (::lstat(host->c_str(), &info) != 0)
        return errno == ENOENT ? FailMissing(*host) : FailWithErrno();
    // Windows refuses to delete folders and read-only files with DeleteFile.
    if (S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return ::unlink(host->c_str()) == 0 || FailWithErrno();
}

bool MoveFileEx(std::string_view from, std::string_view to, bool replaceExisting) {
    const auto source = Map(from);
    if (!source)
        return false;
    const auto target = Map(to);
    if (!target)
        return false;
    struct stat info {};
    if (!replaceExisting && ::lstat(target->c_str(), &info) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    if (::rename(source->c_str(), target->c_str()) != 0)
        return errno == ENOENT ? FailMissing(*source) : FailWithErrno();
    return true;
}

unsigned GetDriveType(std::string_view root) {
    const auto parsed = tl::ParseWindowsPath(root);
    if (!parsed || !parsed->components.empty())
        return DRIVE_NO_ROOT_DIR;
    if (parsed->kind == tl::WindowsPath::Kind::Unc)
        return tl::MapToHostPath(root) ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
    return tl::Machine::Current().DriveType(parsed->drive);
}

std::string GetShortPathName(std::string_view path) {
    if (GetFileAttributes(path) == INVALID_FILE_ATTRIBUTES)
        return {};
    if (path.size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return {};
    }
    return std::string(path);
}

std::string GetTempPath() {
    return tl::Machine::Current().TempPath();
}

std::string GetComputerName() {
    return tl::Machine::Current().ComputerName();
}

std::string GetUserName() {
    return tl::Machine::Current().UserName();
}

bool SHGetSpecialFolderPath(int csidl, std::string& path, bool create) {
    const auto folder = tl::Machine::Current().FolderPath(csidl);
    if (!folder) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const auto host = Map(*folder);
    if (!host)
        return false;
    std::error_code ec;
    if (create)
        fs::create_directories(*host, ec);
    if (!fs::is_directory(*host, ec)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    path = *folder;
    return true;
}

} // namespace win
