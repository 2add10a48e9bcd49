#include "db/CDBException.h"
#include "tables/CAttorneyRecord.h"
#include "tables/CCh13LoginRecord.h"
#include "tables/CChecklistRecord.h"
#include "tables/CCreditorRecord.h"
#include "tables/CEventRecord.h"
#include "tables/CStateRecord.h"
#include "tables/CUserNameRecord.h"
#include "tables/DatabaseSchema.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tltest::DatabaseTest;

namespace {

class CRecordsetTest : public DatabaseTest {
protected:
    CRecordsetTest() {
        CreateAndOpen(db);
        CreateTables(db, kMainDatabaseSchema);
    }

    CDatabase db;
};

} // namespace

TEST_F(CRecordsetTest, NewRecordsCarryTheirDefaults) {
    const CCh13LoginRecord login(&db);
    EXPECT_EQ(login.Attorney, -1);
    const CAttorneyRecord attorney(&db);
    EXPECT_FALSE(attorney.Default);
    EXPECT_EQ(attorney.GetDefaultConnect(), "ODBC;DSN=MS Access Database");
    EXPECT_EQ(attorney.GetDefaultSQL(), "[AttorneyTable]");
}

TEST_F(CRecordsetTest, FieldsAreBoundByPositionNotByName) {
    // The sixteenth field is named Password but receives PacerPassword, the sixteenth column.
    db.ExecuteSQL("INSERT INTO AttorneyTable (Name, Initials, Default, PacerId, PacerPassword) "
                  "VALUES ('Ann Lee', 'AL', TRUE, 'alee', 'C0FFEE')");
    CAttorneyRecord attorney(&db);
    attorney.Open(CRecordset::snapshot, "SELECT * FROM AttorneyTable WHERE Default = TRUE",
                  CRecordset::readOnly);
    ASSERT_FALSE(attorney.IsEOF());
    EXPECT_EQ(attorney.AttorneyNumber, 1);
    EXPECT_EQ(attorney.Name, "Ann Lee");
    EXPECT_TRUE(attorney.Default);
    EXPECT_EQ(attorney.PacerId, "alee");
    EXPECT_EQ(attorney.Password, "C0FFEE");
    EXPECT_EQ(attorney.Address1, ""); // NULL reads as empty text
    attorney.MoveNext();
    EXPECT_TRUE(attorney.IsEOF());
    EXPECT_THROW(attorney.MoveNext(), CDBException);
}

TEST_F(CRecordsetTest, TextLongerThanTheBoundLengthIsCutWhenRead) {
    db.ExecuteSQL("INSERT INTO CheckListTable ([ID], [text], [desc], districts) VALUES ('i', '" +
                  std::string(3000, 't') + "', '" + std::string(2048, 'd') + "', '" + std::string(2049, 'x') +
                  "')");
    db.ExecuteSQL("INSERT INTO EventTable (Place, Description) VALUES ('" + std::string(5000, 'p') +
                  "', 'short')");
    db.ExecuteSQL("INSERT INTO UserName (UserName, Password) VALUES ('Firm', '" + std::string(4100, 'A') +
                  "')");

    CChecklistRecord item(&db);
    item.Open(CRecordset::snapshot, "SELECT * FROM CheckListTable WHERE ID='i'", CRecordset::readOnly);
    EXPECT_EQ(item.text.size(), 2048u);
    EXPECT_EQ(item.desc.size(), 2048u);
    EXPECT_EQ(item.districts.size(), 2048u);
    CEventRecord event(&db);
    event.Open(CRecordset::snapshot, "SELECT * FROM EventTable");
    EXPECT_EQ(event.Place.size(), 4096u);
    EXPECT_EQ(event.Description, "short");
    CUserNameRecord firm(&db);
    firm.Open(CRecordset::dynaset);
    EXPECT_EQ(firm.Password.size(), 4096u);
}

TEST_F(CRecordsetTest, UpdateWritesOnlyTheFieldsThatChanged) {
    // Giving the event a GUID must not cut its long place text to the bound length.
    db.ExecuteSQL("INSERT INTO EventTable (Place, Client) VALUES ('" + std::string(5000, 'p') + "', 7)");
    CEventRecord event(&db);
    event.Open(CRecordset::snapshot, "SELECT * FROM EventTable");
    event.Edit();
    EXPECT_FALSE(event.Update()); // nothing changed
    event.Edit();
    event.Guid = "6f1c1d8e-2b1a-4c55-9e0d-3b7f4a2c9e11";
    event.DateTime = 1073298600; // 5 January 2004
    EXPECT_TRUE(event.Update());
    EXPECT_EQ(Rows(db, "SELECT length(Place), Client, Guid FROM EventTable"),
              (std::vector<std::string>{"5000|7|6f1c1d8e-2b1a-4c55-9e0d-3b7f4a2c9e11"}));
    CEventRecord again(&db);
    again.Open(CRecordset::snapshot, "SELECT * FROM EventTable", CRecordset::readOnly);
    EXPECT_EQ(again.DateTime, 1073298600);
}

