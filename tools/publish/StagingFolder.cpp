#include "tools/publish/StagingFolder.h"

#include "platform/Format.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// mkdtemp makes a private folder; a published folder is read by the web server's own account.
mode_t FolderMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0777 & ~mask;
}

int SyncPath(const fs::path& path) {
    const tl::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || ::fsync(fd.get()) != 0)
        return errno;
    return 0;
}

// Files were flushed as they were written; their folders still need it for the names to last.
int SyncFolders(const fs::path& root) {
    if (const int error = SyncPath(root); error != 0)
        return error;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            if (const int error = SyncPath(it->path()); error != 0)
                return error;
        }
    }
    return ec ? ec.value() : 0;
}

int RenameFlagged(const fs::path& from, const fs::path& to, unsigned flags) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) == 0 ? 0 : errno;
}

// For file systems without exchanging renames (NFS): the old output steps aside for a moment and
// comes back when the new one cannot take its place.
int ReplaceInTwoSteps(const fs::path& staging, const fs::path& target) {
    const fs::path aside = staging.string() + ".old";
    const bool hadTarget = ::rename(target.c_str(), aside.c_str()) == 0;
    if (!hadTarget && errno != ENOENT)
        return errno;
    if (::rename(staging.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (hadTarget)
            ::rename(aside.c_str(), target.c_str());
        return error;
    }
    std::error_code ignored;
    fs::remove_all(aside, ignored);
    return 0;
}

} // namespace

StagingFolder::~StagingFolder() {
    if (path_.empty() || committed_)
        return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

bool StagingFolder::Create(const fs::path& target, std::string& error) {
    target_ = target;
    fs::path parent = target.parent_path();
    if (parent.empty())
        parent = ".";
    std::string name = (parent / ("." + target.filename().string() + ".staging-XXXXXX")).string();
    if (::mkdtemp(name.data()) == nullptr) {
        error = tl::Format("cannot create a folder beside %s: %s", target.c_str(), std::strerror(errno));
        return false;
    }
    path_ = name;
    if (::chmod(path_.c_str(), FolderMode()) != 0) {
        error = tl::Format("cannot set the permissions of %s: %s", path_.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

bool StagingFolder::Replace(std::string& error) {
    // Exchange with an existing target; a missing one is simply taken, unless another run made it
    // meanwhile, which the exchange then handles.
    int failure = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        failure = RenameFlagged(path_, target_, RENAME_NOREPLACE);
        if (failure == EEXIST)
            failure = RenameFlagged(path_, target_, RENAME_EXCHANGE);
        if (failure == EINVAL)
            failure = ReplaceInTwoSteps(path_, target_);
        if (failure != ENOENT)
            break;
    }
    if (failure == 0)
        return true;
    error = tl::Format("cannot put the new output in the place of %s: %s", target_.c_str(),
                       std::strerror(failure));
    return false;
}

bool StagingFolder::Commit(std::string& error) {
    if (const int failure = SyncFolders(path_); failure != 0) {
        error = tl::Format("cannot flush %s: %s", path_.c_str(), std::strerror(failure));
        return false;
    }
    if (!Replace(error))
        return false;
    committed_ = true;
    fs::path parent = target_.parent_path();
    SyncPath(parent.empty() ? fs::path(".") : parent);
    // After an exchange the staging name holds the old output; after a plain rename it is gone.
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    return true;
}
