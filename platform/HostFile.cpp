#include "platform/HostFile.h"

#include "platform/AtomicFile.h"
#include "platform/CFileException.h"
#include "platform/IoFaults.h"
#include "platform/LastError.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {

namespace fs = std::filesystem;

std::optional<std::string> ReadHostFile(const fs::path& path, DWORD* error) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (error != nullptr)
            *error = win::ErrorFromErrno(errno);
        return std::nullopt;
    }
    std::string content;
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && info.st_size > 0)
        content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            if (error != nullptr)
                *error = win::ErrorFromErrno(errno);
            return std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

int WriteAll(int fd, std::string_view data, const fs::path& target) {
    if (const int fault = WriteFaultFor(target); fault != 0)
        return fault;
    while (!data.empty()) {
        const std::size_t room = DiskSpaceFor(data.size());
        if (room == 0)
            return ENOSPC;
        const ssize_t wrote = ::write(fd, data.data(), room);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        UseDiskSpace(static_cast<std::size_t>(wrote));
        data.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

int SyncFolder(const fs::path& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        return errno;
    // Some file systems cannot flush a folder (EINVAL); their renames are as durable as they get.
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

DWORD WriteHostFileAtomically(const fs::path& path, std::string_view data) {
    try {
        AtomicFile file = AtomicFile::Create(path);
        file.Write(data);
        file.Commit();
    } catch (const CFileException& e) {
        return e.OsError();
    }
    return win::ERROR_SUCCESS;
}

} // namespace tl