TEST_F(CRecordsetTest, ARefusedUpdateLeavesTheRowAndCancelRestoresTheFields) {
    db.ExecuteSQL("INSERT INTO UserName (UserName, State) VALUES ('Lee & Lee', 'NY')");
    CUserNameRecord firm(&db);
    firm.Open(CRecordset::dynaset, "SELECT * FROM UserName");
    firm.Edit();
    firm.State = "New York"; // TEXT(2)
    firm.City = "Albany";
    try {
        firm.Update();
        FAIL();
    } catch (const CDBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "CHECK constraint failed: UserName.State holds at most 2 characters");
    }
    firm.CancelUpdate();
    EXPECT_EQ(firm.State, "NY");
    EXPECT_EQ(firm.City, "");
    EXPECT_EQ(Rows(db, "SELECT State, City FROM UserName"), (std::vector<std::string>{"NY|NULL"}));
}

TEST_F(CRecordsetTest, DefaultSqlSelectsTheBoundFieldsByName) {
    db.ExecuteSQL("INSERT INTO UserName (UserName, Password, Zipcode) VALUES ('Firm', 'ABCD', '10004')");
    CUserNameRecord firm(&db);
    firm.Open(CRecordset::dynaset);
    ASSERT_FALSE(firm.IsEOF());
    EXPECT_EQ(firm.Zipcode, "10004");
    firm.Edit();
    firm.Password = "0123";
    firm.Update();
    EXPECT_EQ(Rows(db, "SELECT Password FROM UserName"), (std::vector<std::string>{"0123"}));
    // The attorney record's sixteenth name is no column of its table.
    CAttorneyRecord attorney(&db);
    EXPECT_THROW(attorney.Open(), CDBException);
}

TEST_F(CRecordsetTest, EditingNeedsAnEditableRow) {
    db.ExecuteSQL("INSERT INTO Ch13Login VALUES ('NDC', 'Placeholder', '', 3)");
    db.ExecuteSQL("INSERT INTO Ch13Login VALUES ('Smith', 'ann', 'AB', 3)");
    CCh13LoginRecord readOnly(&db);
    readOnly.Open(CRecordset::snapshot, "SELECT * FROM Ch13Login WHERE Attorney = 3", CRecordset::readOnly);
    EXPECT_EQ(readOnly.Attorney, 3);
    EXPECT_THROW(readOnly.Edit(), CDBException);

    CCh13LoginRecord logins(&db);
    logins.Open(CRecordset::dynaset, "SELECT * FROM Ch13Login WHERE Attorney = 3 ORDER BY TrusteeName");
    db.ExecuteSQL("DELETE FROM Ch13Login WHERE TrusteeName = 'Smith'");
    logins.MoveNext();
    EXPECT_TRUE(logins.IsDeleted());
    EXPECT_THROW(logins.Edit(), CDBException);
    logins.MoveNext();
    EXPECT_TRUE(logins.IsEOF());
    EXPECT_THROW(logins.Edit(), CDBException);
}

TEST_F(CRecordsetTest, AYesNoFieldIsStoredAsMinusOne) {
    db.ExecuteSQL("INSERT INTO AttorneyTable (Name, Initials) VALUES ('Godzilla', 'Godzilla')");
    CAttorneyRecord attorney(&db);
    attorney.Open(CRecordset::dynaset, "SELECT * FROM AttorneyTable WHERE Initials = 'Godzilla'");
    attorney.Edit();
    attorney.Name = "Ann O'Hara";
    attorney.Initials = "AOH";
    attorney.Default = true;
    attorney.Update();
    EXPECT_EQ(Rows(db, "SELECT Name, Initials, \"Default\" FROM AttorneyTable"),
              (std::vector<std::string>{"Ann O'Hara|AOH|-1"}));
}

TEST_F(CRecordsetTest, ARecordsetNeedsAsManyColumnsAsFields) {
    CStateRecord state(&db);
    try {
        state.Open(CRecordset::snapshot, "SELECT Name, Initials FROM AttorneyTable", CRecordset::readOnly);
        FAIL();
    } catch (const CDBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "The statement yields 2 columns; the recordset binds 3 fields.");
    }
    CDatabase closed;
    CStateRecord nowhere(&closed);
    EXPECT_THROW(nowhere.Open(), CDBException);
}
