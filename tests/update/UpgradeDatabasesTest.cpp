#include "update/UpgradeDatabases.h"

#include "app/ProfileSettings.h"
#include "db/SqlText.h"
#include "install/CreateDatabases.h"
#include "platform/FileApi.h"
#include "tables/DatabaseHandles.h"
#include "tests/db/DatabaseTestSupport.h"
#include "tests/release/UpdateTestBase.h"
#include "tests/update/HistoricalDatabases.h"
#include "update/EventTableRepair.h"

#include <fstream>
#include <gmock/gmock.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using ::testing::Not;

namespace {

constexpr int kTarget = 15;
constexpr int kUpdateLevel = 9;
const std::string kHome = "C:\\TallymarData"; // the update test base's home directory

// What the ladder leaves different from a new database: it widens the firm's name to MEMO, which a
// new database keeps as TEXT(255).
const std::vector<std::string> kUserNameWidened = {
    "- UserName: \"UserName\" TEXT COLLATE NOCASE CONSTRAINT \"UserName.UserName holds at most 255 "
    "characters\" CHECK (length(\"UserName\") <= 255)",
    "+ UserName: \"UserName\" TEXT COLLATE NOCASE"};

class Ladder : public tltest::UpdateTestBase {
protected:
    Ladder() {
        auto manifest = std::make_unique<XCurrentVersion>();
        manifest->DatabaseLevel = kTarget;
        manifest->UpdateLevel = kUpdateLevel;
        sheet.manifestObjects.push_back(std::move(manifest));
        sheet.updateLevel = kUpdateLevel;
        win::CreateDirectory(kHome);
        // The places database the file server hands out has a state the installed one lacks.
        win::CreateDirectory("C:\\Server");
        tltest::MakePlacesDatabase("C:\\Server\\TallymarPlaces.mdb");
        CDatabase places;
        places.OpenEx("ODBC;DBQ=C:\\Server\\TallymarPlaces.mdb");
        places.ExecuteSQL("INSERT INTO StateTable VALUES ('ZZ', 'Fresh state', 9)");
        places.Close();
        server.Serve("/CurrentVersion/TallymarPlaces.exe", ReadFile(Host("C:\\Server\\TallymarPlaces.mdb")));
    }
    // An installation at the level, with its databases open as the update opens them.
    void Install(int level) {
        CloseDatabases();
        tltest::MakeHistoricalDatabases(kHome, level);
        win::DeleteFile(kHome + "\\TallymarPlaces.mdb");
        tltest::MakePlacesDatabase(kHome + "\\TallymarPlaces.mdb");
        SetSetting("DatabaseLevel", level);
        theMainDb.OpenEx(FormatConnectString(kHome, "tallymar"));
        theCreditorDb.OpenEx(FormatConnectString(kHome, "CreditorNames"));
        theCreditorDbOpen = true;
        thePlacesDb.OpenEx(FormatConnectString(kHome, "tallymarplaces"));
        thePlacesDbOpen = true;
    }

    static void SetSetting(const char* name, int value) {
        win::RegKey key;
        ASSERT_EQ(GetSectionKey(key), 0);
        win::RegSetDword(key, name, static_cast<DWORD>(value));
    }

    // The schema of databases made by today's first installation.
    static std::pair<std::vector<std::string>, std::vector<std::string>> NewSchemas() {
        CSetupSheet creator(CSetupSheet::kInstallCaptionId);
        win::CreateDirectory("C:\\New");
        EXPECT_TRUE(CreateMainDatabase(creator, "C:\\New"));
        EXPECT_TRUE(CreateCreditorNamesDatabase(creator, "C:\\New"));
        CDatabase main;
        main.OpenEx(FormatConnectString("C:\\New", "tallymar"));
        CDatabase creditors;
        creditors.OpenEx(FormatConnectString("C:\\New", "CreditorNames"));
        return {tltest::SchemaLines(main), tltest::SchemaLines(creditors)};
    }

