#include "platform/HostFile.h"

#include "platform/IoFaults.h"
#include "platform/LastError.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdlib>
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
        const ssize_t wrote = ::write(fd, data.data(), data.size());
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

DWORD WriteHostFileAtomically(const fs::path& path, std::string_view data) {
    std::string tempName = (path.parent_path() / ("." + path.filename().string() + ".tmp.XXXXXX")).string();
    UniqueFd fd(::mkstemp(tempName.data()));
    if (!fd)
        return win::ErrorFromErrno(errno);
    int failure = WriteAll(fd.get(), data, path);
    if (failure == 0 && ::fsync(fd.get()) != 0)
        failure = errno;
    // Keep the permissions of the file being replaced; a new file gets the usual 0644.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (failure == 0 && ::fchmod(fd.get(), mode) != 0)
        failure = errno;
    fd.reset();
    if (failure == 0 && ::rename(tempName.c_str(), path.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(tempName.c_str());
        return win::ErrorFromErrno(failure);
    }
    return win::ERROR_SUCCESS;
}

} // namespace tl
