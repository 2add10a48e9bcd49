#include "platform/NamedEvent.h"

#include "platform/LastError.h"
#include "platform/Machine.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <time.h>

namespace tl {

namespace fs = std::filesystem;

namespace {

std::int64_t MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// True when a byte is waiting within timeoutMs; false on time-out or failure (errno 0 on time-out).
bool WaitReadable(int fd, int timeoutMs) {
    pollfd wait{fd, POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&wait, 1, timeoutMs);
        if (ready > 0)
            return true;
        if (ready == 0) {
            errno = 0;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

// True when some handle holds the FIFO open: only then can a writer open it without waiting.
bool IsHeld(const fs::path& path) {
    const UniqueFd probe(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    return static_cast<bool>(probe);
}

} // namespace

std::optional<fs::path> EventHostPath(std::string_view name, DWORD* error) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos) {
        if (error != nullptr)
            *error = win::ERROR_INVALID_NAME;
        return std::nullopt;
    }
    return Machine::Current().Prefix() / "events" / std::string(name);
}

bool NamedEvent::Create(std::string_view name, EventReset reset) {
    Close();
    existed_ = false;
    DWORD error = win::ERROR_SUCCESS;
    const auto path = EventHostPath(name, &error);
    if (!path) {
        win::SetLastError(error);
        return false;
    }
    std::error_code ec;
    fs::create_directories(path->parent_path(), ec);
    if (ec) {
        win::SetLastError(win::ErrorFromErrno(ec.value()));
        return false;
    }
    const bool made = ::mkfifo(path->c_str(), 0600) == 0;
    if (!made && errno != EEXIST) {
        win::SetLastError(win::ErrorFromErrno(errno));
        return false;
    }
    const bool existed = !made && IsHeld(*path);
    // Read-write: opening never waits for a partner, and the byte stays while any holder is open.
    UniqueFd fifo(::open(path->c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!fifo) {
        win::SetLastError(win::ErrorFromErrno(errno));
        return false;
    }
    struct stat info {};
    if (::fstat(fifo.get(), &info) != 0 || !S_ISFIFO(info.st_mode)) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return false;
    }
    fifo_ = std::move(fifo);
    reset_ = reset;
    existed_ = existed;
    win::SetLastError(existed ? win::ERROR_ALREADY_EXISTS : win::ERROR_SUCCESS);
    return true;
}

bool NamedEvent::Set() {
    if (!fifo_) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return false;
    }
    if (WaitReadable(fifo_.get(), 0))
        return true; // already signalled
    const char signal = 1;
    ssize_t n = 0;
    do {
        n = ::write(fifo_.get(), &signal, 1);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && errno != EAGAIN) {
        win::SetLastError(win::ErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool NamedEvent::Reset() {
    if (!fifo_) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return false;
    }
    char signal = 0;
    while (::read(fifo_.get(), &signal, 1) < 0 && errno == EINTR) {
    }
    return true;
}

DWORD NamedEvent::Wait(int timeoutMs) {
    if (!fifo_) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return win::WAIT_FAILED;
    }
    const std::int64_t deadline = MonotonicMs() + timeoutMs;
    for (;;) {
        const std::int64_t left = deadline - MonotonicMs();
        if (!WaitReadable(fifo_.get(), static_cast<int>(left > 0 ? left : 0))) {
            if (errno == 0)
                return win::WAIT_TIMEOUT;
            win::SetLastError(win::ErrorFromErrno(errno));
            return win::WAIT_FAILED;
        }
        if (reset_ == EventReset::Manual)
            return win::WAIT_OBJECT_0;
        char signal = 0;
        const ssize_t n = ::read(fifo_.get(), &signal, 1);
        if (n == 1)
            return win::WAIT_OBJECT_0;
        // Another waiter took the byte first (EAGAIN), or a signal interrupted: wait on.
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            win::SetLastError(win::ErrorFromErrno(errno));
            return win::WAIT_FAILED;
        }
    }
}

} // namespace tl
