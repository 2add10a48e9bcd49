#pragma once

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace tltest {

struct ShellOutput {
    int status = -1;  ///< the exit status; -1 when the command did not end by itself
    std::string text; ///< standard output and error together
};

/// Runs a command line through the shell to its end (2>&1 is added), collecting what it writes.
inline ShellOutput RunShell(const std::string& command) {
    ShellOutput output;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        output.text.append(chunk, got);
    const int status = ::pclose(pipe);
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

} // namespace tltest
