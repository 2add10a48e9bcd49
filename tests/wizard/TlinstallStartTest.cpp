#include "app/AppConstants.h"
#include "platform/Registry.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestMachine.h"

#include <chrono>
#include <csignal>
#include <thread>

namespace {

// Runs the real program on the test's prefix and returns its exit code and what it wrote to stderr.
class TlinstallStart : public tltest::MachineTest {
protected:
    /// What the program sees besides this process's environment: the test's machine, the offscreen
    /// platform, a home folder in the prefix, and the extra entries.
    std::vector<std::string> Environment(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> env = {"TALLYMAR_PREFIX=" + machine().Prefix().string(),
                                        "TALLYMAR_COMPUTERNAME=TESTPC", "TALLYMAR_USERNAME=tester",
                                        "QT_QPA_PLATFORM=offscreen", "HOME=" + prefix().string()};
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }

    int Run(std::string& errors) {
        const tltest::ProgramResult run = tltest::RunProgram({TLINSTALL_PATH}, Environment());
        errors = run.err;
        return run.status;
    }
};

} // namespace

TEST_F(TlinstallStart, TakesInstallationPathWithoutHomeDirectory) {
    // No file server answers, so the first installation stops at the download's error box, which
    // waits for a user: the log shows how far it ran, and the test ends the program itself.
    tltest::ChildProcess child({TLINSTALL_PATH}, Environment({"TALLYMAR_FILE_SERVER=http://127.0.0.1:9/"}));
    const auto log = Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt");
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (text.find("Fetching manifest from") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        text = ReadFile(log);
    }
    child.Stop(SIGTERM);
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
