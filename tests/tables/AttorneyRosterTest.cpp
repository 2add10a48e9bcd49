#include "tables/AttorneyRoster.h"

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "crypto/CBlowfish.h"
#include "crypto/MasterKey.h"
#include "crypto/SecretText.h"
#include "db/CDBException.h"
#include "db/SqlText.h"
#include "install/CreateDatabases.h"
#include "tables/DatabaseHandles.h"
#include "tests/db/DatabaseTestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using Lines = std::vector<std::string>;

class AttorneyRosterTest : public tltest::DatabaseTest {
protected:
    AttorneyRosterTest() {
        sheet.firmName = "Lee & O'Hara";
        sheet.masterPassword = "Tr0ub4dor";
        EXPECT_TRUE(CreateMainDatabase(sheet, kHome));
        theMainDb.OpenEx(FormatConnectString(kHome, "tallymar"));
        theMasterKey = std::make_unique<CBlowfish>(sheet.masterPassword);
        roster.Load();
    }

    static AttorneyInfo Attorney(const std::string& name, bool isDefault = false) {
        AttorneyInfo info;
        info.Name = name;
        info.City = "Albany";
        info.Default = isDefault;
        AssignSecret(info.Password, "pacer " + name);
        return info;
    }
    static EcfLogin Login(const std::string& user) {
        EcfLogin login;
        login.District = "District of Alaska";
        login.UserName = user;
        AssignSecret(login.Password, "pw " + user);
        return login;
    }
    Lines Query(const std::string& sqlite) { return Rows(theMainDb, sqlite); }
    // A stored secret in clear.
    std::string Clear(const std::string& sqlite) {
        const Lines rows = Query(sqlite);
        return rows.size() == 1 ? DecryptHexText(*theMasterKey, rows[0]).value().str() : "?";
    }
    Lines Texts() const {
        Lines texts;
        for (const RosterEntry& entry : roster.Entries())
            texts.push_back(entry.Text());
        return texts;
    }
    std::string Number(std::size_t index) const { return std::to_string(roster.Entries().at(index).number); }
    void Exec(const std::string& sqlite) {
        ASSERT_EQ(sqlite3_exec(theMainDb.Handle(), sqlite.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite;
    }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kInstallCaptionId};
    AttorneyRoster roster;
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
};

} // namespace

TEST_F(AttorneyRosterTest, AddingGivesEachAttorneyItsOwnRowAndNeverTouchesAnotherGodzilla) {
    EXPECT_TRUE(roster.Entries().empty());
    EXPECT_EQ(roster.DefaultNumber(), -1);
    Exec("INSERT INTO AttorneyTable (Name, Initials) VALUES ('Gail Odzilla', 'Godzilla')");
    const Lines gail = Query("SELECT * FROM AttorneyTable");

    roster.Add(Attorney("Chen & O'Neil"), {Login("o'brien"), Login("chen")}, "ndc key");
    roster.Add(Attorney("Chen & O'Neil"), {}, "");
    roster.Add(Attorney("Jos\xE9 M\xFCller"), {}, "");
    EXPECT_EQ(Query("SELECT * FROM AttorneyTable ORDER BY AttorneyNumber LIMIT 1"), gail);
    EXPECT_EQ(Query("SELECT count(*) FROM AttorneyTable WHERE Initials = 'Godzilla'"), Lines{"1"});
    EXPECT_EQ(Query("SELECT count(DISTINCT AttorneyNumber) FROM AttorneyTable"), Lines{"4"});
    EXPECT_EQ(Query("SELECT Name, City, Chap13Annex FROM AttorneyTable WHERE AttorneyNumber = " + Number(0)),
              Lines{"Chen & O'Neil|Albany|NULL"});
    EXPECT_EQ(Clear("SELECT PacerPassword FROM AttorneyTable WHERE AttorneyNumber = " + Number(0)),
              "pacer Chen & O'Neil");
    EXPECT_EQ(Query("SELECT UserName FROM EcfTable WHERE AttorneyNumber = " + Number(0)),
              (Lines{"o'brien", "chen"}));
    EXPECT_EQ(Clear("SELECT Password FROM EcfTable WHERE UserName = 'o''brien'"), "pw o'brien");
    // A National Data Center row for every attorney, also with an empty key.
    EXPECT_EQ(Clear("SELECT Password FROM Ch13Login WHERE TrusteeName = 'NDC' AND Attorney = " + Number(0)),
              "ndc key");
    EXPECT_EQ(Query("SELECT TrusteeName, UserName, Password FROM Ch13Login WHERE Attorney = " + Number(2)),
              Lines{"NDC|Placeholder|"});
}

