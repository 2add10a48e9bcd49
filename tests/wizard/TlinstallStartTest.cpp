#include "app/AppConstants.h"
#include "platform/Registry.h"
#include "tests/support/TestMachine.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// Runs the real program on the test's prefix and returns its exit code and what it wrote to stderr.
class TlinstallStart : public tltest::MachineTest {
protected:
    /// Starts the program; extra environment entries are added to the test's own.
    pid_t Start(const std::vector<std::string>& extra = {}) {
        const std::string errorFile = (prefix() / "stderr.txt").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> env = {"TALLYMAR_PREFIX=" + machine().Prefix().string(),
                                        "TALLYMAR_COMPUTERNAME=TESTPC", "TALLYMAR_USERNAME=tester",
                                        "QT_QPA_PLATFORM=offscreen", "HOME=" + prefix().string()};
        env.insert(env.end(), extra.begin(), extra.end());
        std::vector<char*> envp;
        for (std::string& entry : env)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        char program[] = TLINSTALL_PATH;
        char* argv[] = {program, nullptr};
        pid_t child = 0;
        const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        return child;
    }

    int Run(std::string& errors) {
        const pid_t child = Start();
        const std::string errorFile = (prefix() / "stderr.txt").string();
        int status = 0;
        ::waitpid(child, &status, 0);
        errors = ReadFile(errorFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

} // namespace

TEST_F(TlinstallStart, TakesInstallationPathWithoutHomeDirectory) {
    // No file server answers, so the first installation stops at the download's error box, which
    // waits for a user: the log shows how far it ran, and the test ends the program itself.
    const pid_t child = Start({"TALLYMAR_FILE_SERVER=http://127.0.0.1:9/"});
    const auto log = Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt");
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (text.find("Fetching manifest from") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        text = ReadFile(log);
    }
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_NE(text.find("**** Beginning full new-scheme install\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Executable path is Z:\\"), std::string::npos) << text;
    EXPECT_NE(text.find("Fetching manifest from http://127.0.0.1:9/\r\n"), std::string::npos) << text;
}

TEST_F(TlinstallStart, TakesUpdatePathWithPerUserHomeDirectory) {
    win::RegKey key;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, key), 0);
    ASSERT_EQ(win::RegSetString(key, "HomeDirectory", "\\\\TESTPC\\BankruptcyCases"), 0);
    // The home directory is no share of this computer, so the update ends where it opens the
    // main database, without a box: the program ends by itself.
    std::string errors;
    EXPECT_EQ(Run(errors), 1) << errors;
    const std::string log = ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt"));
    EXPECT_NE(log.find(" - **** Beginning update\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" - Failed trying to open Tallymar database\r\n"), std::string::npos) << log;
}
