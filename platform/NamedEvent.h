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

/// A named auto-reset event shared by the processes of this machine (CreateEvent with automatic
/// reset, initially not signalled). It is a FIFO under the machine prefix that every holder keeps
/// open for reading and writing; the signal is one byte in it. The kernel drops the byte when the
/// last holder closes, so a signal never outlives the processes that hold the event: a process
/// that dies leaves at most the FIFO's name, which counts as a fresh, unsignalled event.
class NamedEvent {
public:
    NamedEvent() = default;
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    /// Creates the event, or opens it when another holder made it first. False with the last error
    /// set: ERROR_INVALID_NAME, ERROR_INVALID_HANDLE when the name belongs to something that is no
    /// event, or the file system's error.
    bool Create(std::string_view name);
    bool IsOpen() const { return static_cast<bool>(fifo_); }
    void Close() { fifo_.reset(); }

    /// Signals the event; an event that is already signalled stays signalled once. False with the
    /// last error set when it is not open.
    bool Set();

    /// Waits at most timeoutMs for the signal and takes it (the event resets): WAIT_OBJECT_0, or
    /// WAIT_TIMEOUT, or WAIT_FAILED with the last error set.
    DWORD Wait(int timeoutMs);

private:
    UniqueFd fifo_;
};

} // namespace tl
