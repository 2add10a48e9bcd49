#include "tests/support/TestMachine.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct Output {
    int exitCode = -1;
    std::string text; ///< standard output and error
};

Output RunTlinstall(const std::string& arguments) {
    Output output;
    FILE* pipe = ::popen((std::string(TLINSTALL_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return output;
    char buffer[512];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.text.append(buffer, got);
    const int status = ::pclose(pipe);
    output.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

} // namespace

TEST(TlinstallOptions, HelpAndVersionPrintAndLeaveTheMachineAlone) {
    const tltest::TempFolder folder;
    const std::filesystem::path prefix = folder.Path() / "prefix";
    ::setenv("TALLYMAR_PREFIX", prefix.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    const Output help = RunTlinstall("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.text.starts_with("Usage: tlinstall [option]\n")) << help.text;
    EXPECT_NE(help.text.find("  --version    show the program's version and exit\n"), std::string::npos);
    const Output version = RunTlinstall("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.text, "tlinstall " TL_VERSION "\n");
    const Output wrong = RunTlinstall("--help --frobnicate");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_EQ(wrong.text, "tlinstall: unknown argument '--frobnicate'\n");
    EXPECT_FALSE(std::filesystem::exists(prefix)) << "no machine was made";
    ::unsetenv("TALLYMAR_PREFIX");
}
