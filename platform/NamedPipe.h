#pragma once

#include "platform/UniqueFd.h"
#include "platform/WinTypes.h"

#include <filesystem>
#include <optional>
#include <string_view>

// Named pipes of this computer ("\\.\pipe\<name>") on Unix-domain stream sockets: the pipe
// "\\.\pipe\<name>" is the socket <prefix>/pipes/<name in lower case> of the current machine,
// since Windows matches pipe names without regard to case. A pipe exists while its server is
// alive: the server owns the name through an flock on "<socket>.lock", which the kernel releases
// when the server dies, and removes both files when it closes. A socket left behind by a server
// that died refuses every connection and is taken over by the next server of that name.
namespace win {

inline constexpr DWORD ERROR_PIPE_BUSY = 231;
inline constexpr DWORD ERROR_PIPE_LISTENING = 536;

} // namespace win

namespace tl {

/// The host path of the socket of a pipe name. nullopt with ERROR_INVALID_NAME in *error when the
/// name does not begin with "\\.\pipe\" (any case) or its rest is empty, "." or "..", or holds
/// "/" or a zero byte.
std::optional<std::filesystem::path> PipeHostPath(std::string_view pipeName, DWORD* error = nullptr);

/// The server end of a named pipe with one instance: duplex, a byte stream.
class NamedPipeServer {
public:
    NamedPipeServer() = default;
    NamedPipeServer(const NamedPipeServer&) = delete;
    NamedPipeServer& operator=(const NamedPipeServer&) = delete;
    /// Closes the pipe and removes its name.
    ~NamedPipeServer() { Close(); }

    /// Creates the pipe (CreateNamedPipe). False with the last error set: ERROR_INVALID_NAME for
    /// a name PipeHostPath refuses, ERROR_PIPE_BUSY when a live server has the name, or the
    /// file system's error for the pipes folder.
    bool Create(std::string_view pipeName);

    /// Takes the client that has opened the pipe, waiting at most timeoutMs for it. The pipe's
    /// name is removed then, so its one instance can have no second client. An empty descriptor
    /// with the last error ERROR_PIPE_LISTENING when no client came, or the system's error.
    UniqueFd AcceptClient(int timeoutMs);

    /// Closes the pipe and removes its name; does nothing when it is not open.
    void Close();
    bool IsOpen() const { return static_cast<bool>(listener_); }

private:
    UniqueFd listener_;
    UniqueFd lock_;
    std::filesystem::path path_;
    std::filesystem::path lockPath_;
};

/// Opens the client end of a pipe of this computer (CreateFile on "\\.\pipe\<name>"). An empty
/// descriptor with the last error set: ERROR_INVALID_NAME as PipeHostPath, ERROR_FILE_NOT_FOUND
/// when no server has the pipe, ERROR_PIPE_BUSY when its instance is taken.
UniqueFd OpenNamedPipe(std::string_view pipeName);

} // namespace tl
