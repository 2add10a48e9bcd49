// Creditor and trustee files through the real proxy into real databases.
#include "import/ReferenceImporters.h"
#include "platform/Archive.h"
#include "tables/DatabaseHandles.h"
#include "tests/import/ImportTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::MatchesRegex;
using tltest::Section;
using tltest::Wire;
using Lines = std::vector<std::string>;

namespace {

class CreditorImport : public tltest::ImportTest {
protected:
    CreditorImport() { OpenDatabases(); }

    static Lines Creditors() {
        return CreditorRows(
            "SELECT CreditorName, Address1, Address2, City, State, Zip, PlusFour, Alias1, Alias2, "
            "Alias3, Country FROM CreditorTable ORDER BY rowid");
    }
    static Lines Trustees() { return MainRows("SELECT * FROM TrusteeTable ORDER BY rowid"); }
};

} // namespace

TEST_F(CreditorImport, StoresCreditorsWithAbsentValuesAsOneBlank) {
    EXPECT_TRUE(ImportCreditors(WriteDataFile("creditors.ini", Section({{"Name", "Macy's"},
                                                                        {"Address1", "PO Box 8218"},
                                                                        {"City", "Mason"},
                                                                        {"State", "OH"},
                                                                        {"Zipcode", "45040-8218"},
                                                                        {"Country", "USA"},
                                                                        {"Alias1", "Macy's Inc."}}))));
    EXPECT_EQ(Creditors(), (Lines{"Macy's|PO Box 8218| |Mason|OH|45040|8218|Macy's Inc.| | |USA"}));
    EXPECT_TRUE(theCreditorDb.IsOpen() && !theCreditorDb.IsInTransaction());
}

TEST_F(CreditorImport, SplitsEachFormOfZipCode) {
    EXPECT_TRUE(ImportCreditors(WriteDataFile(
        "creditors.ini",
        Section({{"Name", "A"}, {"Zipcode", "12345-6789"}}) + Section({{"Name", "B"}, {"Zipcode", "12345"}}) +
            Section({{"Name", "C"}, {"Zipcode", "1234-56789"}}) + Section({{"Name", "D"}}))));
    EXPECT_EQ(CreditorRows("SELECT CreditorName, Zip, PlusFour FROM CreditorTable ORDER BY rowid"),
              (Lines{"A|12345|6789", "B|12345|0", "C|1234|0", "D|0|0"}));
}

TEST_F(CreditorImport, AKnownCreditorIsLeftAsItIsAndTheSameNameTwiceIsStoredOnce) {
    ImportCreditors(WriteDataFile("first.ini", Section({{"Name", "Sears"}, {"City", "Chicago"}})));
    EXPECT_TRUE(ImportCreditors(
        WriteDataFile("second.ini", Section({{"Name", "SEARS"}, {"City", "Hoffman Estates"}}) +
                                        Section({{"Name", "Chase"}, {"City", "New York"}}) +
                                        Section({{"Name", "chase"}, {"City", "Columbus"}}))));
    EXPECT_EQ(CreditorRows("SELECT CreditorName, City FROM CreditorTable ORDER BY rowid"),
              (Lines{"Sears|Chicago", "Chase|New York"}));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(CreditorImport, AFileWithoutRecordsSucceedsAndAFailedRequestFails) {
    EXPECT_TRUE(ImportCreditors(WriteDataFile("empty.ini", "; nothing yet\n")));
    EXPECT_TRUE(Creditors().empty());
    std::filesystem::remove(Host(std::string(kInstall) + "\\TLMFIMPRT.EXE"));
    EXPECT_FALSE(ImportCreditors(WriteDataFile("creditors.ini", Section({{"Name", "A"}}))));
    EXPECT_EQ(ui.MessageTexts(), (Lines{"Tallymar was unable to launch the import proxy TLMFIMPRT.EXE [1]"}));
}

TEST_F(CreditorImport, AFailingInsertRollsTheWholeFileBackAndIsShownWithItsSource) {
    EXPECT_TRUE(ImportCreditors(
        WriteDataFile("creditors.ini", Section({{"Name", "Fine"}}) +
                                           Section({{"Name", "Bad"}, {"City", std::string(256, 'x')}}))));
    EXPECT_TRUE(Creditors().empty());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_THAT(ui.Messages()[0].text, MatchesRegex("CreditorImport\\[[0-9]+\\] - .+"));
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONINFORMATION);
    EXPECT_FALSE(theCreditorDb.IsInTransaction());
}

TEST_F(CreditorImport, StoresTrusteesWithCh13AsANumber) {
    EXPECT_TRUE(ImportTrustees(
        WriteDataFile("trustees.ini", Section({{"TrusteeName", "Jones"},
                                               {"FullName", "Mary O'Connor Jones"},
                                               {"State", "NY"},
                                               {"ZipCode", "12207"},
                                               {"Ch13", "1"},
                                               {"Ch13Id", "1234"}}) +
                                          Section({{"TrusteeName", "jones"}, {"Ch13", "0"}}))));
    EXPECT_EQ(Trustees(), (Lines{"Jones|Mary O'Connor Jones| | | |NY|12207| | | |1| |1234"}));
}

