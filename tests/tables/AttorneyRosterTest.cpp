#include "tables/AttorneyRoster.h"

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "crypto/CBlowfish.h"
#include "crypto/HexText.h"
#include "crypto/MasterKey.h"
#include "crypto/SecretText.h"
#include "db/CDBException.h"
#include "db/SqlText.h"
#include "install/CreateDatabases.h"
#include "tables/DatabaseHandles.h"
#include "tests/db/DatabaseTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>
#include <type_traits>

using tltest::DatabaseTest;

namespace {

class AttorneyRosterTest : public DatabaseTest {
protected:
    AttorneyRosterTest() {
        sheet.firmName = "Lee & O'Hara";
        sheet.masterPassword = "Tr0ub4dor";
        EXPECT_TRUE(CreateMainDatabase(sheet, kHome));
        theMainDb.OpenEx(FormatConnectString(kHome, "tallymar"));
        theMasterKey = std::make_unique<CBlowfish>(sheet.masterPassword);
    }
    ~AttorneyRosterTest() override { theMasterKey.reset(); }

    static AttorneyInfo Attorney(const std::string& name, bool isDefault = false) {
        AttorneyInfo info;
        info.Name = name;
        info.Initials = "AB";
        info.Address1 = "1 Main St";
        info.City = "Albany";
        info.State = "NY";
        info.Zipcode = "12207";
        info.Default = isDefault;
        info.PacerId = "pacer-" + name;
        AssignSecret(info.Password, "pacer pass");
        return info;
    }
    static EcfLogin Login(const std::string& district, const std::string& user, const std::string& password) {
        EcfLogin login;
        login.District = district;
        login.UserName = user;
        AssignSecret(login.Password, password);
        login.BarNumber = "NY-" + user;
        return login;
    }

    std::vector<std::string> Query(const std::string& sqliteQuery) { return Rows(theMainDb, sqliteQuery); }
    static std::string Decrypted(const std::string& hex) {
        const auto clear = DecryptHexText(*theMasterKey, hex);
        EXPECT_TRUE(clear.has_value()) << hex;
        return clear ? clear->str() : std::string();
    }
    // Every row of the three tables the roster writes.
    std::vector<std::string> Tables() {
        std::vector<std::string> rows = Query("SELECT * FROM AttorneyTable ORDER BY AttorneyNumber");
        for (const std::string& row : Query("SELECT * FROM EcfTable ORDER BY rowid"))
            rows.push_back("ecf:" + row);
        for (const std::string& row : Query("SELECT * FROM Ch13Login ORDER BY rowid"))
            rows.push_back("ch13:" + row);
        return rows;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const RosterEntry& entry : roster.Entries())
            texts.push_back(entry.Text());
        return texts;
    }
    void Exec(const std::string& sqlite) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(theMainDb.Handle(), sqlite.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << error;
    }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kInstallCaptionId};
    AttorneyRoster roster;
};

} // namespace

TEST_F(AttorneyRosterTest, AnEmptyTableGivesAnEmptyListAndNoDefault) {
    roster.Load();
    EXPECT_TRUE(roster.Entries().empty());
    EXPECT_EQ(roster.DefaultNumber(), -1);
    AttorneyInfo info;
    EXPECT_FALSE(LoadAttorneyInfo(1, info, true));
    EXPECT_EQ(info.AttorneyNumber, -1);
}

