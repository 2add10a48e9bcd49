#pragma once

#include "platform/UniqueFd.h"
#include "platform/WinTypes.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace win {

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

} // namespace win

namespace tl {

/// The host path of a named event of the current machine: <prefix>/events/<name>. nullopt with
/// ERROR_INVALID_NAME in *error for an empty name, ".", "..", or one holding "/" or a zero byte.
std::optional<std::filesystem::path> EventHostPath(std::string_view name, DWORD* error = nullptr);

/// How a wait treats the signal: an automatic-reset event gives it to one waiter and resets; a
/// manual-reset event stays signalled for every waiter until Reset.
enum class EventReset { Automatic, Manual };

/// A named event shared by the processes of this machine (CreateEvent, initially not signalled).
/// It is a FIFO under the machine prefix that every holder keeps open for reading and writing; the
/// signal is one byte in it. The kernel drops the byte when the last holder closes, so a signal
/// never outlives the processes that hold the event: a process that dies leaves at most the
/// FIFO's name, which counts as a fresh, unsignalled event that nobody holds. The kind of reset
/// belongs to the holder; every process names the event with the same kind.
class NamedEvent {
public:
    NamedEvent() = default;
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    /// Creates the event, or opens it when another holder made it first; then, as on Windows, the
    /// last error is ERROR_ALREADY_EXISTS (AlreadyExisted) instead of ERROR_SUCCESS. False with the
    /// last error set: ERROR_INVALID_NAME, ERROR_INVALID_HANDLE when the name belongs to something
    /// that is no event, or the file system's error.
    bool Create(std::string_view name, EventReset reset = EventReset::Automatic);
    bool IsOpen() const { return static_cast<bool>(fifo_); }
    void Close() { fifo_.reset(); }
    /// Whether the last successful Create found the event held by another handle, in this process
    /// or another: the holder is running.
    bool AlreadyExisted() const { return existed_; }

    /// Signals the event; an event that is already signalled stays signalled once. False with the
    /// last error set when it is not open.
    bool Set();

    /// Takes the signal if there is one; false with the last error set when it is not open.
    bool Reset();

    /// Waits at most timeoutMs for the signal (an automatic-reset event takes it and resets):
    /// WAIT_OBJECT_0, or WAIT_TIMEOUT, or WAIT_FAILED with the last error set.
    DWORD Wait(int timeoutMs);

private:
    UniqueFd fifo_;
    EventReset reset_ = EventReset::Automatic;
    bool existed_ = false;
};

} // namespace tl
