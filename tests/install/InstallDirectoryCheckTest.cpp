#include "install/InstallDirectoryCheck.h"

#include "app/ScriptedUserInterface.h"
#include "platform/WinTypes.h"
#include "tests/support/TestMachine.h"

#include <filesystem>

using namespace win;

namespace {
class InstallDirectoryCheckTest : public tltest::MachineTest {
protected:
    ScopedScriptedUserInterface ui;
    InstallDirectoryCheck check;
};
} // namespace

TEST_F(InstallDirectoryCheckTest, RefusesEverythingButALocalHardDrive) {
    machine().AddDrive('N', DRIVE_REMOTE);
    for (const char* path : {"N:\\Tallymar", "\\\\TESTPC\\C$\\Tallymar", "C:", "C:Tallymar", ""})
        EXPECT_FALSE(check.Run(path)) << path;
    ASSERT_EQ(ui.Messages().size(), 5u);
    EXPECT_EQ(ui.Messages()[0].text, "The installation directory must be a location on a local hard drive");
    EXPECT_EQ(ui.Messages()[0].style, MB_OK | MB_ICONSTOP);
}

TEST_F(InstallDirectoryCheckTest, AsksOnceToCreateAMissingFolderUntilThePathChanges) {
    const std::string path = "C:\\Program Files\\Fenmore Software\\Tallymar";
    ui.QueueAnswer(IDNO);
    EXPECT_FALSE(check.Run(path));
    ui.QueueAnswer(IDYES);
    EXPECT_TRUE(check.Run(path));
    EXPECT_TRUE(check.Run(path)) << "the Yes is remembered";
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text,
              "'C:\\Program Files\\Fenmore Software\\Tallymar' does not exist. Do you want "
              "the setup program to create it?");
    EXPECT_EQ(ui.Messages()[0].style, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_FALSE(std::filesystem::exists(Host(path))) << "nothing is created while the wizard runs";

    check.ForgetConfirmation();
    EXPECT_FALSE(check.Run(path)) << "asked again after an edit; the default answer is No";
    EXPECT_EQ(ui.Messages().size(), 3u);
}

TEST_F(InstallDirectoryCheckTest, ExistingFolderPassesWithoutQuestion) {
    EXPECT_TRUE(check.Run("C:\\Program Files"));
    EXPECT_TRUE(ui.Messages().empty());
}