TEST_F(AttorneyRosterTest, AddingStoresEveryFieldWithSecretsEncryptedAndGivesEachANumber) {
    roster.Load();
    AttorneyInfo first = Attorney("Chen & O'Neil");
    first.Address2 = "Suite 2";
    first.Telephone = "518-555-0100";
    first.Fax = "518-555-0101";
    first.email = "chen@example.com";
    first.Firm = "Lee & O'Hara";
    const EcfLoginList logins = {Login("Southern District of New York", "o'brien", "ecf 'one'"),
                                 Login("Eastern District of New York", "chen", "")};
    EXPECT_EQ(roster.Add(first, logins, "ndc-key"), 0u);
    // Same name, single-byte text beyond ASCII, no logins, no key.
    const AttorneyInfo second = Attorney("Jos\xE9 M\xFCller");
    EXPECT_EQ(roster.Add(second, {}, ""), 1u);
    EXPECT_EQ(roster.Add(Attorney("Chen & O'Neil"), {}, ""), 2u);

    const auto numbers = Query("SELECT AttorneyNumber FROM AttorneyTable ORDER BY AttorneyNumber");
    ASSERT_EQ(numbers.size(), 3u);
    EXPECT_EQ(Query("SELECT count(DISTINCT AttorneyNumber) FROM AttorneyTable"),
              (std::vector<std::string>{"3"}));
    EXPECT_EQ(Query("SELECT count(*) FROM AttorneyTable WHERE Name = 'Godzilla' OR Initials = 'Godzilla'"),
              (std::vector<std::string>{"0"}));
    EXPECT_EQ(roster.Entries()[0].number, std::stoi(numbers[0]));
    EXPECT_EQ(roster.Entries()[1].number, std::stoi(numbers[1]));

    const auto row =
        Query("SELECT Name, Initials, Address1, Address2, City, State, Zipcode, Telephone, email, "
              "Firm, Fax, Chap13Annex, \"Default\", PacerId FROM AttorneyTable WHERE AttorneyNumber = " +
              numbers[0]);
    EXPECT_EQ(row, (std::vector<std::string>{
                       "Chen & O'Neil|AB|1 Main St|Suite 2|Albany|NY|12207|518-555-0100|"
                       "chen@example.com|Lee & O'Hara|518-555-0101|NULL|0|pacer-Chen & O'Neil"}));
    const auto stored = Query("SELECT PacerPassword FROM AttorneyTable WHERE AttorneyNumber = " + numbers[0]);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(Decrypted(stored[0]), "pacer pass");
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable WHERE AttorneyNumber = " + numbers[1]),
              (std::vector<std::string>{"Jos\xE9 M\xFCller"}));

    const auto ecf = Query("SELECT AttorneyNumber, District, UserName, BarNumber, Password FROM EcfTable");
    ASSERT_EQ(ecf.size(), 2u);
    const std::string prefix0 = numbers[0] + "|Southern District of New York|o'brien|NY-o'brien|";
    ASSERT_EQ(ecf[0].substr(0, prefix0.size()), prefix0);
    EXPECT_EQ(Decrypted(ecf[0].substr(prefix0.size())), "ecf 'one'");
    EXPECT_EQ(ecf[1], numbers[0] + "|Eastern District of New York|chen|NY-chen|");

    // A National Data Center row for each attorney, also with an empty key.
    const auto ndc = Query("SELECT TrusteeName, UserName, Attorney, Password FROM Ch13Login ORDER BY rowid");
    ASSERT_EQ(ndc.size(), 3u);
    const std::string ndcPrefix = "NDC|Placeholder|" + numbers[0] + "|";
    ASSERT_EQ(ndc[0].substr(0, ndcPrefix.size()), ndcPrefix);
    EXPECT_EQ(Decrypted(ndc[0].substr(ndcPrefix.size())), "ndc-key");
    EXPECT_EQ(ndc[1], "NDC|Placeholder|" + numbers[1] + "|");

    // Loaded again, the list is by name; both attorneys called alike are there.
    AttorneyRoster reloaded;
    reloaded.Load();
    std::vector<std::string> texts;
    for (const RosterEntry& entry : reloaded.Entries())
        texts.push_back(entry.Text());
    EXPECT_EQ(texts, (std::vector<std::string>{"Chen & O'Neil", "Chen & O'Neil", "Jos\xE9 M\xFCller"}));
}

TEST_F(AttorneyRosterTest, AddingNeverEditsARowThatCarriesThePlaceholdersInitials) {
    theMainDb.ExecuteSQL(
        "INSERT INTO AttorneyTable (Name, Initials, City) VALUES ('Gail Odzilla', 'Godzilla', "
        "'Troy')");
    const auto before = Query("SELECT * FROM AttorneyTable");
    roster.Load();
    roster.Add(Attorney("New Attorney"), {}, "");
    roster.Add(Attorney("Second New"), {}, "");
    const auto after = Query("SELECT * FROM AttorneyTable ORDER BY AttorneyNumber");
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Gail Odzilla", "New Attorney", "Second New"}));
}

