#include "tests/support/ChildProcess.h"

#include "platform/Machine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <string_view>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tltest {

namespace {

using Clock = std::chrono::steady_clock;

// The milliseconds left until a deadline given as a time-out; -1 (no limit) stays -1.
class Deadline {
public:
    explicit Deadline(int timeoutMs)
        : unlimited_(timeoutMs < 0), at_(Clock::now() + std::chrono::milliseconds(timeoutMs)) {}
    int Left() const {
        if (unlimited_)
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at_ - Clock::now()).count();
        return static_cast<int>(std::max<decltype(left)>(left, 0));
    }

private:
    bool unlimited_;
    Clock::time_point at_;
};

// This process's environment with the given entries set over it.
std::vector<std::string> Environment(const std::vector<std::string>& entries) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text(*variable);
        const bool replaced = std::any_of(entries.begin(), entries.end(), [&](const std::string& entry) {
            return text.starts_with(std::string_view(entry).substr(0, entry.find('=') + 1));
        });
        if (!replaced)
            environment.emplace_back(text);
    }
    environment.insert(environment.end(), entries.begin(), entries.end());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A file in memory holding the bytes, read from its start: standard input that never waits for
// the test to write it.
tl::UniqueFd InputFile(const std::string& bytes) {
    tl::UniqueFd file(::memfd_create("input", MFD_CLOEXEC));
    if (!file || ::write(file.get(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::lseek(file.get(), 0, SEEK_SET) != 0)
        return {};
    return file;
}

// One read from a pipe that poll found ready; the pipe is closed at its end.
void ReadSome(tl::UniqueFd& pipe, short events, std::string& into) {
    if (events == 0)
        return;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(pipe.get(), buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    if (got <= 0)
        pipe.reset();
    else
        into.append(buffer, static_cast<std::size_t>(got));
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                           const std::string& input) {
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    const bool piped = ::pipe2(out, O_CLOEXEC) == 0 && ::pipe2(err, O_CLOEXEC) == 0;
    output_.reset(out[0]);
    error_.reset(err[0]);
    const tl::UniqueFd outWrite(out[1]);
    const tl::UniqueFd errWrite(err[1]);
    const tl::UniqueFd in = InputFile(input);
    if (!piped || !in) {
        ADD_FAILURE() << "cannot make the pipes for " << argv.at(0) << ": " << std::strerror(errno);
        output_.reset();
        error_.reset();
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
    std::vector<std::string> args = argv;
    std::vector<std::string> variables = Environment(environment);
    const int spawned = ::posix_spawn(&pid_, args.at(0).c_str(), &actions, nullptr, Pointers(args).data(),
                                      Pointers(variables).data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
        output_.reset();
        error_.reset();
        return;
    }
    // Debian's glibc declares pidfd_open without C linkage: the system call itself.
    exited_.reset(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
    if (!exited_)
        ADD_FAILURE() << "pidfd_open: " << std::strerror(errno);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        Reap();
    }
}

// Waits at most timeoutMs for the child to write or end, and takes what it wrote; false when the
// time is up or there is nothing left to wait for.
bool ChildProcess::Pump(int timeoutMs) {
    pollfd fds[3] = {
        {output_.get(), POLLIN, 0}, {error_.get(), POLLIN, 0}, {ended_ ? -1 : exited_.get(), POLLIN, 0}};
    if (fds[0].fd < 0 && fds[1].fd < 0 && fds[2].fd < 0)
        return false;
    int ready = 0;
    while ((ready = ::poll(fds, 3, timeoutMs)) < 0 && errno == EINTR) {
    }
    if (ready <= 0)
        return false;
    ended_ = ended_ || fds[2].revents != 0;
    ReadSome(output_, fds[0].revents, out_);
    ReadSome(error_, fds[1].revents, err_);
    return true;
}

std::optional<std::string> ChildProcess::ReadLine(int timeoutMs) {
    const Deadline deadline(timeoutMs);
    for (;;) {
        if (const std::size_t end = out_.find('\n'); end != std::string::npos) {
            std::string line = out_.substr(0, end);
            out_.erase(0, end + 1);
            return line;
        }
        // After the child's end only what it wrote before is read (a program it started may
        // still hold the pipe).
        const bool ended = ended_ || pid_ <= 0;
        if (!output_ || !Pump(ended ? 0 : deadline.Left())) {
            if ((output_ && !ended) || out_.empty())
                return std::nullopt;
            return RestOfOutput();
        }
    }
}

int ChildProcess::WaitForExit(int timeoutMs) {
    if (pid_ <= 0)
        return status_;
    const Deadline deadline(timeoutMs);
    while (!ended_) {
        if (!Pump(deadline.Left()))
            return -1;
    }
    while (Pump(0)) {
    }
    return Reap();
}

int ChildProcess::Stop(int signal) {
    if (pid_ > 0)
        ::kill(pid_, signal);
    return WaitForExit();
}

int ChildProcess::Reap() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    ended_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& input) {
    ChildProcess child(argv, environment, input);
    ProgramResult result;
    result.status = child.WaitForExit(-1);
    result.out = child.RestOfOutput();
    result.err = child.Error();
    return result;
}

std::vector<std::string> MachineEnvironment() {
    const tl::Machine& machine = tl::Machine::Current();
    return {"TALLYMAR_PREFIX=" + machine.Prefix().string(), "TALLYMAR_COMPUTERNAME=" + machine.ComputerName(),
            "TALLYMAR_USERNAME=" + machine.UserName()};
}

} // namespace tltest
