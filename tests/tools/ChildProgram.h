#pragma once

#include "platform/UniqueFd.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tltest {

/// One of our programs run as a real child process on the current machine (its prefix, computer
/// and user name in the environment), its standard output read through a pipe. A child still
/// running when the object goes is killed and reaped, so no test leaves a process behind.
class ChildProgram {
public:
    /// Starts the program with the arguments; fails the test when it cannot be started.
    ChildProgram(const std::string& program, const std::vector<std::string>& arguments = {});
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    ~ChildProgram();

    pid_t Pid() const { return pid_; }

    /// The next line the program writes (without its line end), waiting at most timeoutMs;
    /// nullopt when its output ends or the time is up.
    std::optional<std::string> ReadLine(int timeoutMs = 5000);
    /// Waits at most timeoutMs for the program to end by itself: its exit code, -1 on time-out,
    /// 128 + the signal when a signal ended it.
    int WaitForExit(int timeoutMs = 5000);
    /// Sends a signal (SIGTERM unless told) and waits for the end; the exit code as WaitForExit.
    int Stop(int signal = 15);

private:
    int Reap();

    pid_t pid_ = -1;
    tl::UniqueFd output_;
    std::string buffered_;
};

} // namespace tltest