TEST_F(AttorneyRosterTest, OnlyOneAttorneyIsTheDefaultAtATime) {
    roster.Load();
    roster.Add(Attorney("Ann Able", true), {}, "");
    roster.Add(Attorney("Bob Baker"), {}, "");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann Able*", "Bob Baker"}));
    roster.Add(Attorney("Cy Cole", true), {}, "");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann Able", "Bob Baker", "Cy Cole*"}));
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable WHERE \"Default\" = -1"),
              (std::vector<std::string>{"Cy Cole"}));
    EXPECT_EQ(roster.DefaultNumber(), roster.Entries()[2].number);

    // Making another the default by editing it unmarks the previous one.
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    ASSERT_TRUE(roster.LoadForEdit(1, info, logins, key));
    info.Default = true;
    roster.Edit(1, info, logins, key.str());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann Able", "Bob Baker*", "Cy Cole"}));
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable WHERE \"Default\" = -1"),
              (std::vector<std::string>{"Bob Baker"}));

    // Clearing the default's own flag leaves its full name and no default.
    ASSERT_TRUE(roster.LoadForEdit(1, info, logins, key));
    info.Default = false;
    roster.Edit(1, info, logins, key.str());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann Able", "Bob Baker", "Cy Cole"}));
    EXPECT_EQ(roster.DefaultNumber(), -1);
    EXPECT_EQ(Query("SELECT count(*) FROM AttorneyTable WHERE \"Default\" = -1"),
              (std::vector<std::string>{"0"}));

    // A name that ends in "*" keeps it.
    roster.Add(Attorney("Star*", true), {}, "");
    EXPECT_EQ(Texts().back(), "Star**");
    roster.Add(Attorney("Next", true), {}, "");
    EXPECT_EQ(Texts()[3], "Star*");
}

TEST_F(AttorneyRosterTest, EditingReplacesTheLoginsAndKeyAndKeepsEverythingElse) {
    roster.Load();
    roster.Add(Attorney("Ann Able"),
               {Login("Southern District of New York", "o'brien", "first"),
                Login("Eastern District of New York", "able", "second")},
               "old key");
    roster.Add(Attorney("Bob Baker"), {Login("District of Alaska", "baker", "bp")}, "bob key");
    const std::string ann = std::to_string(roster.Entries()[0].number);
    const std::string bob = std::to_string(roster.Entries()[1].number);
    Exec("INSERT INTO Ch13Login VALUES ('Smith Trustee', 'annlogin', 'ABCD', " + ann + ")");
    Exec("UPDATE AttorneyTable SET Chap13Annex = 'Annex A' WHERE AttorneyNumber = " + ann);

    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    ASSERT_TRUE(roster.LoadForEdit(0, info, logins, key));
    EXPECT_EQ(info.Name, "Ann Able");
    EXPECT_EQ(info.PacerId, "pacer-Ann Able");
    EXPECT_EQ(info.Password.str(), "pacer pass");
    EXPECT_EQ(info.Chap13Annex, "Annex A");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[0].UserName, "o'brien");
    EXPECT_EQ(logins[0].Password.str(), "first");
    EXPECT_EQ(logins[1].District, "Eastern District of New York");
    EXPECT_EQ(key.str(), "old key");

    info.Name = "Ann Able-Cole";
    info.City = "Troy";
    AssignSecret(info.Password, "");
    logins.erase(logins.begin());
    AssignSecret(logins[0].Password, "changed");
    logins.push_back(Login("Northern District of New York", "ann", "third"));
    roster.Edit(0, info, logins, "new key");

    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann Able-Cole", "Bob Baker"}));
    EXPECT_EQ(
        Query("SELECT Name, City, Chap13Annex, PacerPassword FROM AttorneyTable WHERE AttorneyNumber = " +
              ann),
        (std::vector<std::string>{"Ann Able-Cole|Troy|Annex A|"}));
    EXPECT_EQ(Query("SELECT UserName FROM EcfTable WHERE AttorneyNumber = " + ann + " ORDER BY rowid"),
              (std::vector<std::string>{"able", "ann"}));
    EXPECT_EQ(Query("SELECT UserName FROM EcfTable WHERE AttorneyNumber = " + bob),
              (std::vector<std::string>{"baker"}));
    EXPECT_EQ(
        Query("SELECT TrusteeName, UserName FROM Ch13Login WHERE Attorney = " + ann + " ORDER BY rowid"),
        (std::vector<std::string>{"Smith Trustee|annlogin", "NDC|Placeholder"}));

    ASSERT_TRUE(roster.LoadForEdit(0, info, logins, key));
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[0].Password.str(), "changed");
    EXPECT_EQ(logins[1].UserName, "ann");
    EXPECT_EQ(key.str(), "new key");
    EXPECT_EQ(info.Password.str(), "");
    ASSERT_TRUE(roster.LoadForEdit(1, info, logins, key));
    EXPECT_EQ(key.str(), "bob key");
}

