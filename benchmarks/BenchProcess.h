#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

// Programs that a benchmark starts: the peers' command-line tools and the file server.
namespace bench {

/// What a finished program used.
struct Finished {
    int status = -1;      ///< its exit status, -1 when a signal ended it
    double seconds = 0;   ///< wall time from the start to the end
    long peakKb = 0;      ///< its peak resident memory
};

/// Runs a program to its end (standard output and error to /dev/null) and returns what it used.
/// The peak memory is the one GNU time reports: a child made by posix_spawn would start with the
/// peak of this process, which Linux carries over an exec.
Finished Run(const std::vector<std::string>& argv);

/// tlserve serving a folder on a free loopback port, from construction to destruction (SIGTERM).
class FileServer {
public:
    FileServer(const std::filesystem::path& tlserve, const std::filesystem::path& folder,
               const std::filesystem::path& log);
    FileServer(const FileServer&) = delete;
    FileServer& operator=(const FileServer&) = delete;
    ~FileServer();
    /// "http://127.0.0.1:<port>/".
    const std::string& BaseUrl() const { return baseUrl_; }

private:
    pid_t pid_ = -1;
    std::string baseUrl_;
};

} // namespace bench
