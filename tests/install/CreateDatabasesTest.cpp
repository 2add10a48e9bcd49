#include "install/CreateDatabases.h"

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"
#include "crypto/PasswordText.h"
#include "db/SqlText.h"
#include "tables/DatabaseHandles.h"
#include "tests/db/DatabaseTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using tltest::DatabaseTest;

namespace {

class CreateDatabasesTest : public DatabaseTest {
protected:
    CreateDatabasesTest() {
        sheet.OpenLog();
        sheet.firmName = "Lee & O'Hara";
        sheet.masterPassword = "Tr0ub4dor";
    }

    // The log's messages without their time stamps.
    std::vector<std::string> LogLines() {
        const std::string text = ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt"));
        std::vector<std::string> lines;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find("\r\n", start);
            const std::string line = text.substr(start, end - start);
            lines.push_back(line.substr(line.find(" - ") + 3));
            start = end == std::string::npos ? text.size() : end + 2;
        }
        return lines;
    }

    // The uninstall manifest's entries as "kind:text".
    std::vector<std::string> UninstallEntries() {
        std::vector<std::string> entries;
        for (const auto& root : sheet.uninstallManifest.roots)
            for (const auto& entry : root->children)
                entries.push_back(entry->name + ":" + entry->Text());
        return entries;
    }

    // The rows of a query on a database file of the home directory.
    std::vector<std::string> Query(const std::string& base, const std::string& sqliteQuery) {
        CDatabase db;
        db.OpenEx(FormatConnectString(kHome, base));
        return Rows(db, sqliteQuery);
    }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kInstallCaptionId};
};

const std::vector<std::string> kMainTableLines = {
    "Setup created AttorneyTable",
    "Setup created ClientTable",
    "Setup created AdversaryTable",
    "Setup created CaseTable",
    "Setup created EcfTable",
    "Setup created EventTable",
    "Setup created NetworkUsers",
    "Setup created TrusteeTable",
    "Setup created Ch13Login",
    "Setup created ServiceTable",
    "Setup created UserName",
    "Setup created CustomExemptions",
    "Setup created GlobalSettings",
    "Setup created CheckListTable and CheckListTriggerTable",
    "Setup created Chap13Provisions, Chap13PlanText, and Chap13ProvisionsByState",
};

} // namespace

TEST_F(CreateDatabasesTest, MainDatabaseHoldsItsTablesTheFirmsRowAndThePasswordText) {
    sheet.firmCity = "Albany";
    sheet.firmZip = 12207;
    sheet.firmZipExtension = 1234;
    ASSERT_TRUE(CreateMainDatabase(sheet, kHome));
    EXPECT_FALSE(theMainDb.IsOpen());

    std::vector<std::string> expected = kMainTableLines;
    expected.push_back(
        "stmt = INSERT INTO UserName (UserName, Address1, Address2, City, State, Zipcode, Phone, Fax, "
        "EMail) VALUES ('Lee & O''Hara', '', '', 'Albany', '', '12207-1234', '', '', '')");
    expected.push_back("Setup saved registration information");
    expected.push_back(
        "Setup attempted to set master password, blank attorney password, and blank staff password");
    EXPECT_EQ(LogLines(), expected);
    EXPECT_EQ(ui.ProgressEvents(), (std::vector<std::string>{"text:Setting up main database"}));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(UninstallEntries(), (std::vector<std::string>{"DeleteFile:C:\\Firm\\Tallymar.mdb"}));

    const auto rows = Query("tallymar", "SELECT UserName, City, Zipcode, Password FROM UserName");
    ASSERT_EQ(rows.size(), 1u);
    const std::string prefix = "Lee & O'Hara|Albany|12207-1234|";
    ASSERT_EQ(rows[0].substr(0, prefix.size()), prefix);
    auto bytes = HexDecode(rows[0].substr(prefix.size()));
    const std::size_t u = PasswordSlotSize(sheet.firmName.size());
    ASSERT_TRUE(bytes && bytes->size() == 5 * u);
    CBlowfish(sheet.masterPassword).DecryptBuffer(bytes->data(), u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes->data()) + 4, sheet.firmName.size()), sheet.firmName);
    EXPECT_EQ(Query("tallymar",
                    "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%'"),
              (std::vector<std::string>{"18"}));
}

