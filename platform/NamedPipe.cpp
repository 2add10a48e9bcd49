#include "platform/NamedPipe.h"

#include "platform/LastError.h"
#include "platform/Machine.h"
#include "platform/TextUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace tl {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPipePrefix = "\\\\.\\pipe\\";

// A socket address for a path. sun_path holds about 107 bytes; a longer path (a deep machine
// prefix) is reached through its folder opened as a descriptor, "/proc/self/fd/<n>/<name>",
// which keeps the address short and names the same file.
class SocketAddress {
public:
    bool Set(const fs::path& path) {
        std::string text = path.string();
        if (text.size() >= sizeof address_.sun_path) {
            folder_.reset(::open(path.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!folder_)
                return false;
            text = "/proc/self/fd/" + std::to_string(folder_.get()) + "/" + path.filename().string();
            if (text.size() >= sizeof address_.sun_path) {
                errno = ENAMETOOLONG;
                return false;
            }
        }
        address_.sun_family = AF_UNIX;
        std::memcpy(address_.sun_path, text.c_str(), text.size() + 1);
        return true;
    }
    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t Size() const { return sizeof address_; }

private:
    sockaddr_un address_{};
    UniqueFd folder_;
};

UniqueFd NewSocket() {
    return UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
}

bool SetBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    return ::fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}

bool Fail(DWORD error) {
    win::SetLastError(error);
    return false;
}

// The lock that makes a server the owner of a pipe name for as long as it lives: an exclusive
// flock on "<socket>.lock", which the kernel drops when the server dies. The file is removed when
// the server closes, so after locking, the lock must still be the file under that name.
UniqueFd LockName(const fs::path& lockPath) {
    for (;;) {
        UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        if (!lock) {
            Fail(win::ErrorFromErrno(errno));
            return {};
        }
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            Fail(errno == EWOULDBLOCK ? win::ERROR_PIPE_BUSY : win::ErrorFromErrno(errno));
            return {};
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(lock.get(), &held) == 0 && ::stat(lockPath.c_str(), &named) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev)
            return lock;
        // Its server closed and removed the file between our open and our lock: try again.
    }
}

// Connects to the socket without waiting; errno tells why not.
UniqueFd ConnectTo(const SocketAddress& address) {
    UniqueFd client = NewSocket();
    if (!client || !SetBlocking(client.get(), false))
        return {};
    if (::connect(client.get(), address.Get(), address.Size()) != 0)
        return {};
    if (!SetBlocking(client.get(), true))
        return {};
    return client;
}

} // namespace

std::optional<fs::path> PipeHostPath(std::string_view pipeName, DWORD* error) {
    const auto refuse = [error]() -> std::optional<fs::path> {
        if (error != nullptr)
            *error = win::ERROR_INVALID_NAME;
        return std::nullopt;
    };
    if (!StartsWithNoCase(pipeName, kPipePrefix))
        return refuse();
    const std::string_view name = pipeName.substr(kPipePrefix.size());
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos)
        return refuse();
    return Machine::Current().Prefix() / "pipes" / ToLower(name);
}

bool NamedPipeServer::Create(std::string_view pipeName) {
    Close();
    DWORD error = win::ERROR_SUCCESS;
    const auto path = PipeHostPath(pipeName, &error);
    if (!path)
        return Fail(error);
    std::error_code ec;
    fs::create_directories(path->parent_path(), ec);
    if (ec)
        return Fail(win::ErrorFromErrno(ec.value()));
    fs::path lockPath = *path;
    lockPath += ".lock";
    UniqueFd lock = LockName(lockPath);
    if (!lock)
        return false;
    // The name is ours: a socket left under it by a server that died is taken over.
    ::unlink(path->c_str());
    SocketAddress address;
    UniqueFd listener = NewSocket();
    if (!listener || !address.Set(*path) || ::bind(listener.get(), address.Get(), address.Size()) != 0 ||
        ::listen(listener.get(), 1) != 0) {
        const int bindError = errno;
        ::unlink(path->c_str());
        ::unlink(lockPath.c_str());
        return Fail(win::ErrorFromErrno(bindError));
    }
    listener_ = std::move(listener);
    lock_ = std::move(lock);
    path_ = *path;
    lockPath_ = std::move(lockPath);
    return true;
}

UniqueFd NamedPipeServer::AcceptClient(int timeoutMs) {
    if (!listener_) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return {};
    }
    pollfd wait{listener_.get(), POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&wait, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        win::SetLastError(ready == 0 ? win::ERROR_PIPE_LISTENING : win::ErrorFromErrno(errno));
        return {};
    }
    UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client) {
        win::SetLastError(errno == EAGAIN ? win::ERROR_PIPE_LISTENING : win::ErrorFromErrno(errno));
        return {};
    }
    Close();
    return client;
}

void NamedPipeServer::Close() {
    if (!listener_)
        return;
    ::unlink(path_.c_str());
    ::unlink(lockPath_.c_str());
    listener_.reset();
    lock_.reset();
    path_.clear();
    lockPath_.clear();
}

UniqueFd OpenNamedPipe(std::string_view pipeName) {
    DWORD error = win::ERROR_SUCCESS;
    const auto path = PipeHostPath(pipeName, &error);
    if (!path) {
        win::SetLastError(error);
        return {};
    }
    SocketAddress address;
    if (!address.Set(*path)) {
        win::SetLastError(errno == ENOENT ? win::ERROR_FILE_NOT_FOUND : win::ErrorFromErrno(errno));
        return {};
    }
    UniqueFd client = ConnectTo(address);
    if (client)
        return client;
    switch (errno) {
    case ENOENT:
    case ECONNREFUSED:
        win::SetLastError(win::ERROR_FILE_NOT_FOUND);
        break;
    case EAGAIN:
        win::SetLastError(win::ERROR_PIPE_BUSY);
        break;
    default:
        win::SetLastError(win::ErrorFromErrno(errno));
    }
    return {};
}

} // namespace tl
