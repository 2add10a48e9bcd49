#include "tests/tools/ChildProgram.h"

#include "platform/Machine.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tltest {

namespace {

std::vector<std::string> ChildEnvironment() {
    const tl::Machine& machine = tl::Machine::Current();
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        if (!variable.starts_with("TALLYMAR_PREFIX=") && !variable.starts_with("TALLYMAR_COMPUTERNAME=") &&
            !variable.starts_with("TALLYMAR_USERNAME="))
            environment.push_back(variable);
    }
    environment.push_back("TALLYMAR_PREFIX=" + machine.Prefix().string());
    environment.push_back("TALLYMAR_COMPUTERNAME=" + machine.ComputerName());
    environment.push_back("TALLYMAR_USERNAME=" + machine.UserName());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ChildProgram::ChildProgram(const std::string& program, const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return;
    }
    output_.reset(pipeEnds[0]);
    const tl::UniqueFd writeEnd(pipeEnds[1]);
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = ChildEnvironment();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    const int error = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, Pointers(argv).data(),
                                    Pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        pid_ = -1;
        ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(error);
    }
}

ChildProgram::~ChildProgram() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        Reap();
    }
}

std::optional<std::string> ChildProgram::ReadLine(int timeoutMs) {
    for (;;) {
        if (const std::size_t end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        pollfd ready{output_.get(), POLLIN, 0};
        if (!output_ || ::poll(&ready, 1, timeoutMs) <= 0)
            return std::nullopt;
        char bytes[256];
        const ssize_t n = ::read(output_.get(), bytes, sizeof bytes);
        if (n <= 0)
            return std::nullopt;
        buffered_.append(bytes, static_cast<std::size_t>(n));
    }
}

int ChildProgram::WaitForExit(int timeoutMs) {
    // The program's output ends when it does: wait for that rather than for a time.
    while (ReadLine(timeoutMs)) {
    }
    pollfd ready{output_.get(), POLLIN, 0};
    if (output_ && (::poll(&ready, 1, 0) <= 0 || (ready.revents & POLLHUP) == 0))
        return -1;
    return Reap();
}

int ChildProgram::Stop(int signal) {
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, signal);
    return WaitForExit();
}

int ChildProgram::Reap() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace tltest
