#include "app/AppConstants.h"
#include "platform/Registry.h"
#include "tests/support/TestMachine.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Runs the real program on the test's prefix and returns its exit code and what it wrote to stderr.
class TlinstallStart : public tltest::MachineTest {
protected:
    int Run(std::string& errors) {
        const std::string errorFile = (prefix() / "stderr.txt").string();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> env = {"TALLYMAR_PREFIX=" + machine().Prefix().string(),
                                        "TALLYMAR_COMPUTERNAME=TESTPC", "TALLYMAR_USERNAME=tester",
                                        "QT_QPA_PLATFORM=offscreen", "HOME=" + prefix().string()};
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
        int status = 0;
        ::waitpid(child, &status, 0);
        errors = ReadFile(errorFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

} // namespace

TEST_F(TlinstallStart, TakesInstallationPathWithoutHomeDirectory) {
    std::string errors;
    EXPECT_EQ(Run(errors), 1);
    EXPECT_NE(errors.find("first-installation mode chosen"), std::string::npos) << errors;
}

TEST_F(TlinstallStart, TakesUpdatePathWithPerUserHomeDirectory) {
    win::RegKey key;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, key), 0);
    ASSERT_EQ(win::RegSetString(key, "HomeDirectory", "\\\\TESTPC\\BankruptcyCases"), 0);
    std::string errors;
    EXPECT_EQ(Run(errors), 1);
    EXPECT_NE(errors.find("update mode chosen"), std::string::npos) << errors;
}