    std::vector<std::string> Lines(std::size_t from = 0) {
        const std::vector<std::string> lines = LogLines();
        return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end()};
    }
    std::vector<std::string> Golden(const std::string& name) {
        std::ifstream file(std::string(TL_TEST_DATA_DIR) + "/update/" + name);
        EXPECT_TRUE(file) << name;
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }
    static std::vector<std::string> Rows(CDatabase& db, const std::string& query) {
        return tltest::QueryRows(db, query);
    }
    bool PlacesFetched() const {
        for (const auto& request : server.Requests()) {
            if (request.path == "/CurrentVersion/TallymarPlaces.exe")
                return true;
        }
        return false;
    }
};

class LadderFromLevel : public Ladder, public ::testing::WithParamInterface<int> {};

} // namespace

TEST_P(LadderFromLevel, EndsWithTheSchemaOfNewDatabasesAndKeepsTheFirmsRows) {
    const int level = GetParam();
    const auto [newMain, newCreditors] = NewSchemas();
    Install(level);
    EXPECT_EQ(UpgradeDatabases(sheet), 1);

    EXPECT_THAT(tltest::SchemaDifferences(tltest::SchemaLines(theMainDb), newMain),
                ElementsAreArray(level < 14 ? kUserNameWidened : std::vector<std::string>{}));
    EXPECT_THAT(tltest::SchemaDifferences(tltest::SchemaLines(theCreditorDb), newCreditors), IsEmpty());
    EXPECT_THAT(Rows(theMainDb, "SELECT UserName, Password, City FROM UserName"),
                ElementsAre("Smith & O'Brien|0A1B2C3D|Boston"));
    EXPECT_THAT(Rows(theMainDb, "SELECT Name, \"Default\" FROM AttorneyTable"), ElementsAre("Ann Smith|-1"));
    EXPECT_THAT(Rows(theMainDb, "SELECT TrusteeName, Ch13 FROM TrusteeTable ORDER BY TrusteeName"),
                ElementsAre("Brown|0", "Jones|1"));
    const std::vector<std::string> events =
        Rows(theMainDb, "SELECT Place, Description, Guid FROM EventTable ORDER BY EventNumber");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_THAT(events[1], ::testing::StartsWith("Courthouse, 2nd floor|Confirmation hearing|"));
    for (std::size_t event = 0; event < events.size(); ++event) {
        const std::string guid = events[event].substr(events[event].rfind('|') + 1);
        if (level >= 3)
            EXPECT_EQ(guid, tltest::kFixtureEventGuids[event]);
        else
            EXPECT_THAT(guid, MatchesRegex("[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"));
    }
    EXPECT_THAT(Rows(theMainDb, "SELECT count(DISTINCT Guid) FROM EventTable"), ElementsAre("3"));
    EXPECT_THAT(Rows(theCreditorDb,
                     "SELECT CreditorName, Address1, Address2, City, State, Zip, PlusFour FROM "
                     "CreditorTable ORDER BY CreditorName"),
                ElementsAre("First Bank|100 Main Street|Suite 4|Boston|MA|2110|0",
                            "Macy's|PO Box 8218|NULL|Mason|OH|45040|8218"));
    EXPECT_EQ(GetProfileInt("DatabaseLevel", -1), kTarget);
    EXPECT_EQ(GetProfileInt("UpdateLevel", -1), kUpdateLevel);
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(PlacesFetched(), level < 4);
}

INSTANTIATE_TEST_SUITE_P(Levels, LadderFromLevel, ::testing::ValuesIn(tltest::kHistoricalLevels));

TEST_F(Ladder, FromLevelZeroLogsEveryRungAndShowsItsProgress) {
    Install(0);
    EXPECT_EQ(UpgradeDatabases(sheet), 1);
    // GlobalSettings was just made with DoubleValue: the below-9 rung fails and the ladder goes on.
    EXPECT_EQ(Lines(), Golden("UpgradeFromLevel0.log"));
    EXPECT_THAT(ui.ProgressEvents(),
                ElementsAre("text:Preparing calendar events for synchronization feature",
                            "text:Upgrading CreditorNames database", "text:Fixing MA office assignments",
                            "text:Downloading TallymarPlaces.mdb...", "text:Upgrading CreditorNames database",
                            "text:Upgrading CreditorNames database"));
    ASSERT_TRUE(thePlacesDbOpen) << "reopened on the file that replaced it";
    EXPECT_THAT(Rows(thePlacesDb, "SELECT StateName FROM StateTable WHERE StateCode = 'ZZ'"),
                ElementsAre("Fresh state"));
}

