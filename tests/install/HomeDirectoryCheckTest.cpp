#include "install/HomeDirectoryCheck.h"

#include "app/ScriptedUserInterface.h"
#include "install/InstallType.h"
#include "platform/LocalShares.h"
#include "platform/WinTypes.h"
#include "tests/support/TestMachine.h"

#include <filesystem>

using namespace win;
namespace fs = std::filesystem;

namespace {

constexpr char kSpaces[] = "The home directory name must not contain any space characters";
constexpr char kNotLocal[] = "The home directory must be a location on a local hard drive";
constexpr char kCharacters[] =
    "The share name for the home directory should not contain any spaces or other special characters";

class HomeDirectoryCheckTest : public tltest::MachineTest {
protected:
    HomeDirectoryAnswers Answers(const std::string& path, int installType = kInstallThisComputerOnly) {
        return HomeDirectoryAnswers{path, "BankruptcyCases", "TallymarUser", installType};
    }
    ScopedScriptedUserInterface ui;
    HomeDirectoryCheck check;
};

} // namespace

TEST(HasForbiddenShareCharacterTest, RefusesExactlyTheThirtyCharacters) {
    const std::string forbidden = " \"'!@#$%^&*()+|\\=-:;[]{}/.,<>?";
    ASSERT_EQ(forbidden.size(), 30u);
    for (const char c : forbidden)
        EXPECT_TRUE(HasForbiddenShareCharacter(std::string("Cases") + c)) << c;
    EXPECT_FALSE(HasForbiddenShareCharacter("Bankruptcy_Cases~2`"));
    EXPECT_FALSE(HasForbiddenShareCharacter(""));
}

TEST_F(HomeDirectoryCheckTest, LeadingSpacePassesTheSpaceTestButAnInnerOneDoesNot) {
    EXPECT_FALSE(check.Run(Answers("C:\\Bankruptcy Cases")));
    EXPECT_FALSE(check.Run(Answers("C:\\Cases ")));
    // A leading blank gets past the space test; the path is then not on a local drive.
    EXPECT_FALSE(check.Run(Answers(" C:\\Cases")));
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kSpaces, kSpaces, kNotLocal}));
    EXPECT_EQ(ui.Messages()[0].style, MB_OK | MB_ICONSTOP);
}

TEST_F(HomeDirectoryCheckTest, SharedFilesHereNeedALocalHardDrive) {
    machine().AddDrive('N', DRIVE_REMOTE);
    EXPECT_FALSE(check.Run(Answers("N:\\Cases", kInstallSharedFilesHere)));
    EXPECT_FALSE(check.Run(Answers("\\\\TESTPC\\Cases")));
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kNotLocal, kNotLocal}));
}

TEST_F(HomeDirectoryCheckTest, ShareNameOfADifferentFolderIsRefusedWithBothFolders) {
    ASSERT_EQ(tl::AddLocalShare({"BankruptcyCases", "C:\\OldCases", ""}), NERR_Success);
    EXPECT_FALSE(check.Run(Answers("C:\\Cases")));
    EXPECT_EQ(
        ui.MessageTexts(),
        (std::vector<std::string>{"The specified network share name (BankruptcyCases) already exists as the "
                                  "name of a different folder (C:\\OldCases) on this computer."}));
}