TEST_F(AttorneyRosterTest, OnlyOneAttorneyIsTheDefaultAtATime) {
    roster.Add(Attorney("Ann", true), {}, "");
    roster.Add(Attorney("Bob"), {}, "");
    roster.Add(Attorney("Cy", true), {}, "");
    EXPECT_EQ(Texts(), (Lines{"Ann", "Bob", "Cy*"}));
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable WHERE \"Default\" = -1"), Lines{"Cy"});

    ASSERT_TRUE(roster.LoadForEdit(1, info, logins, key));
    info.Default = true;
    roster.Edit(1, info, logins, key.str());
    EXPECT_EQ(Texts(), (Lines{"Ann", "Bob*", "Cy"}));
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable WHERE \"Default\" = -1"), Lines{"Bob"});
    info.Default = false;
    roster.Edit(1, info, logins, key.str());
    EXPECT_EQ(Texts(), (Lines{"Ann", "Bob", "Cy"}));
    EXPECT_EQ(roster.DefaultNumber(), -1);
    EXPECT_EQ(Query("SELECT count(*) FROM AttorneyTable WHERE \"Default\" = -1"), Lines{"0"});
}

TEST_F(AttorneyRosterTest, EditingReplacesTheLoginsAndTheKeyAndKeepsTheOtherRows) {
    roster.Add(Attorney("Ann"), {Login("o'brien"), Login("second")}, "old key");
    roster.Add(Attorney("Bob"), {Login("bob")}, "");
    Exec("INSERT INTO Ch13Login VALUES ('Smith Trustee', 'ann', 'ABCD', " + Number(0) + ")");
    Exec("UPDATE AttorneyTable SET Chap13Annex = 'Annex A' WHERE AttorneyNumber = " + Number(0));
    Exec("INSERT INTO EcfTable VALUES (" + Number(0) + ", 'D', 'a''''b', '', '')");

    ASSERT_TRUE(roster.LoadForEdit(0, info, logins, key));
    EXPECT_EQ(info.Password.str(), "pacer Ann");
    EXPECT_EQ(info.Chap13Annex, "Annex A");
    ASSERT_EQ(logins.size(), 3u);
    EXPECT_EQ(logins[0].UserName, "o'brien");
    EXPECT_EQ(logins[0].Password.str(), "pw o'brien");
    EXPECT_EQ(logins[2].UserName, "a'b") << "doubled quotes are read as one";
    EXPECT_EQ(key.str(), "old key");

    info.Name = "Ann Cole";
    logins.erase(logins.begin());
    logins.back() = Login("new");
    roster.Edit(0, info, logins, "new key");
    EXPECT_EQ(Texts(), (Lines{"Ann Cole", "Bob"}));
    EXPECT_EQ(Query("SELECT Chap13Annex FROM AttorneyTable WHERE AttorneyNumber = " + Number(0)),
              Lines{"Annex A"});
    EXPECT_EQ(Query("SELECT UserName FROM EcfTable ORDER BY rowid"), (Lines{"bob", "second", "new"}));
    EXPECT_EQ(Query("SELECT TrusteeName FROM Ch13Login WHERE Attorney = " + Number(0) + " ORDER BY rowid"),
              (Lines{"Smith Trustee", "NDC"}));
    EXPECT_EQ(Clear("SELECT Password FROM Ch13Login WHERE TrusteeName = 'NDC' AND Attorney = " + Number(0)),
              "new key");

    Exec("DELETE FROM AttorneyTable WHERE AttorneyNumber = " + Number(0));
    EXPECT_FALSE(roster.LoadForEdit(0, info, logins, key));
}

TEST_F(AttorneyRosterTest, DeletingRemovesTheAttorneyWithItsLoginsAndCh13Rows) {
    roster.Add(Attorney("Ann", true), {Login("ann")}, "k");
    roster.Add(Attorney("Bob"), {Login("bob")}, "k");
    Exec("INSERT INTO Ch13Login VALUES ('Smith Trustee', 'ann', 'ABCD', " + Number(0) + ")");
    const std::string bob = Number(1);
    roster.Delete(0);
    EXPECT_EQ(Texts(), Lines{"Bob"});
    EXPECT_EQ(roster.DefaultNumber(), -1);
    EXPECT_EQ(Query("SELECT AttorneyNumber FROM AttorneyTable UNION ALL SELECT AttorneyNumber FROM EcfTable "
                    "UNION ALL SELECT Attorney FROM Ch13Login"),
              (Lines{bob, bob, bob}));
}