TEST_F(AttorneyRosterTest, LoginsAreReadWithDoubledQuotesReducedAndRowsGoneAreNotLoaded) {
    roster.Load();
    roster.Add(Attorney("Ann Able"), {}, "");
    const std::string ann = std::to_string(roster.Entries()[0].number);
    Exec("INSERT INTO EcfTable VALUES (" + ann + ", 'O''''Hare District', 'a''''b', '', 'c''''''''d')");
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    ASSERT_TRUE(roster.LoadForEdit(0, info, logins, key));
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].District, "O'Hare District");
    EXPECT_EQ(logins[0].UserName, "a'b");
    EXPECT_EQ(logins[0].BarNumber, "c''d");

    Exec("DELETE FROM AttorneyTable");
    EXPECT_FALSE(roster.LoadForEdit(0, info, logins, key));
}

TEST_F(AttorneyRosterTest, DeletingRemovesTheAttorneyItsLoginsAndItsCh13Rows) {
    roster.Load();
    roster.Add(Attorney("Ann Able", true), {Login("District of Alaska", "ann", "p")}, "k");
    roster.Add(Attorney("Bob Baker"), {Login("District of Alaska", "bob", "p")}, "k");
    const std::string ann = std::to_string(roster.Entries()[0].number);
    const std::string bob = std::to_string(roster.Entries()[1].number);
    Exec("INSERT INTO Ch13Login VALUES ('Smith Trustee', 'annlogin', 'ABCD', " + ann + ")");

    roster.Delete(0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Bob Baker"}));
    EXPECT_EQ(roster.DefaultNumber(), -1);
    EXPECT_EQ(Query("SELECT AttorneyNumber FROM AttorneyTable"), (std::vector<std::string>{bob}));
    EXPECT_EQ(Query("SELECT AttorneyNumber FROM EcfTable"), (std::vector<std::string>{bob}));
    EXPECT_EQ(Query("SELECT Attorney FROM Ch13Login"), (std::vector<std::string>{bob}));
}

TEST_F(AttorneyRosterTest, ADatabaseFailureInAnyActionLeavesTablesAndListAsTheyWere) {
    roster.Load();
    roster.Add(Attorney("Ann Able", true), {Login("District of Alaska", "ann", "p")}, "k");
    roster.Add(Attorney("Bob Baker"), {Login("District of Alaska", "bob", "p")}, "k");
    const auto tables = Tables();
    const auto texts = Texts();
    const std::int32_t defaultNumber = roster.DefaultNumber();

    struct Case {
        const char* what;
        const char* trigger; // fails the action's last statement
        std::function<void()> action;
    };
    AttorneyInfo edited;
    EcfLoginList logins;
    tl::SecretString key;
    ASSERT_TRUE(roster.LoadForEdit(1, edited, logins, key));
    edited.Name = "Bob Baker-Cole";
    edited.Default = true;
    const Case cases[] = {
        {"add", "BEFORE INSERT ON Ch13Login", [&] { roster.Add(Attorney("Cy Cole"), {}, ""); }},
        {"add default", "BEFORE UPDATE OF \"Default\" ON AttorneyTable WHEN NEW.\"Default\" = 0",
         [&] { roster.Add(Attorney("Cy Cole", true), {}, ""); }},
        {"edit", "BEFORE INSERT ON Ch13Login", [&] { roster.Edit(1, edited, logins, "changed"); }},
        {"edit default", "BEFORE UPDATE OF \"Default\" ON AttorneyTable WHEN NEW.\"Default\" = 0",
         [&] { roster.Edit(1, edited, logins, "changed"); }},
        {"delete", "BEFORE DELETE ON Ch13Login", [&] { roster.Delete(0); }},
    };
    for (const Case& c : cases) {
        Exec(std::string("CREATE TRIGGER fail ") + c.trigger +
             " BEGIN SELECT RAISE(ABORT, 'disk on fire'); END");
        try {
            c.action();
            ADD_FAILURE() << c.what << " succeeded";
        } catch (const CDBException& e) {
            EXPECT_EQ(e.GetErrorMessage(), "disk on fire") << c.what;
        }
        Exec("DROP TRIGGER fail");
        EXPECT_FALSE(theMainDb.IsInTransaction()) << c.what;
        EXPECT_EQ(Tables(), tables) << c.what;
        EXPECT_EQ(Texts(), texts) << c.what;
        EXPECT_EQ(roster.DefaultNumber(), defaultNumber) << c.what;
    }
    // Nothing is left half-done: the same actions succeed afterwards.
    roster.Edit(1, edited, logins, "changed");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann Able", "Bob Baker-Cole*"}));
}

TEST_F(AttorneyRosterTest, ADatabaseLockedByAnotherWorkstationFailsTheActionCleanly) {
    roster.Load();
    sqlite3_busy_timeout(theMainDb.Handle(), 0);
    CDatabase other;
    other.OpenEx(FormatConnectString(kHome, "tallymar"));
    ASSERT_EQ(sqlite3_exec(other.Handle(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    try {
        roster.Add(Attorney("Ann Able"), {}, "");
        ADD_FAILURE() << "the add went through a locked database";
    } catch (const CDBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "database is locked");
    }
    EXPECT_TRUE(roster.Entries().empty());
    EXPECT_FALSE(theMainDb.IsInTransaction());
    sqlite3_exec(other.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    roster.Add(Attorney("Ann Able"), {}, "");
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable"), (std::vector<std::string>{"Ann Able"}));
}

TEST_F(AttorneyRosterTest, EveryFieldStoresItsLongestValueAndSecretsOneCharacterMoreDoNot) {
    using L = RosterFieldLimits;
    const auto text = [](int length) { return std::string(static_cast<std::size_t>(length), '\xE9'); };
    AttorneyInfo info;
    info.Name = text(L::Name);
    info.Initials = text(L::Initials);
    info.Address1 = info.Address2 = text(L::Address);
    info.City = text(L::City);
    info.State = text(L::State);
    info.Zipcode = text(L::Zipcode);
    info.Telephone = text(L::Telephone);
    info.Fax = text(L::Fax);
    info.email = text(L::email);
    info.Firm = text(L::Firm);
    info.PacerId = text(L::PacerId);
    AssignSecret(info.Password, text(L::Password));
    EcfLogin login;
    login.District = text(L::District);
    login.UserName = text(L::EcfUserName);
    AssignSecret(login.Password, text(L::EcfPassword));
    login.BarNumber = text(L::BarNumber);
    roster.Load();
    roster.Add(info, {login}, text(L::NationalDataCenterKey));

    AttorneyInfo loaded;
    EcfLoginList logins;
    tl::SecretString key;
    ASSERT_TRUE(roster.LoadForEdit(0, loaded, logins, key));
    EXPECT_EQ(loaded.Name, info.Name);
    EXPECT_EQ(loaded.Password.str(), info.Password.str());
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0].Password.str(), login.Password.str());
    EXPECT_EQ(key.str(), text(L::NationalDataCenterKey));

    // The limits are the columns' own: one character more does not fit.
    const auto tables = Tables();
    AssignSecret(login.Password, text(L::EcfPassword + 1));
    EXPECT_THROW(roster.Edit(0, loaded, {login}, key.str()), CDBException);
    AssignSecret(login.Password, "");
    EXPECT_THROW(roster.Edit(0, loaded, {login}, text(L::NationalDataCenterKey + 1)), CDBException);
    AssignSecret(loaded.Password, text(L::Password + 1));
    EXPECT_THROW(roster.Edit(0, loaded, {login}, ""), CDBException);
    EXPECT_EQ(Tables(), tables);

    // Secrets in clear are kept in storage that is wiped when released.
    static_assert(std::is_same_v<decltype(AttorneyInfo::Password), tl::SecretString>);
    static_assert(std::is_same_v<decltype(EcfLogin::Password), tl::SecretString>);
}
