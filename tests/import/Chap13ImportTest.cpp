// Chapter 13 provision and plan text files through the real proxy into a real main database.
#include "import/ReferenceImporters.h"
#include "tests/import/ImportTestSupport.h"

#include <gtest/gtest.h>

using tltest::Section;
using Lines = std::vector<std::string>;

namespace {

class Chap13Import : public tltest::ImportTest {
protected:
    Chap13Import() { OpenDatabases(); }

    static Lines Provisions() { return MainRows("SELECT * FROM Chap13Provisions ORDER BY rowid"); }
    static Lines Links() { return MainRows("SELECT * FROM Chap13ProvisionsByState ORDER BY rowid"); }
    static Lines PlanTexts() {
        return MainRows("SELECT District, Treatment, Usage, Text, Desc FROM Chap13PlanText ORDER BY rowid");
    }
};

} // namespace

TEST_F(Chap13Import, StoresProvisionsAndTheirDistrictLinksWithApostrophesIntact) {
    const std::string text = "Property of the estate vests in the debtor's name.\nIt's final.";
    EXPECT_TRUE(ImportChap13Provisions(WriteDataFile(
        "provisions.ini",
        Section(
            {{"ID", "P1"}, {"Description", "Vesting"}, {"Text", text}, {"District", "NYSB"}, {"Type", "2"}}) +
            Section({{"ID", "P2"}, {"District", "NYEB"}, {"Type", "-3"}}))));
    EXPECT_EQ(Provisions(), (Lines{"P1|Vesting|" + text, "P2| | "}));
    EXPECT_EQ(Links(), (Lines{"1|P1|NYSB|2", "2|P2|NYEB|-3"}));
}

TEST_F(Chap13Import, AnEmptyTypeFailsOnlyTheLink) {
    EXPECT_TRUE(ImportChap13Provisions(
        WriteDataFile("provisions.ini", Section({{"ID", "P1"}, {"District", "NYSB"}}) +
                                            Section({{"ID", "P2"}, {"District", "NYEB"}, {"Type", "1"}}))));
    EXPECT_EQ(Provisions(), (Lines{"P1| | ", "P2| | "}));
    EXPECT_EQ(Links(), (Lines{"1|P2|NYEB|1"}));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(Chap13Import, AProvisionImportedTwiceKeepsOneProvisionAndDoublesItsLinks) {
    const std::string path = WriteDataFile(
        "provisions.ini", Section({{"ID", "P1"}, {"Text", "first"}, {"District", "NYSB"}, {"Type", "1"}}));
    EXPECT_TRUE(ImportChap13Provisions(path));
    EXPECT_TRUE(ImportChap13Provisions(path));
    EXPECT_EQ(Provisions(), (Lines{"P1| |first"}));
    EXPECT_EQ(Links(), (Lines{"1|P1|NYSB|1", "2|P1|NYSB|1"}));
}

TEST_F(Chap13Import, AnInjectionThroughTypeFailsItsLinkAndChangesNothingElse) {
    EXPECT_TRUE(ImportChap13Provisions(WriteDataFile(
        "provisions.ini",
        Section({{"ID", "P1"}, {"District", "NYSB"}, {"Type", "1); DELETE FROM Chap13Provisions; --"}}) +
            Section({{"ID", "P2"}, {"District", "NYSB"}, {"Type", "1), ('P9', 'X', 9"}}) +
            Section({{"ID", "P3'); DROP TABLE Chap13Provisions; --"}, {"District", "A'B"}, {"Type", "4"}}))));
    EXPECT_EQ(MainRows("SELECT ProvisionId FROM Chap13Provisions ORDER BY rowid"),
              (Lines{"P1", "P2", "P3'); DROP TABLE Chap13Provisions; --"}));
    EXPECT_EQ(Links(), (Lines{"1|P3'); DROP TABLE Chap13Provisions; --|A'B|4"}));
}

TEST_F(Chap13Import, StoresPlanTextsAndSkipsOnlyTheOnesThatFail) {
    EXPECT_TRUE(ImportChap13PlanText(WriteDataFile(
        "plantext.ini",
        Section({{"District", "NYSB"},
                 {"Treatment", "1"},
                 {"Usage", "2"},
                 {"Text", "The debtor's plan"},
                 {"Desc", "Plan"}}) +
            Section({{"District", std::string(51, 'D')},
                     {"Treatment", "3"},
                     {"Usage", "4"},
                     {"Text", "too long"}}) +
            Section(
                {{"District", "NYEB"}, {"Treatment", "x"}, {"Usage", " 7 days"}, {"Text", "it's next"}}))));
    EXPECT_EQ(PlanTexts(), (Lines{"NYSB|1|2|The debtor's plan|Plan", "NYEB|0|7|it's next| "}));
}

TEST_F(Chap13Import, AFailedRequestFails) {
    std::filesystem::remove(Host(std::string(kInstall) + "\\TLMFIMPRT.EXE"));
    EXPECT_FALSE(ImportChap13Provisions("C:\\Firm\\provisions.ini"));
    EXPECT_FALSE(ImportChap13PlanText("C:\\Firm\\plantext.ini"));
}