TEST_F(CreateDatabasesTest, TheSqliteShellReadsTheMainDatabase) {
    if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "the sqlite3 shell is not installed";
    sheet.attorneyPassword = "counsel";
    ASSERT_TRUE(CreateMainDatabase(sheet, kHome));
    const std::string command = "sqlite3 -batch '" + Host("C:\\Firm\\Tallymar.mdb").string() +
                                "' \"SELECT group_concat(name, ',') FROM pragma_table_info('AttorneyTable');"
                                " SELECT UserName, length(Password) FROM UserName;\"";
    std::unique_ptr<FILE, int (*)(FILE*)> shell(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_TRUE(shell);
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, shell.get()) != nullptr)
        output += buffer;
    EXPECT_EQ(output,
              "AttorneyNumber,Name,Initials,Address1,Address2,City,State,Zipcode,Telephone,email,Firm,Fax,"
              "Chap13Annex,Default,PacerId,PacerPassword\nLee & O'Hara|320\n");
}

TEST_F(CreateDatabasesTest, ZipCodesAreStoredInTheirTextForm) {
    struct Case {
        int zip;
        int extension;
        const char* stored;
    };
    for (const Case& c : {Case{0, 1234, ""}, Case{501, 0, "00501"}, Case{10004, 1, "10004-0001"}}) {
        CSetupSheet fresh(CSetupSheet::kInstallCaptionId);
        fresh.firmName = "Chen Law";
        fresh.firmZip = c.zip;
        fresh.firmZipExtension = c.extension;
        ASSERT_TRUE(CreateMainDatabase(fresh, kHome));
        EXPECT_EQ(Query("tallymar", "SELECT Zipcode FROM UserName"), (std::vector<std::string>{c.stored}));
    }
}

TEST_F(CreateDatabasesTest, TheLastLineSaysWhichPasswordsWereBlank) {
    sheet.attorneyPassword = "counsel";
    sheet.staffPassword = "clerk";
    ASSERT_TRUE(CreateMainDatabase(sheet, kHome));
    EXPECT_EQ(LogLines().back(),
              "Setup attempted to set master password, attorney password, and staff password");
    sheet.mainDatabaseCreated = false; // as in a new run
    sheet.staffPassword.clear();
    ASSERT_TRUE(CreateMainDatabase(sheet, kHome));
    EXPECT_EQ(LogLines().back(),
              "Setup attempted to set master password, attorney password, and blank staff password");
}

TEST_F(CreateDatabasesTest, ASecondCallInTheSameRunDoesNothing) {
    ASSERT_TRUE(CreateMainDatabase(sheet, kHome));
    ASSERT_TRUE(CreateCreditorNamesDatabase(sheet, kHome));
    {
        CDatabase db;
        db.OpenEx(FormatConnectString(kHome, "tallymar"));
        db.ExecuteSQL("INSERT INTO NetworkUsers VALUES ('WORKSTATION2')");
    }
    const std::size_t lines = LogLines().size();
    EXPECT_TRUE(CreateMainDatabase(sheet, kHome));
    EXPECT_TRUE(CreateCreditorNamesDatabase(sheet, kHome));
    EXPECT_EQ(LogLines().size(), lines);
    EXPECT_EQ(Query("tallymar", "SELECT HostName FROM NetworkUsers"),
              (std::vector<std::string>{"WORKSTATION2"}));
}

TEST_F(CreateDatabasesTest, AnExistingDatabaseIsReplacedNotReused) {
    WriteFile(Host("C:\\Firm\\Tallymar.mdb"), "an old database from an earlier installation");
    ASSERT_TRUE(CreateMainDatabase(sheet, kHome));
    EXPECT_EQ(LogLines().front(), "Database C:\\Firm\\Tallymar.mdb already exists");
    EXPECT_EQ(Query("tallymar", "SELECT UserName FROM UserName"), (std::vector<std::string>{"Lee & O'Hara"}));
}

