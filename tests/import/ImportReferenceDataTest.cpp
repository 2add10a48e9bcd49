// The reference-data import of a whole manifest: kinds, the state filter, log lines, progress, and
// failures that stay with their file.
#include "import/ImportReferenceData.h"

#include "app/CSetupSheet.h"
#include "tables/DatabaseHandles.h"
#include "tests/import/ImportTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

using testing::ElementsAre;
using tltest::Section;
using Lines = std::vector<std::string>;

namespace {

class ImportReferenceDataTest : public tltest::ImportTest {
protected:
    ImportReferenceDataTest() : sheet(CSetupSheet::kInstallCaptionId) {
        OpenDatabases();
        sheet.installDirectory = kInstall;
        sheet.homeDirectory = kHome;
        sheet.installType = 0;
        sheet.manifestObjects.push_back(std::make_unique<XCurrentVersion>());
        sheet.OpenLog();
    }

    // A support file of the manifest: kind in bits 8 to 11 of its flags.
    void AddFile(const std::string& name, int kind, std::int32_t moreFlags = 0,
                 const std::string& state = "") {
        auto file = std::make_unique<XSupportFile>();
        file->Name = name;
        file->Description = name + " data";
        file->Flags = (kind << 8) | moreFlags;
        file->State = state;
        sheet.manifestObjects.front()->SupportFiles.push_back(std::move(file));
    }
    // The import's log lines, without time stamps and the log's own opening lines.
    Lines ImportLog() {
        std::istringstream log(ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")));
        Lines lines;
        for (std::string line; std::getline(log, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::size_t stamp = line.find(" - ");
            line = stamp == std::string::npos ? line : line.substr(stamp + 3);
            if (line.starts_with("Setup imported") || line.starts_with("****"))
                lines.push_back(line);
        }
        return lines;
    }

    CSetupSheet sheet;
};

const std::string kInstallPath = "C:\\Program Files\\Tallymar\\";

} // namespace

TEST_F(ImportReferenceDataTest, ImportsEachKindInManifestOrderAndLogsIt) {
    WriteDataFile("plantext.ini", Section({{"District", "NYSB"}, {"Treatment", "1"}, {"Text", "plan"}}));
    WriteDataFile("checklist.ini",
                  Section({{"ID", "0f8fad5b-d9cb-469f-a165-70867728950e"}, {"text", "item"}}));
    WriteDataFile("creditors.ini", Section({{"Name", "Macy's"}}));
    WriteFile(Host("C:\\Firm\\trustees.ini"), Section({{"TrusteeName", "Jones"}, {"Ch13", "1"}}));
    WriteFile(Host("C:\\Users\\tester\\AppData\\Local\\provisions.ini"),
              Section({{"ID", "P1"}, {"Type", "2"}}));
    AddFile("plantext.ini", 5);
    AddFile("readme.txt", 0);
    AddFile("checklist.ini", 1);
    AddFile("creditors.ini", 2);
    AddFile("trustees.ini", 3, FlagSharedFolder);
    AddFile("provisions.ini", 4, FlagLocalAppData);
    AddFile("future.ini", 6);

    EXPECT_TRUE(ImportReferenceData(sheet));
    EXPECT_EQ(
        ImportLog(),
        (Lines{"Setup imported plan text file " + kInstallPath + "plantext.ini",
               "Setup imported the checklist initialization file",
               "Setup imported creditor initialization file " + kInstallPath + "creditors.ini",
               "Setup imported trustee initialization file C:\\Firm\\trustees.ini",
               "Setup imported provision import file C:\\Users\\tester\\AppData\\Local\\provisions.ini"}));
    EXPECT_THAT(ui.ProgressEvents(),
                ElementsAre("show:Tallymar Setup|", "text:Importing plantext.ini data...",
                            "text:Importing checklist.ini data...", "text:Importing creditors.ini data...",
                            "text:Importing trustees.ini data...", "text:Importing provisions.ini data...",
                            "text:Importing future.ini data...", "hide"));
    EXPECT_EQ(MainRows("SELECT District FROM Chap13PlanText"), (Lines{"NYSB"}));
    EXPECT_EQ(MainRows("SELECT text FROM CheckListTable"), (Lines{"item"}));
    EXPECT_EQ(CreditorRows("SELECT CreditorName FROM CreditorTable"), (Lines{"Macy's"}));
    EXPECT_EQ(MainRows("SELECT TrusteeName FROM TrusteeTable"), (Lines{"Jones"}));
    EXPECT_EQ(MainRows("SELECT ProvisionId FROM Chap13Provisions"), (Lines{"P1"}));
    EXPECT_EQ(PipesLeft(), 0u);
}

TEST_F(ImportReferenceDataTest, SharedFilesOnAnotherComputerImportNothingAndShowNoProgress) {
    WriteDataFile("creditors.ini", Section({{"Name", "Macy's"}}));
    AddFile("creditors.ini", 2);
    sheet.installType = 2;
    EXPECT_TRUE(ImportReferenceData(sheet));
    EXPECT_TRUE(ui.ProgressEvents().empty());
    EXPECT_TRUE(ImportLog().empty());
    EXPECT_TRUE(CreditorRows("SELECT * FROM CreditorTable").empty());
}

TEST_F(ImportReferenceDataTest, AManifestWithoutImportsStillShowsAndHidesTheProgress) {
    AddFile("readme.txt", 0);
    EXPECT_TRUE(ImportReferenceData(sheet));
    EXPECT_EQ(ui.ProgressEvents(), (Lines{"show:Tallymar Setup|", "hide"}));
    EXPECT_TRUE(ImportLog().empty());
}

TEST_F(ImportReferenceDataTest, AStateModuleOfAStateNotChosenIsSkipped) {
    WriteDataFile("tx.ini", Section({{"Name", "Texas Bank"}}));
    WriteDataFile("ny.ini", Section({{"Name", "New York Bank"}}));
    AddFile("tx.ini", 2, FlagStateModule, "TX");
    AddFile("ny.ini", 2, FlagStateModule, "NY");
    sheet.states = {"ny"};
    EXPECT_TRUE(ImportReferenceData(sheet));
    EXPECT_EQ(ImportLog(), (Lines{"Setup imported creditor initialization file " + kInstallPath + "ny.ini"}));
    EXPECT_EQ(CreditorRows("SELECT CreditorName FROM CreditorTable"), (Lines{"New York Bank"}));
}

TEST_F(ImportReferenceDataTest, AFileThatCannotBeReadFailsAloneAndTheChecklistStoreStillRuns) {
    WriteDataFile("creditors.ini", Section({{"Name", "Macy's"}}));
    WriteDataFile("broken.ini", "[r]\nName=a\nname=b\n");
    AddFile("missing-checklist.ini", 1);
    AddFile("broken.ini", 3);
    AddFile("missing.ini", 4);
    AddFile("creditors.ini", 2);
    EXPECT_TRUE(ImportReferenceData(sheet));
    const std::string brokenOff = "**** An attempt was made to access an unnamed file past its end.";
    EXPECT_EQ(
        ImportLog(),
        (Lines{brokenOff, "**** Error trying to import checklist initialization file", brokenOff,
               "**** Error trying to import trustee initialization file " + kInstallPath + "broken.ini",
               brokenOff,
               "**** Error trying to import provision initialization file " + kInstallPath + "missing.ini",
               "Setup imported creditor initialization file " + kInstallPath + "creditors.ini"}));
    EXPECT_TRUE(MainRows("SELECT * FROM CheckListTable").empty());
    EXPECT_EQ(CreditorRows("SELECT CreditorName FROM CreditorTable"), (Lines{"Macy's"}));
    EXPECT_EQ(ui.ProgressEvents().back(), "hide");
}

TEST_F(ImportReferenceDataTest, AProxyThatDiesMidResponseFailsOnlyItsFile) {
    UseStandIn(tltest::Wire().String("BR").Dword(0).Record({"Half", "done"}).String("BRR").Bytes());
    AddFile("plantext.ini", 5);
    AddFile("trustees.ini", 3);
    EXPECT_TRUE(ImportReferenceData(sheet));
    const std::string brokenOff = "**** An attempt was made to access an unnamed file past its end.";
    EXPECT_EQ(
        ImportLog(),
        (Lines{brokenOff, "**** Error trying to import plan text file " + kInstallPath + "plantext.ini",
               brokenOff,
               "**** Error trying to import trustee initialization file " + kInstallPath + "trustees.ini"}));
    EXPECT_TRUE(MainRows("SELECT * FROM Chap13PlanText").empty());
}

TEST_F(ImportReferenceDataTest, AProxyThatCannotStartIsLoggedAsAFailureOfEachFile) {
    std::filesystem::remove(Host(kInstallPath + "TLMFIMPRT.EXE"));
    AddFile("creditors.ini", 2);
    AddFile("checklist.ini", 1);
    EXPECT_TRUE(ImportReferenceData(sheet));
    EXPECT_EQ(ImportLog(), (Lines{"**** Error trying to import creditor initialization file " + kInstallPath +
                                      "creditors.ini",
                                  "**** Error trying to import checklist initialization file"}));
    EXPECT_EQ(ui.MessageTexts().size(), 2u);
}

TEST_F(ImportReferenceDataTest, ANameThatIsNoPlainFileNameIsRefused) {
    AddFile("..\\..\\Windows\\win.ini", 2);
    EXPECT_TRUE(ImportReferenceData(sheet));
    EXPECT_EQ(ImportLog(), (Lines{"**** Refusing file name ..\\..\\Windows\\win.ini from the file manifest: "
                                  "not a plain file name"}));
}