TEST_F(HomeDirectoryCheckTest, ExistingFolderSharedUnderThatNameNeedsNoQuestion) {
    fs::create_directories(Host("C:\\Cases"));
    ASSERT_EQ(tl::AddLocalShare({"BankruptcyCases", "c:\\cases", ""}), NERR_Success);
    HomeDirectoryAnswers answers = Answers("C:\\Cases");
    answers.shareName = "bad name!"; // not looked at: nothing needs creating or sharing
    ASSERT_EQ(tl::AddLocalShare({"bad name!", "C:\\Cases", ""}), NERR_Success);
    EXPECT_TRUE(check.Run(answers));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(HomeDirectoryCheckTest, AsksToCreateAndShareAMissingFolderOnce) {
    ui.QueueAnswer(IDNO);
    EXPECT_FALSE(check.Run(Answers("C:\\Cases")));
    ui.QueueAnswer(IDYES);
    EXPECT_TRUE(check.Run(Answers("C:\\Cases")));
    EXPECT_TRUE(check.Run(Answers("C:\\Cases")));
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].text,
              "'C:\\Cases' does not exist. Do you want the setup program to create it, share "
              "it on the network as 'BankruptcyCases', and give user 'TallymarUser' full "
              "control over it?");
    EXPECT_EQ(ui.Messages()[1].style, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_FALSE(fs::exists(Host("C:\\Cases")));
}

TEST_F(HomeDirectoryCheckTest, AsksOnlyToShareAnExistingFolderAndOnlyToCreateAnAlreadySharedOne) {
    fs::create_directories(Host("C:\\Cases"));
    ui.QueueAnswer(IDYES);
    EXPECT_TRUE(check.Run(Answers("C:\\Cases")));
    EXPECT_EQ(ui.Messages().back().text,
              "Do you want the setup program to share 'C:\\Cases' on the network as "
              "'BankruptcyCases' and to give user 'TallymarUser' full control over it?");

    HomeDirectoryCheck fresh;
    ASSERT_EQ(tl::AddLocalShare({"BankruptcyCases", "C:\\New", ""}), NERR_Success);
    ui.QueueAnswer(IDYES);
    EXPECT_TRUE(fresh.Run(Answers("C:\\New")));
    EXPECT_EQ(ui.Messages().back().text,
              "'C:\\New' does not exist. Do you want the setup program to create it?");
}

TEST_F(HomeDirectoryCheckTest, EditsForgetTheConfirmationsTheyConcern) {
    fs::create_directories(Host("C:\\Cases"));
    ui.QueueAnswer(IDYES);
    ASSERT_TRUE(check.Run(Answers("C:\\Cases")));
    check.SharingEdited();
    EXPECT_FALSE(check.Run(Answers("C:\\Cases"))) << "sharing is asked again (default No)";
    ui.QueueAnswer(IDYES);
    ASSERT_TRUE(check.Run(Answers("C:\\Cases")));
    check.PathEdited();
    EXPECT_FALSE(check.CreationConfirmed());
    EXPECT_FALSE(check.SharingConfirmed());
    EXPECT_EQ(ui.Messages().size(), 3u);
}

TEST_F(HomeDirectoryCheckTest, ForbiddenShareCharacterIsCheckedOnlyWhenSomethingIsToBeDone) {
    HomeDirectoryAnswers answers = Answers("C:\\Cases");
    answers.shareName = "Bankruptcy-Cases";
    EXPECT_FALSE(check.Run(answers));
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kCharacters}));
}

TEST_F(HomeDirectoryCheckTest, SharedFilesElsewhereNeedAllFourDatabases) {
    fs::create_directories(machine().NetworkFolder() / "MAIN" / "Cases");
    const fs::path folder = machine().NetworkFolder() / "MAIN" / "Cases";
    const char* databases[] = {"TallymarPlaces.mdb", "Tallymar.mdb", "CreditorNames.mdb", "MeansTest.mdb"};
    for (const char* database : databases) {
        EXPECT_FALSE(check.Run(Answers("\\\\MAIN\\Cases", kInstallSharedFilesElsewhere))) << database;
        WriteFile(folder / database, "db");
    }
    EXPECT_TRUE(check.Run(Answers("\\\\MAIN\\Cases", kInstallSharedFilesElsewhere)));
    ASSERT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages()[0].text,
              "The home directory you specified does not appear to contain the databases Tallymar needs. A "
              "possible cause of this error is failure to run Setup on the computer where the home directory "
              "resides before setting up this workstation.");
    EXPECT_EQ(ui.Messages()[0].style, MB_OK | MB_ICONSTOP);
}
