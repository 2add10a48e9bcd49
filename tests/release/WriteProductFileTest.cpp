#include "release/WriteProductFile.h"

#include "platform/AtomicFile.h"
#include "platform/UniqueFd.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using ::testing::ElementsAre;

namespace {

class WriteProductFileTest : public tltest::MachineTest {
protected:
    static constexpr const char* kFolder = "C:\\Program Files\\Tallymar";

    // Starts the writer program on this machine; its output comes through output.
    pid_t StartWriter(const std::string& windowsPath, const char* mode, tl::UniqueFd& output) {
        int pipeFds[2] = {-1, -1};
        EXPECT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
        output.reset(pipeFds[0]);
        const tl::UniqueFd writeEnd(pipeFds[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
        std::string arguments[] = {TL_PRODUCT_FILE_WRITER, machine().Prefix().string(), windowsPath, "300000",
                                   mode};
        char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                        arguments[3].data(), arguments[4].data(), nullptr};
        pid_t pid = -1;
        EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    static int Wait(pid_t pid) {
        int status = 0;
        EXPECT_EQ(::waitpid(pid, &status, 0), pid);
        return status;
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Host(kFolder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(WriteProductFileTest, AWriterKilledHalfWayLeavesTheOldFileAndTheNextRunNoTemporaryFile) {
    const std::string target = std::string(kFolder) + "\\Tallymar.exe";
    WriteFile(Host(target), "old program");

    tl::UniqueFd output;
    const pid_t writer = StartWriter(target, "stop", output);
    char said[8] = {};
    const ssize_t got = ::read(output.get(), said, sizeof said);
    ::kill(writer, SIGKILL);
    const int status = Wait(writer);
    ASSERT_EQ(got, 8) << "the writer ended before its bytes were out";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    const std::vector<std::string> left = Names();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(tl::AtomicFile::IsTemporaryName(left[0])) << left[0];
    EXPECT_EQ(std::filesystem::file_size(Host(kFolder) / left[0]), 300000u);
    EXPECT_EQ(ReadFile(Host(target)), "old program");

    const int next = Wait(StartWriter(std::string(kFolder) + "\\TLMFIMPRT.EXE", "", output));
    EXPECT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0);
    EXPECT_THAT(Names(), ElementsAre("TLMFIMPRT.EXE", "Tallymar.exe"));
    EXPECT_EQ(ReadFile(Host(target)), "old program");
}
