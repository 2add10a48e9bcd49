#include "benchmarks/BenchProcess.h"

#include "benchmarks/BenchRow.h"

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

pid_t Spawn(const std::vector<std::string>& argv, const std::string& output) {
    std::vector<std::string> arguments = argv;
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = ::posix_spawnp(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        Fail("cannot start " + argv[0]);
    return pid;
}

} // namespace

Finished Run(const std::vector<std::string>& argv) {
    char report[] = "/tmp/tl-bench-time.XXXXXX";
    const int fd = ::mkstemp(report);
    if (fd < 0)
        Fail("cannot make a file for GNU time");
    ::close(fd);
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), argv.begin(), argv.end());
    const auto start = Clock::now();
    const pid_t pid = Spawn(timed, "/dev/null");
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        Fail("lost " + argv[0]);
    Finished finished;
    finished.seconds = Seconds(Clock::now() - start);
    finished.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // GNU time writes "Command exited with non-zero status N" before the figure on a failure.
    std::ifstream in(report);
    for (std::string line; std::getline(in, line);)
        finished.peakKb = std::atol(line.c_str());
    ::unlink(report);
    return finished;
}

FileServer::FileServer(const std::filesystem::path& tlserve, const std::filesystem::path& folder,
                       const std::filesystem::path& log) {
    pid_ = Spawn({tlserve.string(), folder.string(), "--port", "0", "--bind", "127.0.0.1"}, log.string());
    // Its first line names the port; a loaded machine may take a while to start it.
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (baseUrl_.empty() && Clock::now() < deadline) {
        std::ifstream in(log);
        std::string line;
        if (std::getline(in, line) && line.starts_with("Serving ") && line.find(" at http") != std::string::npos)
            baseUrl_ = line.substr(line.rfind(" at ") + 4);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (baseUrl_.empty())
        Fail("tlserve did not start");
}

FileServer::~FileServer() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

} // namespace bench
