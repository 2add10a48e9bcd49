// Every statement the program runs, in the dialect as it is written, against its table in the
// state in which the program runs it: the importers' inserts and look-ups, the upgrade ladder's
// schema changes on databases of the older levels, the attorney roster's reads and writes.
#include "db/CDBException.h"
#include "db/SqlText.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "tables/CAttorneyRecord.h"
#include "tables/CCh13LoginRecord.h"
#include "tables/CChecklistRecord.h"
#include "tables/CChecklistTriggerRecord.h"
#include "tables/CCreditorRecord.h"
#include "tables/CEcfRecord.h"
#include "tables/CEventRecord.h"
#include "tables/CTrusteeRecord.h"
#include "tables/CUserNameRecord.h"
#include "tables/DatabaseSchema.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tl::Format;
using tltest::DatabaseTest;
using Lines = std::vector<std::string>;

namespace {

class JetStatementsTest : public DatabaseTest {
protected:
    JetStatementsTest() { CreateAndOpen(db); }

    void Run(std::span<const SchemaStep> schema) { CreateTables(db, schema); }
    void Run(std::initializer_list<std::string> statements) {
        CTransaction transaction(db);
        for (const std::string& statement : statements)
            db.ExecuteSQL(statement);
        transaction.Commit();
    }
    bool Fails(const std::string& statement) {
        try {
            db.ExecuteSQL(statement);
        } catch (const CDBException&) {
            return true;
        }
        return false;
    }

    CDatabase db;
};

const char kGuid[] = "0f8fad5b-d9cb-469f-a165-70867728950e";

} // namespace

TEST_F(JetStatementsTest, ChecklistImport) {
    Run(kMainDatabaseSchema);
    db.ExecuteSQL(Format("INSERT INTO CheckListTriggerTable (trigger, description) VALUES('%s', '%s')", kGuid,
                         SqlQuote("Debtor's spouse files").c_str()));
    EXPECT_TRUE(Fails(Format("INSERT INTO CheckListTriggerTable (trigger, description) VALUES('%s', '%s')",
                             tl::ToUpper(kGuid).c_str(), "again")));
    CChecklistTriggerRecord trigger(&db);
    trigger.Open(CRecordset::snapshot,
                 Format("SELECT * FROM CheckListTriggerTable WHERE trigger = '%s'", kGuid),
                 CRecordset::readOnly);
    EXPECT_EQ(trigger.description, "Debtor's spouse files");

    const std::string nil = "00000000-0000-0000-0000-000000000000";
    const std::string select = Format("SELECT * FROM CheckListTable WHERE ID='%s'", kGuid);
    {
        CChecklistRecord item(&db);
        item.Open(CRecordset::dynaset, select);
        ASSERT_TRUE(item.IsEOF());
        db.ExecuteSQL(
            Format("INSERT INTO CheckListTable ([ID], beforeafter, subsidiary, [text], [desc], flagslo, "
                   "flagshi, resideslo, resideshi, districts, trigger) VALUES('%s', '%s', '%s', '%s', '%s', "
                   "%d, %d, %d, %d, '%s', '%s')",
                   kGuid, nil.c_str(), nil.c_str(), SqlQuote("File the debtor's taxes").c_str(), "", -1, -1,
                   0, 1, "NYSB,NYEB", kGuid));
    }
    CChecklistRecord item(&db);
    item.Open(CRecordset::dynaset, select);
    ASSERT_FALSE(item.IsEOF());
    EXPECT_EQ(item.text, "File the debtor's taxes");
    EXPECT_EQ(item.flagslo, -1);
    EXPECT_EQ(item.resideshi, 1);
    item.Edit();
    item.text = "Later version";
    item.flagshi = 0x20000000;
    item.Update();
    item.Close();
    EXPECT_EQ(Rows(db, "SELECT text, flagshi, districts FROM CheckListTable"),
              (Lines{"Later version|536870912|NYSB,NYEB"}));
    db.ExecuteSQL(Format("DELETE FROM CheckListTable WHERE ID='%s'", kGuid));
    EXPECT_TRUE(Rows(db, "SELECT * FROM CheckListTable").empty());
}

