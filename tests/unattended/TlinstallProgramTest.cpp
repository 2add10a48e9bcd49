#include "tests/support/TestMachine.h"
#include "tests/unattended/ShellCommand.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;

namespace {

tltest::ShellOutput Tlinstall(const std::string& arguments, const std::string& prefix = "/nonexistent") {
    return tltest::RunShell("env -u DISPLAY -u WAYLAND_DISPLAY TALLYMAR_PREFIX='" + prefix +
                            "' '" TL_TLINSTALL "' " + arguments);
}

} // namespace

// The program's own options print and end without touching a machine, and need no display.
TEST(TlinstallProgram, HelpListsEveryOptionAndExitStatus) {
    const tltest::ShellOutput help = Tlinstall("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* text :
         {"--answers FILE", "--password-stdin", "--help", "--version", "  0  done", "  1  a step failed",
          "  2  a wrong command line or answer file", "  3  an answer ended", "  4  Tallymar is running",
          "[Replies]", "[Attorney <name>]", "chmod 600"})
        EXPECT_THAT(help.text, HasSubstr(text));
    const tltest::ShellOutput version = Tlinstall("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_THAT(version.text, testing::MatchesRegex("tlinstall [0-9]+\\.[0-9]+\\.[0-9]+\n"));
}

TEST(TlinstallProgram, WrongCommandLineOrAnswerFileEndsWithStatus2) {
    const tltest::ShellOutput unknown = Tlinstall("--silent");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.text, "tlinstall: unknown argument '--silent'\nTry tlinstall --help.\n");
    EXPECT_EQ(Tlinstall("--password-stdin").status, 2);
    tltest::TempFolder folder;
    const tltest::ShellOutput missing = Tlinstall("--answers '" + (folder.Path() / "none.ini").string() + "'",
                                                  (folder.Path() / "prefix").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.text, HasSubstr("none.ini: No such file or directory"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "prefix" / "drive_c" / "Users")) << "no run began";
}
