#include "install/FindMasterComputer.h"

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "platform/LocalShares.h"
#include "platform/WinTypes.h"
#include "tests/support/TestMachine.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class FindMasterComputerTest : public tltest::MachineTest {
protected:
    FindMasterComputerTest() : sheet(CSetupSheet::kInstallCaptionId) {}

    void ChooseSharedFilesElsewhere() {
        sheet.SetChoice(kChoiceThisComputerOnly, 0);
        sheet.SetChoice(kChoiceSharedFilesElsewhere, 1);
    }
    void PutDatabase(const std::string& computer, const std::string& share) {
        WriteFile(machine().NetworkFolder() / computer / share / "Tallymar.mdb", "db");
    }

    CSetupSheet sheet;
    ScopedScriptedUserInterface ui;
    std::string path;
    bool sharedFilesHere = false;
};

} // namespace

TEST_F(FindMasterComputerTest, LocalProposalIsUnderAllUsersDocuments) {
    sheet.SetChoice(kChoiceSharedFilesHere, 1);
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_TRUE(sharedFilesHere);
    EXPECT_EQ(path, "C:\\Users\\Public\\Documents\\BankruptcyCases");
    EXPECT_TRUE(ui.ProgressEvents().empty()) << "no search for shared files here";
}

TEST_F(FindMasterComputerTest, LocalProposalFallsBackToTheDriveWhenDocumentsHaveASpace) {
    machine().SetFolderPath(win::CSIDL_COMMON_DOCUMENTS, "D:\\Documents and Settings\\All Users\\Documents");
    machine().AddDrive('D', win::DRIVE_FIXED);
    fs::create_directories(Host("D:\\Documents and Settings\\All Users\\Documents"));
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_EQ(path, "D:\\BankruptcyCases");
}

TEST_F(FindMasterComputerTest, LocalProposalLeavesThePathWithoutAllUsersDocuments) {
    machine().SetFolderPath(win::CSIDL_COMMON_DOCUMENTS, "");
    path = "C:\\Earlier";
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_TRUE(sharedFilesHere);
    EXPECT_EQ(path, "C:\\Earlier");
}

TEST_F(FindMasterComputerTest, FirstComputerAndShareInEnumerationOrderWin) {
    ChooseSharedFilesElsewhere();
    PutDatabase("CHARLIE", "Cases");
    PutDatabase("BRAVO", "Zeta");
    PutDatabase("BRAVO", "Data");
    fs::create_directories(machine().NetworkFolder() / "ALPHA" / "Empty");
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_FALSE(sharedFilesHere);
    EXPECT_EQ(path, "\\\\BRAVO\\Data");
    EXPECT_EQ(ui.ProgressEvents(),
              (std::vector<std::string>{"show:Tallymar Setup|Searching for master computer...", "hide"}));
    EXPECT_EQ(ui.WaitCursorDepth(), 0) << "the wait cursor is removed again";
}

TEST_F(FindMasterComputerTest, HiddenSharesAndThisComputersOwnSharesCount) {
    ChooseSharedFilesElsewhere();
    PutDatabase("ALPHA", "C$"); // administrative share: not a plain disk share, passed over
    WriteFile(Host("C:\\Cases\\Tallymar.mdb"), "db");
    ASSERT_EQ(tl::AddLocalShare({"Cases", "C:\\Cases", ""}), win::NERR_Success);
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_EQ(path, "\\\\TESTPC\\Cases");
}

TEST_F(FindMasterComputerTest, UnsuccessfulSearchLeavesTheEarlierProposal) {
    ChooseSharedFilesElsewhere();
    fs::create_directories(machine().NetworkFolder() / "ALPHA" / "Cases");
    path = "\\\\OLD\\Proposal";
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_EQ(path, "\\\\OLD\\Proposal");

    fs::remove_all(machine().NetworkFolder()); // no network at all
    FindMasterComputer(sheet, path, sharedFilesHere);
    EXPECT_EQ(path, "\\\\OLD\\Proposal");
    EXPECT_EQ(ui.ProgressEvents().size(), 4u);
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
}