TEST_F(CreditorImport, ATrusteeWithoutCh13RollsItsWholeFileBack) {
    MainRows("SELECT 1"); // the database is open
    ImportTrustees(WriteDataFile("first.ini", Section({{"TrusteeName", "Kept"}, {"Ch13", "2"}})));
    EXPECT_TRUE(
        ImportTrustees(WriteDataFile("trustees.ini", Section({{"TrusteeName", "Smith"}, {"Ch13", "1"}}) +
                                                         Section({{"TrusteeName", "Brown"}}))));
    EXPECT_EQ(MainRows("SELECT TrusteeName, Ch13 FROM TrusteeTable"), (Lines{"Kept|2"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_THAT(ui.Messages()[0].text,
                MatchesRegex("TrusteeImport\\[[0-9]+\\] - The value ' ' of Ch13 is not a whole number\\."));
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONINFORMATION);
}

TEST_F(CreditorImport, AnInjectionThroughCh13FailsItsFileAndChangesNoOtherRowOrTable) {
    ImportTrustees(WriteDataFile("first.ini", Section({{"TrusteeName", "Kept"}, {"Ch13", "2"}})));
    ImportCreditors(WriteDataFile("creditors.ini", Section({{"Name", "Kept creditor"}})));
    EXPECT_TRUE(ImportTrustees(WriteDataFile(
        "attack.ini",
        Section({{"TrusteeName", "Evil"}, {"Ch13", "1, 'x', 'y'); DELETE FROM TrusteeTable; --"}}) +
            Section({{"TrusteeName", "Evil2"}, {"Ch13", "(SELECT 5)"}}) +
            Section({{"TrusteeName", "Evil3"}, {"Ch13", "1e3"}}))));
    EXPECT_EQ(MainRows("SELECT TrusteeName FROM TrusteeTable"), (Lines{"Kept"}));
    EXPECT_EQ(Creditors().size(), 1u);
    EXPECT_EQ(ui.Messages().size(), 1u);
    // Names and other texts with quotes are plain text.
    EXPECT_TRUE(ImportTrustees(WriteDataFile(
        "quotes.ini", Section({{"TrusteeName", "O'Brien'); DROP TABLE TrusteeTable; --"}, {"Ch13", "-1"}}))));
    EXPECT_EQ(MainRows("SELECT TrusteeName, Ch13 FROM TrusteeTable ORDER BY rowid"),
              (Lines{"Kept|2", "O'Brien'); DROP TABLE TrusteeTable; --|-1"}));
}

TEST_F(CreditorImport, AResponseThatBreaksOffLeavesNothingOfItsFileAndShowsNothing) {
    const std::string tooLong(256, 'x');
    // Records stored while the response still arrived, and one that failed, all come to nothing.
    UseStandIn(Wire()
                   .String("BR")
                   .Dword(0)
                   .Record({"Fine"})
                   .Record({"Bad", " ", " ", tooLong})
                   .Record({"Later"})
                   .String("BRR")
                   .Bytes());
    EXPECT_THROW(ImportCreditors("C:\\Data\\creditors.ini"), CArchiveException);
    EXPECT_TRUE(Creditors().empty());
    EXPECT_FALSE(theCreditorDb.IsInTransaction());

    UseStandIn(Wire()
                   .String("BR")
                   .Dword(0)
                   .Record({"Smith", "Ann Smith", " ", " ", " ", "NY", " ", " ", " ", " ", "1"})
                   .String("BRR")
                   .Dword(0)
                   .Bytes());
    EXPECT_THROW(ImportTrustees("C:\\Data\\trustees.ini"), CArchiveException);
    EXPECT_TRUE(Trustees().empty());
    EXPECT_FALSE(theMainDb.IsInTransaction());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(CreditorImport, AFailureWhileTheResponseStillArrivesIsShownOnceItHasEnded) {
    UseStandIn(Wire()
                   .String("BR")
                   .Dword(0)
                   .Record({"Bad", " ", " ", std::string(256, 'x')})
                   .Record({"Later"})
                   .String("ER")
                   .Bytes());
    EXPECT_TRUE(ImportCreditors("C:\\Data\\creditors.ini"));
    EXPECT_TRUE(Creditors().empty());
    EXPECT_EQ(ui.MessageTexts().size(), 1u);
    EXPECT_THAT(
        ui.MessageTexts()[0],
        MatchesRegex("CreditorImport\\[[0-9]+\\] - CHECK constraint failed: CreditorTable.City holds at "
                     "most 255 characters"));
    EXPECT_FALSE(theCreditorDb.IsInTransaction());
}
