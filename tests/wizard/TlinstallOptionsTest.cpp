#include "tests/support/TestMachine.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

// The program's exit code and what it wrote to standard output and error.
std::pair<int, std::string> RunTlinstall(const std::string& arguments) {
    FILE* pipe = ::popen((std::string(TLINSTALL_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    std::string text;
    char buffer[512];
    for (std::size_t got; pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, got);
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

} // namespace

TEST(TlinstallOptions, HelpAndVersionPrintAndLeaveTheMachineAlone) {
    const tltest::TempFolder folder;
    ::setenv("TALLYMAR_PREFIX", (folder.Path() / "prefix").c_str(), 1);
    const auto [helpCode, help] = RunTlinstall("--help");
    EXPECT_EQ(helpCode, 0);
    EXPECT_TRUE(help.starts_with("Usage: tlinstall\n")) << help;
    EXPECT_EQ(RunTlinstall("--version"), std::make_pair(0, std::string("tlinstall " TL_VERSION "\n")));
    EXPECT_EQ(RunTlinstall("--help --frobnicate"),
              std::make_pair(
                  2, std::string("tlinstall: unknown argument '--frobnicate'\nTry tlinstall --help.\n")));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "prefix")) << "no machine was made";
    ::unsetenv("TALLYMAR_PREFIX");
}