TEST_F(Ladder, LevelSevenRemakesTheChecklistTablesSixMakesThemAndEightKeepsThem) {
    const std::pair<int, std::vector<std::string>> cases[] = {
        {7,
         {"Setup deleted the CheckListTable table", "Setup deleted the CheckListTriggerTable table",
          "Setup added the CheckListTable and CheckListTriggerTable tables"}},
        {6, {"Setup added the CheckListTable and CheckListTriggerTable tables"}},
        {8, {}},
    };
    for (const auto& [level, expected] : cases) {
        SCOPED_TRACE(level);
        Install(level);
        const std::size_t start = LogLines().size();
        EXPECT_EQ(UpgradeDatabases(sheet), 1);
        std::vector<std::string> checklistLines;
        for (const std::string& line : Lines(start)) {
            if (line.find("CheckList") != std::string::npos)
                checklistLines.push_back(line);
        }
        EXPECT_EQ(checklistLines, expected);
        EXPECT_EQ(Rows(theMainDb, "SELECT ID FROM CheckListTable"),
                  level == 8 ? std::vector<std::string>{"C1"} : std::vector<std::string>{});
    }
}

TEST_F(Ladder, AFailingRungIsUndoneLoggedAndShownAndTheLadderGoesOn) {
    Install(11);
    // Without Guid the third ALTER of the below-12 rung fails after the other two have run.
    theMainDb.ExecuteSQL("ALTER TABLE EventTable DROP [Guid]");
    theMainDb.ExecuteSQL("DROP TABLE TrusteeTable");
    EXPECT_EQ(UpgradeDatabases(sheet), 1) << "only the EventTable probe decides the result";
    const std::vector<std::string> lines = LogLines();
    EXPECT_THAT(lines,
                Contains("**** Error trying to change the data types of EventTable.Place, .Description, "
                         "and .Guid to MEMO"));
    EXPECT_THAT(lines, Contains("**** Error trying to update the TrusteeTable.Ch13 datatype"));
    EXPECT_THAT(lines, Contains("Setup added Chap13Provisions, Chap13PlanText, and Chap13ProvisionsByState"));
    EXPECT_THAT(lines, Contains("Setup created the AlsoNotice table"));
    EXPECT_THAT(tltest::SchemaLines(theMainDb),
                Contains(::testing::StartsWith("EventTable: \"Place\" TEXT COLLATE "
                                               "NOCASE CONSTRAINT")))
        << "the first ALTER was rolled back with the third";
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "An error prevented Setup from updating the table of chapter 13 trustees. "
              "Please write down this error message and contact technical support.");
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONERROR);
    EXPECT_EQ(GetProfileInt("DatabaseLevel", -1), kTarget) << "the levels are written all the same";
}

TEST_F(Ladder, AtOrAboveTheTargetOnlyTheCreditorAndPlacesRungsRun) {
    sheet.manifestObjects.front()->DatabaseLevel = 3;
    Install(3);
    const std::vector<std::string> mainBefore = tltest::SchemaLines(theMainDb);
    EXPECT_EQ(UpgradeDatabases(sheet), 1);
    EXPECT_EQ(tltest::SchemaLines(theMainDb), mainBefore);
    EXPECT_THAT(LogLines(),
                ElementsAre("Installation at database level 3, update at level 3",
                            "Setup has installed C:\\TallymarData\\TallymarPlaces.mdb",
                            "Setup reordered the fields in the CreditorTable table",
                            "Setup created the AlwaysNotice table", "Setup created the AlsoNotice table"));
    EXPECT_EQ(GetProfileInt("DatabaseLevel", -1), 3);
    EXPECT_EQ(GetProfileInt("UpdateLevel", -1), kUpdateLevel);
}

TEST_F(Ladder, SharedFilesElsewhereRunNoCreditorOrPlacesRung) {
    sheet.installType = 2;
    Install(0);
    const std::vector<std::string> creditorsBefore = tltest::SchemaLines(theCreditorDb);
    EXPECT_EQ(UpgradeDatabases(sheet), 1);
    EXPECT_EQ(tltest::SchemaLines(theCreditorDb), creditorsBefore);
    EXPECT_FALSE(PlacesFetched());
    EXPECT_THAT(ui.ProgressEvents(),
                ElementsAre("text:Preparing calendar events for synchronization feature"));
    EXPECT_THAT(LogLines(), Contains("Setup added the ServiceTable table"));
}

