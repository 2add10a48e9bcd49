#include "platform/ShellExecute.h"

#include "platform/FileVersion.h"
#include "platform/LastError.h"
#include "platform/Machine.h"
#include "platform/UniqueFd.h"
#include "platform/WindowsPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace win {

namespace {

// The environment of the started program: this process's, with the machine's identity.
std::vector<std::string> ChildEnvironment() {
    const tl::Machine& machine = tl::Machine::Current();
    const std::string overrides[] = {
        "TALLYMAR_PREFIX=" + machine.Prefix().string(),
        "TALLYMAR_COMPUTERNAME=" + machine.ComputerName(),
        "TALLYMAR_USERNAME=" + machine.UserName(),
    };
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        bool replaced = false;
        for (const std::string& override : overrides)
            replaced = replaced || variable.starts_with(override.substr(0, override.find('=') + 1));
        if (!replaced)
            environment.emplace_back(variable);
    }
    environment.insert(environment.end(), std::begin(overrides), std::end(overrides));
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

DWORD ErrorFromExec(int error) {
    switch (error) {
    case ENOEXEC:
        return ERROR_BAD_EXE_FORMAT;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    default:
        return ErrorFromErrno(error);
    }
}

// In the forked children only calls that are safe after fork in a threaded process.
[[noreturn]] void RunDetached(const char* path, char* const* argv, char* const* envp, int reportFd) {
    const pid_t grandchild = ::fork();
    if (grandchild != 0) {
        if (grandchild < 0) {
            const int error = errno;
            [[maybe_unused]] const ssize_t n = ::write(reportFd, &error, sizeof error);
        }
        ::_exit(0);
    }
    // Descriptors this process holds without close-on-exec must not reach the program.
    ::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
    ::execve(path, argv, envp);
    const int error = errno;
    [[maybe_unused]] const ssize_t n = ::write(reportFd, &error, sizeof error);
    ::_exit(127);
}

} // namespace

std::vector<std::string> CommandLineToArgv(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    for (;;) {
        while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t'))
            ++i;
        if (i == n)
            return arguments;
        std::string argument;
        bool quoted = false;
        while (i < n && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) {
            if (commandLine[i] == '\\') {
                std::size_t backslashes = 0;
                while (i < n && commandLine[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < n && commandLine[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
                continue;
            }
            if (commandLine[i] == '"') {
                if (quoted && i + 1 < n && commandLine[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += commandLine[i++];
        }
        arguments.push_back(std::move(argument));
    }
}

bool ShellExecute(std::string_view file, std::string_view parameters, int /*show*/) {
    DWORD error = ERROR_SUCCESS;
    const auto host = tl::MapToHostPath(file, &error);
    if (!host) {
        SetLastError(error);
        return false;
    }
    std::string path = host->string();
    std::vector<std::string> arguments = CommandLineToArgv(parameters);
    arguments.insert(arguments.begin(), path);
    std::vector<std::string> environment = ChildEnvironment();
    const std::vector<char*> argv = Pointers(arguments);
    const std::vector<char*> envp = Pointers(environment);

    // The intermediate child starts the program and ends at once, so the program belongs to no
    // one here and never lingers as a zombie; a failed exec is reported back through the pipe.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    tl::UniqueFd reader(report[0]);
    tl::UniqueFd writer(report[1]);
    const pid_t child = ::fork();
    if (child < 0) {
        SetLastError(ErrorFromErrno(errno));
        return false;
    }
    if (child == 0)
        RunDetached(path.c_str(), argv.data(), envp.data(), writer.get());
    writer.reset();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t n = 0;
    do {
        n = ::read(reader.get(), &execError, sizeof execError);
    } while (n < 0 && errno == EINTR);
    if (n == sizeof execError) {
        SetLastError(ErrorFromExec(execError));
        return false;
    }
    return true;
}

} // namespace win