TEST_F(AttorneyRosterTest, ADatabaseFailureInAnyActionLeavesTheTablesAndTheListAsTheyWere) {
    roster.Add(Attorney("Ann", true), {Login("ann")}, "k");
    roster.Add(Attorney("Bob"), {Login("bob")}, "k");
    const auto tables = [&] {
        return Query("SELECT * FROM AttorneyTable UNION ALL SELECT *, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 FROM "
                     "EcfTable UNION ALL SELECT *, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 FROM Ch13Login");
    };
    const Lines before = tables();
    const Lines texts = Texts();
    ASSERT_TRUE(roster.LoadForEdit(1, info, logins, key));
    info.Default = true;
    const char* lastWrite = "BEFORE INSERT ON Ch13Login";
    const char* unmarking = "BEFORE UPDATE OF \"Default\" ON AttorneyTable WHEN NEW.\"Default\" = 0";
    const std::pair<const char*, std::function<void()>> cases[] = {
        {lastWrite, [&] { roster.Add(Attorney("Cy"), {}, ""); }},
        {unmarking, [&] { roster.Add(Attorney("Cy", true), {}, ""); }},
        {lastWrite, [&] { roster.Edit(1, info, logins, "changed"); }},
        {unmarking, [&] { roster.Edit(1, info, logins, "changed"); }},
        {"BEFORE DELETE ON Ch13Login", [&] { roster.Delete(0); }},
    };
    for (const auto& [trigger, action] : cases) {
        Exec(std::string("CREATE TRIGGER fail ") + trigger +
             " BEGIN SELECT RAISE(ABORT, 'disk on fire'); END");
        try {
            action();
            ADD_FAILURE() << trigger;
        } catch (const CDBException& e) {
            EXPECT_EQ(e.GetErrorMessage(), "disk on fire");
        }
        Exec("DROP TRIGGER fail");
        EXPECT_FALSE(theMainDb.IsInTransaction());
        EXPECT_EQ(tables(), before) << trigger;
        EXPECT_EQ(Texts(), texts) << trigger;
    }
    roster.Edit(1, info, logins, "changed");
    EXPECT_EQ(Texts(), (Lines{"Ann", "Bob*"}));
}

TEST_F(AttorneyRosterTest, EveryFieldHoldsItsLimitAndASecretOneCharacterLongerDoesNotFit) {
    using L = RosterFieldLimits;
    const auto text = [](int length) { return std::string(static_cast<std::size_t>(length), '\xE9'); };
    for (const auto& [field, length] : {std::pair{&AttorneyInfo::Name, L::Name},
                                        {&AttorneyInfo::Initials, L::Initials},
                                        {&AttorneyInfo::Address1, L::Address},
                                        {&AttorneyInfo::Address2, L::Address},
                                        {&AttorneyInfo::City, L::City},
                                        {&AttorneyInfo::State, L::State},
                                        {&AttorneyInfo::Zipcode, L::Zipcode},
                                        {&AttorneyInfo::Telephone, L::Telephone},
                                        {&AttorneyInfo::Fax, L::Fax},
                                        {&AttorneyInfo::email, L::email},
                                        {&AttorneyInfo::Firm, L::Firm},
                                        {&AttorneyInfo::PacerId, L::PacerId}})
        info.*field = text(length);
    AssignSecret(info.Password, text(L::Password));
    EcfLogin login;
    login.District = text(L::District);
    login.UserName = text(L::EcfUserName);
    AssignSecret(login.Password, text(L::EcfPassword));
    login.BarNumber = text(L::BarNumber);
    roster.Add(info, {login}, text(L::NationalDataCenterKey));
    ASSERT_TRUE(roster.LoadForEdit(0, info, logins, key));
    EXPECT_EQ(logins.at(0).Password.str(), text(L::EcfPassword));
    EXPECT_EQ(key.str(), text(L::NationalDataCenterKey));

    AssignSecret(login.Password, text(L::EcfPassword + 1));
    EXPECT_THROW(roster.Edit(0, info, {login}, ""), CDBException);
    EXPECT_THROW(roster.Edit(0, info, {}, text(L::NationalDataCenterKey + 1)), CDBException);
    AssignSecret(info.Password, text(L::Password + 1));
    EXPECT_THROW(roster.Edit(0, info, {}, ""), CDBException);
}
