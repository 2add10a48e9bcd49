#pragma once

#include "platform/UniqueFd.h"

#include <csignal>
#include <optional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace tltest {

/// How long a test waits for a child's next line or its end unless told.
inline constexpr int kChildWaitMs = 10000;

/// What a program run to its end wrote and how it ended.
struct ProgramResult {
    int status = -1; ///< the exit status, 128 + the signal that ended it, -1 when it did not start
    std::string out;
    std::string err;
};

/// A program as a real child process: its standard input given whole, its standard output and
/// error read through pipes (both at once, so that a child filling one never waits for the other).
/// A child still running when the object goes is killed and reaped, so no test leaves a process
/// behind.
class ChildProcess {
public:
    /// Starts argv[0] with the arguments, with this process's environment and the "NAME=value"
    /// entries of environment set over it; input is all its standard input. Fails the test when
    /// the program cannot be started (it then reads as ended at once, with status -1).
    explicit ChildProcess(const std::vector<std::string>& argv,
                          const std::vector<std::string>& environment = {}, const std::string& input = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    /// The next line of standard output without its line feed, waiting at most timeoutMs (no
    /// limit when negative). nullopt when the time is up or the output has ended; an unfinished
    /// last line comes when the output ends.
    std::optional<std::string> ReadLine(int timeoutMs = kChildWaitMs);
    /// Waits at most timeoutMs (no limit when negative) for the program to end by itself, reading
    /// what it writes: its exit status, 128 + the signal that ended it, -1 when the time is up.
    int WaitForExit(int timeoutMs = kChildWaitMs);
    /// Sends a signal and waits for the end, as WaitForExit.
    int Stop(int signal = SIGTERM);

    /// Standard output read but not yet taken as lines; the rest of it after WaitForExit.
    std::string RestOfOutput() { return std::exchange(out_, {}); }
    /// Standard error as read so far; all of it after WaitForExit.
    const std::string& Error() const { return err_; }

private:
    bool Pump(int timeoutMs);
    int Reap();

    pid_t pid_ = -1;
    int status_ = -1;
    bool ended_ = false;
    tl::UniqueFd output_;
    tl::UniqueFd error_;
    tl::UniqueFd exited_; ///< readable once the child has ended
    std::string out_;
    std::string err_;
};

/// Runs a program to its end (as ChildProcess starts it), collecting both outputs.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {}, const std::string& input = {});

/// The environment entries that make a child program see the current machine: its prefix,
/// computer name and user name.
std::vector<std::string> MachineEnvironment();

} // namespace tltest
