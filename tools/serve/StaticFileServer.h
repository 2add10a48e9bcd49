#pragma once

#include "platform/UniqueFd.h"

#include <cstdio>
#include <filesystem>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

/// The path below the served folder that a request's (decoded) path names, or nullopt when the
/// request could reach outside it: a path not beginning with "/", or one holding an empty, "." or
/// ".." component, a backslash or a NUL byte. "/" gives the empty path (the folder itself).
std::optional<std::string> RelativeRequestPath(std::string_view path);

/// Serves the files of one folder as static files over HTTP: GET and HEAD, single byte ranges,
/// never anything outside the folder (symbolic links included). Each request is logged as one
/// line "<method> <path> <status> <bytes>" on the log stream.
class StaticFileServer {
public:
    /// Throws std::runtime_error when the folder cannot be opened.
    StaticFileServer(const std::filesystem::path& root, std::FILE* log);
    StaticFileServer(const StaticFileServer&) = delete;
    StaticFileServer& operator=(const StaticFileServer&) = delete;

    /// Binds the address and port (0: a free port). Returns the port, or -1 when it cannot bind.
    int Bind(const std::string& address, int port);
    /// Serves until Stop is called; false when the server could not run.
    bool Listen();
    /// Ends Listen from any thread, also one that calls it before Listen has started its loop.
    void Stop();

private:
    void Serve(const httplib::Request& request, httplib::Response& response);
    tl::UniqueFd OpenBelowRoot(const std::string& relative, int& error) const;
    void Log(const httplib::Request& request, const httplib::Response& response);

    tl::UniqueFd root_;
    std::filesystem::path rootPath_;
    std::FILE* log_;
    std::mutex logMutex_;
    httplib::Server server_;
    std::atomic<bool> listening_{false};
    std::atomic<bool> stopRequested_{false};
};