TEST_F(JetStatementsTest, CreditorAndTrusteeImport) {
    Run(kCreditorDatabaseSchema);
    Run(kMainDatabaseSchema);
    const char* kInsertCreditor =
        "INSERT INTO CreditorTable VALUES('%s', '%s', '%s', '%s', '%s', %d, %d, '%s', '%s', '%s', '%s')";
    const char* kSelectCreditor = "SELECT * FROM CreditorTable WHERE CreditorName = '%s'";
    const std::string name = SqlQuote("Macy's");
    {
        CTransaction transaction(db);
        db.ExecuteSQL(Format(kInsertCreditor, name.c_str(), "PO Box 8218", " ", "Mason", "OH", 45040, 8218,
                             " ", " ", " ", "USA"));
        // The same connection sees its own uncommitted row.
        CCreditorRecord check(&db);
        check.Open(CRecordset::snapshot, Format(kSelectCreditor, SqlQuote("MACY'S").c_str()),
                   CRecordset::readOnly);
        EXPECT_FALSE(check.IsEOF());
        transaction.Commit();
    }
    CCreditorRecord creditor(&db);
    creditor.Open(CRecordset::snapshot, Format(kSelectCreditor, name.c_str()), CRecordset::readOnly);
    EXPECT_EQ(creditor.CreditorName, "Macy's");
    EXPECT_EQ(creditor.Address2, " ");
    EXPECT_EQ(creditor.PlusFour, 8218);
    EXPECT_EQ(creditor.Country, "USA");

    const char* kInsertTrustee =
        "INSERT INTO TrusteeTable VALUES('%s', '%s', '%s', '%s', '%s', '%s', '%s', '%s', "
        "'%s', '%s', %s, '%s', '%s')";
    db.ExecuteSQL(Format(kInsertTrustee, "Jones", SqlQuote("Mary O'Connor Jones").c_str(), "1 Court Sq", " ",
                         "Albany", "NY", "12207", " ", " ", " ", "1", "Albany", "1234"));
    // An absent Ch13 leaves a bare blank in the statement, which fails.
    EXPECT_TRUE(
        Fails(Format(kInsertTrustee, "Smith", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ")));
    CTrusteeRecord trustee(&db);
    trustee.Open(CRecordset::snapshot, Format("SELECT * FROM TrusteeTable WHERE TrusteeName = '%s'", "jones"),
                 CRecordset::readOnly);
    EXPECT_EQ(trustee.FullName, "Mary O'Connor Jones");
    EXPECT_EQ(trustee.Ch13, 1);
    EXPECT_EQ(trustee.Ch13Id, "1234");
}

TEST_F(JetStatementsTest, Chapter13Import) {
    Run(kMainDatabaseSchema);
    const char* kLink = "INSERT INTO Chap13ProvisionsByState (ProvisionId, ProvisionDistrict, ProvisionType) "
                        "VALUES('%s', '%s', %s)";
    const char* kPlan =
        "INSERT INTO Chap13PlanText ([District], [Treatment], [Usage], [Text], [Desc]) VALUES('%s', "
        "%d, %d, '%s', '%s')";
    db.ExecuteSQL(Format("INSERT INTO Chap13Provisions VALUES('%s', '%s', '%s')", "P1", "Vesting",
                         SqlQuote("Property of the estate vests in the debtor's name").c_str()));
    EXPECT_TRUE(
        Fails(Format("INSERT INTO Chap13Provisions VALUES('%s', '%s', '%s')", "p1", "again", "again")));
    db.ExecuteSQL(Format(kLink, "P1", "NYSB", "2"));
    EXPECT_TRUE(Fails(Format(kLink, "P1", "NYSB", " ")));
    db.ExecuteSQL(Format(kPlan, "NYSB", 1, 2, SqlQuote("The debtor's plan").c_str(), "Plan"));
    EXPECT_TRUE(Fails(Format(kPlan, std::string(51, 'D').c_str(), 1, 2, "text", "desc")));
    db.ExecuteSQL(Format(kPlan, "NYEB", 3, 4, "text", "desc"));
    EXPECT_EQ(Rows(db, "SELECT * FROM Chap13ProvisionsByState"), (Lines{"1|P1|NYSB|2"}));
    EXPECT_EQ(Rows(db, "SELECT * FROM Chap13PlanText"),
              (Lines{"1|NYSB|1|2|The debtor's plan|Plan", "2|NYEB|3|4|text|desc"}));
    EXPECT_EQ(Rows(db, "SELECT ProvisionText FROM Chap13Provisions"),
              (Lines{"Property of the estate vests in the debtor's name"}));
}

TEST_F(JetStatementsTest, UpgradeOfAnOldMainDatabase) {
    // A main database of level 0: no ServiceTable, GlobalSettings, CustomExemptions, checklist or
    // chapter 13 tables; EventTable without Guid and with short texts; Ch13 a Yes/No field.
    Run({"CREATE TABLE EventTable (EventNumber COUNTER PRIMARY KEY,[DateTime] DATETIME,Place "
         "TEXT(255),Description "
         "TEXT(255),Client INTEGER,BankruptcyCase INTEGER,AdversaryCase INTEGER)",
         "CREATE TABLE TrusteeTable (TrusteeName TEXT(255) PRIMARY KEY,FullName TEXT(255),Address1 "
         "TEXT(255),Address2 "
         "TEXT(255),City TEXT(255),State TEXT(2),ZipCode TEXT(50),Telephone TEXT(50),Fax TEXT(50),Email "
         "TEXT(255),Ch13 YESNO,Ch13Select TEXT(255),Ch13Id TEXT(255))",
         "CREATE TABLE UserName (UserName TEXT(255),Password MEMO,Address1 TEXT(255),Address2 TEXT(255),City "
         "TEXT(255),State TEXT(2),Zipcode TEXT(50),Phone TEXT(50),Fax TEXT(50),EMail TEXT(255))",
         "INSERT INTO EventTable (Place, Description, Client) VALUES ('Court', 'Hearing', 4)",
         "INSERT INTO EventTable (Place, Description, Client) VALUES ('Office', 'Meeting', 5)",
         "INSERT INTO TrusteeTable (TrusteeName, Ch13) VALUES ('Jones', TRUE)",
         "INSERT INTO TrusteeTable (TrusteeName, Ch13) VALUES ('Smith', FALSE)",
         "INSERT INTO UserName (UserName) VALUES ('Chen Law')"});

    // The probe of the event table, always rolled back.
    {
        CTransaction probe(db);
        db.ExecuteSQL("INSERT INTO EventTable (Description, Client) VALUES ('Nonsense and drivel', -1)");
        db.ExecuteSQL("DELETE FROM EventTable WHERE Description = 'Nonsense and drivel'");
    }
    Run({"CREATE TABLE ServiceTable (ServiceTableId COUNTER PRIMARY KEY,AttorneyNumber INTEGER,Analysis "
         "YESNO,Preparation YESNO,Meeting YESNO,AP YESNO,Other1 MEMO,Other2 MEMO,Excluded MEMO,Chapter "
         "INTEGER)"});
    Run({"CREATE TABLE GlobalSettings (OptionName TEXT(255) PRIMARY KEY,LongValue INTEGER,TextValue "
         "MEMO,DoubleValue "
         "DOUBLE)"});
    Run({"CREATE TABLE CustomExemptions ([Guid] TEXT(64) PRIMARY KEY,Version INTEGER,Data MEMO)"});
    {
        CTransaction transaction(db);
        db.ExecuteSQL("ALTER TABLE EventTable ADD [Guid] TEXT(64)");
        CEventRecord event(&db);
        event.Open(CRecordset::snapshot, "SELECT * FROM EventTable");
        for (int n = 0; !event.IsEOF(); event.MoveNext(), ++n) {
            if (event.IsDeleted())
                continue;
            event.Edit();
            event.Guid = Format("6f1c1d8e-2b1a-4c55-9e0d-3b7f4a2c9e1%d", n);
            event.Update();
        }
        transaction.Commit();
    }
    EXPECT_EQ(Rows(db, "SELECT EventNumber, Place, Guid FROM EventTable"),
              (Lines{"1|Court|6f1c1d8e-2b1a-4c55-9e0d-3b7f4a2c9e10",
                     "2|Office|6f1c1d8e-2b1a-4c55-9e0d-3b7f4a2c9e11"}));
    // The table was just made with DoubleValue: this step fails and the ladder goes on.
    EXPECT_TRUE(Fails("ALTER TABLE GlobalSettings ADD DoubleValue DOUBLE"));
    Run({"ALTER TABLE EventTable ALTER COLUMN Place MEMO",
         "ALTER TABLE EventTable ALTER COLUMN Description MEMO",
         "ALTER TABLE EventTable ALTER COLUMN [Guid] MEMO"});
    Run({"CREATE TABLE CheckListTable ([ID] TEXT(48) PRIMARY KEY,beforeafter TEXT(48),subsidiary "
         "TEXT(48),[text] "
         "MEMO,[desc] MEMO,flagslo INTEGER,flagshi INTEGER,resideslo INTEGER,resideshi INTEGER,districts "
         "MEMO,trigger "
         "TEXT(48))",
         "CREATE TABLE CheckListTriggerTable (trigger TEXT(48) PRIMARY KEY, description TEXT(255))"});
    Run({"CREATE TABLE Chap13Provisions ([ProvisionId] TEXT(50) PRIMARY KEY,[ProvisionDesc] "
         "MEMO,[ProvisionText] MEMO)",
         "CREATE TABLE Chap13PlanText ([RecordNumber] COUNTER PRIMARY KEY,[District] TEXT(50),[Treatment] "
         "INTEGER,[Usage] INTEGER,[Text] MEMO,[Desc] MEMO)",
         "CREATE TABLE Chap13ProvisionsByState ([RecordNumber] COUNTER PRIMARY KEY,[ProvisionId] "
         "TEXT(50),[ProvisionDistrict] TEXT(50),[ProvisionType] INTEGER)"});
    Run({"ALTER TABLE TrusteeTable ALTER COLUMN Ch13 INTEGER",
         "UPDATE TrusteeTable SET Ch13 = 1 WHERE Ch13 = -1"});
    Run({"ALTER TABLE UserName ALTER COLUMN [UserName] MEMO"});

    // What the product reads afterwards.
    db.ExecuteSQL("INSERT INTO EventTable (Place, Client) VALUES ('" + std::string(300, 'p') + "', 6)");
    CEventRecord event(&db);
    event.Open(CRecordset::snapshot, "SELECT * FROM EventTable WHERE Client = 4", CRecordset::readOnly);
    EXPECT_EQ(event.EventNumber, 1);
    EXPECT_EQ(event.Description, "Hearing");
    EXPECT_EQ(event.Guid, "6f1c1d8e-2b1a-4c55-9e0d-3b7f4a2c9e10");
    EXPECT_EQ(Rows(db, "SELECT TrusteeName, Ch13 FROM TrusteeTable"), (Lines{"Jones|1", "Smith|0"}));
    db.ExecuteSQL("UPDATE UserName SET UserName = '" + std::string(300, 'F') + "'");
}

TEST_F(JetStatementsTest, UpgradeOfCheckListAndEventTablesOnACurrentDatabase) {
    Run(kMainDatabaseSchema);
    // Level 7 drops and re-creates the checklist tables.
    Run({"DROP TABLE CheckListTable"});
    Run({"DROP TABLE CheckListTriggerTable"});
    Run({"CREATE TABLE CheckListTable ([ID] TEXT(48) PRIMARY KEY,beforeafter TEXT(48),subsidiary "
         "TEXT(48),[text] "
         "MEMO,[desc] MEMO,flagslo INTEGER,flagshi INTEGER,resideslo INTEGER,resideshi INTEGER,districts "
         "MEMO,trigger "
         "TEXT(48))",
         "CREATE TABLE CheckListTriggerTable (trigger TEXT(48) PRIMARY KEY, description TEXT(255))"});
    // A broken event table is rebuilt empty.
    db.ExecuteSQL("INSERT INTO EventTable (Description, Client) VALUES ('Hearing', 1)");
    Run({"DROP TABLE EventTable",
         "CREATE TABLE EventTable (EventNumber COUNTER PRIMARY KEY,[DateTime] DATETIME,Place "
         "MEMO,Description MEMO,Client INTEGER,BankruptcyCase INTEGER,AdversaryCase "
         "INTEGER,[Guid] TEXT(64))"});
    EXPECT_TRUE(Rows(db, "SELECT * FROM EventTable").empty());
    // A table that exists already cannot be made again: the step fails and is rolled back.
    EXPECT_TRUE(
        Fails("CREATE TABLE CustomExemptions ([Guid] TEXT(64) PRIMARY KEY,Version INTEGER,Data MEMO)"));
}

TEST_F(JetStatementsTest, UpgradeOfAnOldCreditorDatabase) {
    // Level 0: short address columns, no Country, no notice tables.
    Run({"CREATE TABLE CreditorTable (CreditorName TEXT(255) PRIMARY KEY,Address1 TEXT(50),Address2 "
         "TEXT(255),City "
         "TEXT(255),State TEXT(2),Zip INTEGER,PlusFour INTEGER,Alias1 TEXT(255),Alias2 TEXT(255),Alias3 "
         "TEXT(255))",
         "INSERT INTO CreditorTable VALUES ('Sears', '3333 Beverly Rd', ' ', 'Hoffman Estates', 'IL', 60179, "
         "0, 'Sears "
         "Roebuck', ' ', ' ')"});
    Run({"ALTER TABLE CreditorTable ADD Country TEXT(255)",
         "ALTER TABLE CreditorTable ALTER COLUMN Address1 TEXT(255)",
         "ALTER TABLE CreditorTable ALTER COLUMN Address1 TEXT(255)",
         "ALTER TABLE CreditorTable ALTER COLUMN State TEXT(255)"});
    db.ExecuteSQL("UPDATE CreditorTable SET State = 'Illinois', Address1 = '" + std::string(200, 'a') + "'");
    Run({"ALTER TABLE CreditorTable DROP Country", "ALTER TABLE CreditorTable ADD Country TEXT(255)"});
    Run({"CREATE TABLE AlwaysNotice ([ID] COUNTER PRIMARY KEY,[CreditorName] TEXT(255))",
         "CREATE TABLE AlsoNotice ([ID] COUNTER PRIMARY KEY,CreditorName TEXT(255),Address1 "
         "TEXT(255),Address2 "
         "TEXT(255),City TEXT(255),State TEXT(255),Zip INTEGER,PlusFour INTEGER,Country TEXT(255))"});
    CCreditorRecord creditor(&db);
    creditor.Open(CRecordset::snapshot, "SELECT * FROM CreditorTable WHERE CreditorName = 'sears'",
                  CRecordset::readOnly);
    EXPECT_EQ(creditor.State, "Illinois");
    EXPECT_EQ(creditor.Zip, 60179);
    EXPECT_EQ(creditor.Alias1, "Sears Roebuck");
    EXPECT_EQ(creditor.Country, "");
}

TEST_F(JetStatementsTest, CreditorCountryComesLastAfterTheReorder) {
    // A creditor table whose Country stands before the aliases reads the wrong columns until the
    // reorder moves it to the end.
    Run({"CREATE TABLE CreditorTable (CreditorName TEXT(255) PRIMARY KEY,Address1 TEXT(255),Address2 "
         "TEXT(255),City "
         "TEXT(255),State TEXT(255),Zip INTEGER,PlusFour INTEGER,Country TEXT(255),Alias1 TEXT(255),Alias2 "
         "TEXT(255),Alias3 TEXT(255))",
         "INSERT INTO CreditorTable (CreditorName, Zip, PlusFour, Country, Alias1) VALUES ('Sears', 60179, "
         "0, 'USA', "
         "'Sears Roebuck')"});
    CCreditorRecord before(&db);
    before.Open(CRecordset::snapshot, "SELECT * FROM CreditorTable", CRecordset::readOnly);
    EXPECT_EQ(before.Alias1, "USA");
    Run({"ALTER TABLE CreditorTable DROP Country", "ALTER TABLE CreditorTable ADD Country TEXT(255)"});
    CCreditorRecord after(&db);
    after.Open(CRecordset::snapshot, "SELECT * FROM CreditorTable", CRecordset::readOnly);
    EXPECT_EQ(after.Alias1, "Sears Roebuck");
    EXPECT_EQ(Columns(db, "CreditorTable").back(), "Country");
}

TEST_F(JetStatementsTest, AttorneyRoster) {
    Run(kMainDatabaseSchema);
    db.ExecuteSQL(
        "INSERT INTO Ch13Login (TrusteeName, UserName, Password, Attorney) VALUES ('Jones', 'ann', 'AB', 7)");
    std::int32_t number = -1;
    for (const char* name : {"Zoe Park", "ann lee"}) {
        CTransaction transaction(db);
        db.ExecuteSQL("INSERT INTO AttorneyTable (Name, Initials) VALUES ('Godzilla', 'Godzilla')");
        CAttorneyRecord attorney(&db);
        attorney.Open(CRecordset::dynaset, "SELECT * FROM AttorneyTable WHERE Initials = 'Godzilla'");
        attorney.Edit();
        attorney.Name = name;
        attorney.Initials = "X";
        attorney.Default = true;
        attorney.Password = "A1B2";
        attorney.Update();
        number = attorney.AttorneyNumber;
        attorney.Close();
        db.ExecuteSQL(
            Format("INSERT INTO EcfTable (AttorneyNumber, District, UserName, Password, BarNumber) VALUES "
                   "(%d, '%s', '%s', '%s', '%s')",
                   number, "Southern District of New York", SqlQuote("o'hara").c_str(), "C0FFEE", "12345"));
        db.ExecuteSQL(
            Format("INSERT INTO Ch13Login (TrusteeName, UserName, Password, Attorney) VALUES ('NDC', "
                   "'Placeholder', '%s', %d)",
                   "", number));
        transaction.Commit();
    }
    EXPECT_EQ(number, 2);
    EXPECT_TRUE(Rows(db, "SELECT * FROM AttorneyTable WHERE Name = 'Godzilla'").empty());

    CAttorneyRecord list(&db);
    list.Open(CRecordset::snapshot, "SELECT * FROM AttorneyTable ORDER BY Name", CRecordset::readOnly);
    EXPECT_EQ(list.Name, "ann lee");
    list.MoveNext();
    EXPECT_EQ(list.Name, "Zoe Park");
    EXPECT_EQ(list.Password, "A1B2");

    // Clearing the earlier default.
    {
        CTransaction transaction(db);
        CAttorneyRecord previous(&db);
        previous.Open(CRecordset::dynaset,
                      Format("SELECT * FROM AttorneyTable WHERE AttorneyNumber = %d", 1));
        previous.Edit();
        previous.Default = false;
        previous.Update();
        transaction.Commit();
    }
    EXPECT_EQ(Rows(db, "SELECT AttorneyNumber FROM AttorneyTable WHERE \"Default\" = -1"), (Lines{"2"}));

    CEcfRecord login(&db);
    login.Open(CRecordset::snapshot, Format("SELECT * FROM EcfTable WHERE AttorneyNumber = %d", number),
               CRecordset::readOnly);
    EXPECT_EQ(login.UserName, "o'hara");
    CCh13LoginRecord key(&db);
    key.Open(CRecordset::snapshot,
             Format("SELECT * FROM Ch13Login WHERE Attorney = %d AND TrusteeName = 'NDC'", number),
             CRecordset::readOnly);
    EXPECT_EQ(key.UserName, "Placeholder");
    EXPECT_EQ(key.Password, "");

    // Editing replaces the logins and the key and keeps the trustee logins; deleting removes all.
    Run({Format("DELETE FROM EcfTable WHERE AttorneyNumber = %d", 7),
         Format("DELETE FROM Ch13Login WHERE Attorney = %d AND TrusteeName = 'NDC'", 7)});
    EXPECT_EQ(Rows(db, "SELECT TrusteeName FROM Ch13Login WHERE Attorney = 7"), (Lines{"Jones"}));
    Run({Format("DELETE FROM AttorneyTable WHERE AttorneyNumber = %d", number),
         Format("DELETE FROM EcfTable WHERE AttorneyNumber = %d", number),
         Format("DELETE FROM Ch13Login WHERE Attorney = %d", number)});
    EXPECT_EQ(Rows(db, "SELECT count(*) FROM AttorneyTable"), (Lines{"1"}));
    EXPECT_EQ(Rows(db, "SELECT count(*) FROM EcfTable"), (Lines{"1"}));
    EXPECT_EQ(Rows(db, "SELECT count(*) FROM Ch13Login"), (Lines{"2"}));
}

TEST_F(JetStatementsTest, GlobalSettingsOfAnOlderLevelGainsDoubleValue) {
    Run({"CREATE TABLE GlobalSettings (OptionName TEXT(255) PRIMARY KEY,LongValue INTEGER,TextValue MEMO)",
         "INSERT INTO GlobalSettings VALUES ('Backup', 1, 'weekly')"});
    Run({"ALTER TABLE GlobalSettings ADD DoubleValue DOUBLE"});
    db.ExecuteSQL("UPDATE GlobalSettings SET DoubleValue = 2.5 WHERE OptionName = 'BACKUP'");
    EXPECT_EQ(Rows(db, "SELECT * FROM GlobalSettings"), (Lines{"Backup|1|weekly|2.5"}));
}
