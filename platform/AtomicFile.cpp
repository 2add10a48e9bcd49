#include "platform/AtomicFile.h"

#include "platform/CFileException.h"
#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/IoFaults.h"
#include "platform/LastError.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMarker = ".tl.tmp.";
constexpr std::size_t kRandomLength = 6; // the XXXXXX of mkostemp
constexpr int kCreateAttempts = 8;

[[noreturn]] void Fail(int error, const char* what, const fs::path& file) {
    throw CFileException(win::ErrorFromErrno(error),
                         Format("%s %s: %s", what, file.c_str(), std::strerror(error)));
}

void CheckFault(const fs::path& target, IoStep step, const char* what, const fs::path& file) {
    if (const int fault = IoFaultFor(target, step); fault != 0)
        Fail(fault, what, file);
}

bool SameFile(int fd, const fs::path& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// Each folder is swept once per process, at its first write: a sweep per file would make writing
// many files into one folder quadratic.
void SweepOnce(const fs::path& folder) {
    static std::mutex mutex;
    static std::set<fs::path> swept;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return; // nothing to sweep yet, and the Create fails
    {
        std::lock_guard lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    AtomicFile::RemoveStaleTemporaries(folder);
}

mode_t ModeFor(const fs::path& target) {
    struct stat old {};
    return ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
}

void FlushFolder(const fs::path& folder) {
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        Fail(errno, "Cannot open the folder", folder);
    // Some file systems cannot flush a folder (EINVAL); their renames are as durable as they get.
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        Fail(errno, "Cannot flush the folder", folder);
}

} // namespace

AtomicFile::AtomicFile(fs::path target, fs::path temp, UniqueFd fd)
    : target_(std::move(target)), temp_(std::move(temp)), fd_(std::move(fd)) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})), fd_(std::move(other.fd_)) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
        fd_ = std::move(other.fd_);
    }
    return *this;
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() noexcept {
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    fd_.reset();
}

AtomicFile AtomicFile::Create(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    CheckFault(target, IoStep::Create, "Cannot create a temporary file for", target);
    SweepOnce(folder);
    const std::string pattern =
        (folder / ("." + target.filename().string() + std::string(kMarker) + "XXXXXX")).string();
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        std::string name = pattern;
        UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
        if (!fd)
            Fail(errno, "Cannot create a temporary file for", target);
        // A sweep of another process may have caught the file before the lock: then make another.
        // On a file system without locks the file goes unlocked, and no sweep can take it either.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            continue;
        if (!SameFile(fd.get(), name))
            continue;
        AtomicFile file(target, name, std::move(fd));
        if (::fchmod(file.fd(), ModeFor(target)) != 0)
            Fail(errno, "Cannot set the permissions of", file.temp_);
        return file;
    }
    Fail(EAGAIN, "Cannot create a temporary file for", target);
}

void AtomicFile::Write(std::string_view bytes) {
    if (const int error = WriteAll(fd_.get(), bytes, target_); error != 0)
        Fail(error, "Cannot write", temp_);
}

void AtomicFile::Commit() {
    CheckFault(target_, IoStep::Sync, "Cannot flush to disk", temp_);
    if (::fsync(fd_.get()) != 0)
        Fail(errno, "Cannot flush to disk", temp_);
    CheckFault(target_, IoStep::Rename, "Cannot put the new file in place of", target_);
    // The file stays open, and locked, until it is in place, so no sweep takes it for a dead one.
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        Fail(errno, "Cannot put the new file in place of", target_);
    temp_.clear();
    FlushFolder(target_.has_parent_path() ? target_.parent_path() : fs::path("."));
    if (::close(fd_.release()) != 0)
        Fail(errno, "Cannot close", target_);
}

bool AtomicFile::IsTemporaryName(std::string_view fileName) {
    const std::size_t minimum = 1 + 1 + kMarker.size() + kRandomLength; // ".x.tl.tmp.XXXXXX"
    if (fileName.size() < minimum || fileName.front() != '.')
        return false;
    const std::string_view tail = fileName.substr(fileName.size() - kRandomLength - kMarker.size());
    if (!tail.starts_with(kMarker))
        return false;
    for (const char c : tail.substr(kMarker.size())) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::size_t AtomicFile::RemoveStaleTemporaries(const fs::path& folder) {
    std::size_t removed = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path path = it->path();
        if (!IsTemporaryName(path.filename().string()))
            continue;
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        // A file still locked is being written; the name may also have gone or changed meanwhile.
        if (!fd || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || !SameFile(fd.get(), path))
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

} // namespace tl