TEST_F(CreateDatabasesTest, AnUndeletableDatabaseIsReportedAndCreationStillTried) {
    const auto host = Host("C:\\Firm\\Tallymar.mdb");
    WriteFile(host, "locked");
    ::chmod(host.c_str(), 0444);
    EXPECT_FALSE(CreateMainDatabase(sheet, kHome));
    EXPECT_EQ(
        LogLines(),
        (std::vector<std::string>{
            "Database C:\\Firm\\Tallymar.mdb already exists",
            "**** Error 5 trying to delete C:\\Firm\\Tallymar.mdb",
            "**** SQLConfigDataSource(Tallymar) failed - 80 - trying to create C:\\Firm\\Tallymar.mdb"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "SQLConfigDataSource(Tallymar) failed - 80");
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONERROR);
    EXPECT_EQ(ReadFile(host), "locked");
}

TEST_F(CreateDatabasesTest, AMissingHomeDirectoryFailsBothCreations) {
    EXPECT_FALSE(CreateMainDatabase(sheet, "C:\\Missing"));
    EXPECT_FALSE(CreateCreditorNamesDatabase(sheet, "C:\\Missing"));
    EXPECT_EQ(
        LogLines(),
        (std::vector<std::string>{
            "**** SQLConfigDataSource(Tallymar) failed - 3 - trying to create C:\\Missing\\Tallymar.mdb",
            "**** SQLConfigDataSource(CreditorNames) failed - 3"}));
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"SQLConfigDataSource(Tallymar) failed - 3",
                                                           "SQLConfigDataSource(CreditorNames) failed - 3"}));
}

TEST_F(CreateDatabasesTest, AFailedTableCreationRemovesTheNewFile) {
    // The engine cannot write its journal where a folder of that name stands.
    std::filesystem::create_directories(Host("C:\\Firm") / "Tallymar.mdb-journal");
    std::filesystem::create_directories(Host("C:\\Firm") / "CreditorNames.mdb-journal");
    EXPECT_FALSE(CreateMainDatabase(sheet, kHome));
    EXPECT_FALSE(CreateCreditorNamesDatabase(sheet, kHome));
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{
                  "**** unable to open database file - trying to create the next table after the one "
                  "most recently created",
                  "**** unable to open database file - trying to create CreditorTable"}));
    ASSERT_EQ(ui.Messages().size(), 2u);
    for (const auto& message : ui.Messages()) {
        EXPECT_TRUE(message.text.starts_with("Wizard[")) << message.text;
        EXPECT_TRUE(message.text.ends_with("] - unable to open database file")) << message.text;
        EXPECT_EQ(message.style, win::MB_ICONINFORMATION);
    }
    EXPECT_FALSE(std::filesystem::exists(Host("C:\\Firm\\Tallymar.mdb")));
    EXPECT_FALSE(std::filesystem::exists(Host("C:\\Firm\\CreditorNames.mdb")));
    EXPECT_FALSE(theMainDb.IsOpen());
    EXPECT_TRUE(UninstallEntries().empty());
}

TEST_F(CreateDatabasesTest, AFirmRowThatCannotBeStoredRemovesTheNewFile) {
    sheet.firmName = std::string(256, 'F');
    EXPECT_FALSE(CreateMainDatabase(sheet, kHome));
    const auto lines = LogLines();
    EXPECT_EQ(lines.back(),
              "**** CHECK constraint failed: UserName.UserName holds at most 255 characters - trying "
              "to save user information");
    EXPECT_FALSE(std::filesystem::exists(Host("C:\\Firm\\Tallymar.mdb")));
}

TEST_F(CreateDatabasesTest, CreditorDatabaseHoldsItsThreeTables) {
    ASSERT_TRUE(CreateCreditorNamesDatabase(sheet, kHome));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"Setup created the CreditorTable table",
                                                    "Setup created the AlwaysNotice table",
                                                    "Setup created the AlsoNotice table"}));
    EXPECT_EQ(ui.ProgressEvents(), (std::vector<std::string>{"text:Setting up creditor names database"}));
    EXPECT_EQ(UninstallEntries(), (std::vector<std::string>{"DeleteFile:C:\\Firm\\CreditorNames.mdb"}));
    EXPECT_EQ(Query("CreditorNames",
                    "SELECT group_concat(name, ',') FROM sqlite_schema WHERE type = 'table' AND "
                    "name NOT LIKE 'sqlite%'"),
              (std::vector<std::string>{"CreditorTable,AlwaysNotice,AlsoNotice"}));
}