TEST_F(Ladder, WithoutTheCreditorDatabaseThePlacesStillCome) {
    Install(0);
    theCreditorDb.Close();
    theCreditorDbOpen = false;
    EXPECT_EQ(UpgradeDatabases(sheet), 1);
    EXPECT_TRUE(PlacesFetched());
    for (const std::string& line : LogLines())
        EXPECT_THAT(line, Not(::testing::HasSubstr("Credit"))) << "no creditor rung ran";
    EXPECT_THAT(ui.ProgressEvents(), Not(Contains("text:Upgrading CreditorNames database")));
}

TEST_F(Ladder, ABrokenEventTableIsRebuiltEmptyAndASoundOneKeepsItsEvents) {
    Install(0);
    EXPECT_TRUE(RepairEventTable(sheet));
    EXPECT_THAT(Rows(theMainDb, "SELECT count(*) FROM EventTable"), ElementsAre("3")) << "no probe row stays";
    EXPECT_THAT(LogLines(), IsEmpty());

    theMainDb.ExecuteSQL("DROP TABLE EventTable");
    theMainDb.ExecuteSQL("CREATE TABLE EventTable (EventNumber COUNTER PRIMARY KEY,Description TEXT(255))");
    theMainDb.ExecuteSQL("INSERT INTO EventTable (Description) VALUES ('lost')");
    EXPECT_TRUE(RepairEventTable(sheet));
    EXPECT_THAT(LogLines(), ElementsAre("Setup rebuilt the EventTable"));
    EXPECT_THAT(Rows(theMainDb, "SELECT count(*) FROM EventTable"), ElementsAre("0"));
    EXPECT_THAT(Rows(theMainDb, "SELECT name FROM pragma_table_info('EventTable')"),
                ElementsAre("EventNumber", "DateTime", "Place", "Description", "Client", "BankruptcyCase",
                            "AdversaryCase", "Guid"));
    EXPECT_THAT(ui.ProgressEvents(), ElementsAre("text:Repairing Event Table"));
}

TEST_F(Ladder, AFailedRebuildIsShownWhereItHappenedAndFailsTheLadder) {
    Install(0);
    theMainDb.ExecuteSQL("DROP TABLE EventTable");
    EXPECT_EQ(UpgradeDatabases(sheet), 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_THAT(ui.Messages()[0].text, MatchesRegex("UpdateWizard\\[[0-9]+\\] - no such table: EventTable"));
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONINFORMATION);
    EXPECT_THAT(LogLines(), Contains("**** Error trying to rebuild EventTable - no such table: EventTable"));
    EXPECT_EQ(GetProfileInt("DatabaseLevel", -1), kTarget);
}

// Another workstation holding the shared database must never cost the firm its calendar.
TEST_F(Ladder, AnEventTableThatCannotBeProbedIsLeftAsItIs) {
    for (const char* lock : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        SCOPED_TRACE(lock);
        Install(0);
        const std::size_t start = LogLines().size();
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(Host(kHome + "\\Tallymar.mdb").c_str(), &other), SQLITE_OK);
        const tl::SqliteConnection workstation(other);
        ASSERT_EQ(sqlite3_exec(other, lock, nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(other, "INSERT INTO EventTable (Client) VALUES (7)", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_busy_timeout(theMainDb.Handle(), 20); // the other workstation does not let go in time

        std::string error;
        EXPECT_EQ(ProbeEventTable(theMainDb, &error), EventProbe::Failed);
        EXPECT_EQ(error, "database is locked");
        EXPECT_FALSE(RepairEventTable(sheet));
        EXPECT_THAT(Lines(start), ElementsAre("**** Error probing EventTable - database is locked"));
        ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_THAT(Rows(theMainDb, "SELECT count(*) FROM EventTable"), ElementsAre("4"));
        EXPECT_THAT(ui.ProgressEvents(), Not(Contains("text:Repairing Event Table")));
    }
}
