#include "db/CreateDatabaseFile.h"

#include "platform/LastError.h"
#include "platform/UniqueFd.h"
#include "platform/WindowsPath.h"

#include <cerrno>
#include <fcntl.h>

DWORD CreateDatabaseFile(std::string_view windowsPath) {
    DWORD error = win::ERROR_SUCCESS;
    const auto host = tl::MapToHostPath(windowsPath, &error);
    if (!host) {
        win::SetLastError(error);
        return error;
    }
    // An empty file is an empty SQLite database; the first table written gives it its header.
    const tl::UniqueFd file(::open(host->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file) {
        win::SetLastError(win::ERROR_SUCCESS);
        return win::ERROR_SUCCESS;
    }
    switch (errno) {
    case EEXIST:
        error = win::ERROR_FILE_EXISTS;
        break;
    case ENOENT:
    case ENOTDIR:
        error = win::ERROR_PATH_NOT_FOUND;
        break;
    default:
        error = win::ErrorFromErrno(errno);
        break;
    }
    win::SetLastError(error);
    return error;
}
