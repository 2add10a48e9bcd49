#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tltest {

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

/// A program running as a child process, its standard output and error read through pipes. A
/// child still running when the object goes is killed and reaped.
class ChildProcess {
public:
    /// Starts argv[0] with the arguments; throws std::runtime_error when it cannot start.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    /// The next line of standard output without its line feed; nullopt at its end.
    std::optional<std::string> ReadLine();
    void Signal(int signal) const;
    /// Waits for the child's end: its exit status, or 128 + the signal that ended it.
    int Wait();
    /// Standard error, read to its end (call after the child has closed it).
    std::string ReadError();

private:
    friend ProgramResult RunProgram(const std::vector<std::string>& argv);

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string pending_;
};

/// Runs a program to its end, collecting both outputs.
ProgramResult RunProgram(const std::vector<std::string>& argv);

} // namespace tltest
