#include "db/CDatabase.h"

#include "db/CDBException.h"
#include "db/CreateDatabaseFile.h"
#include "db/SqlText.h"
#include "platform/LastError.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tltest::DatabaseTest;

namespace {

class CDatabaseTest : public DatabaseTest {
protected:
    CDatabaseTest() { CreateAndOpen(db); }

    // Runs a statement that must fail and returns the engine's text.
    std::string Failure(const std::string& sql) {
        try {
            db.ExecuteSQL(sql);
        } catch (const CDBException& e) {
            return e.GetErrorMessage();
        }
        ADD_FAILURE() << "succeeded: " << sql;
        return {};
    }

    CDatabase db;
};

} // namespace

TEST_F(CDatabaseTest, OpenReportsAMissingOrForeignFileWithItsWindowsPath) {
    CDatabase other;
    try {
        other.OpenEx(FormatConnectString(kHome, "missing"));
        FAIL();
    } catch (const CDBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "Could not find file 'C:\\Firm\\missing.mdb'.");
        EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    }
    WriteFile(Host("C:\\Firm\\notes.mdb"), "These are meeting notes, not a database file at all......");
    try {
        other.OpenEx(FormatConnectString(kHome, "notes"));
        FAIL();
    } catch (const CDBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "Unrecognized database format 'C:\\Firm\\notes.mdb'.");
    }
    EXPECT_THROW(other.OpenEx("ODBC;Driver={Microsoft Access Driver (*.mdb)};UID=admin"), CDBException);
    EXPECT_FALSE(other.IsOpen());
}

TEST_F(CDatabaseTest, OpenKeepsTheConnectStringAndFindsTheFileWithoutRegardToCase) {
    EXPECT_EQ(db.GetConnect(), FormatConnectString(kHome, "tallymar"));
    CDatabase second;
    second.OpenEx(FormatConnectString("c:\\FIRM", "TALLYMAR"));
    EXPECT_TRUE(second.IsOpen());
    EXPECT_THROW(second.OpenEx(FormatConnectString(kHome, "tallymar")), CDBException); // already open
}

TEST_F(CDatabaseTest, CreateDatabaseFileNeverReusesAFileAndReportsWhy) {
    EXPECT_EQ(CreateDatabaseFile("C:\\Firm\\tallymar.mdb"), win::ERROR_FILE_EXISTS);
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_EXISTS);
    EXPECT_EQ(CreateDatabaseFile("C:\\No such folder\\x.mdb"), win::ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CreateDatabaseFile("Q:\\x.mdb"), win::ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(CreateDatabaseFile("C:\\Firm\\New.mdb"), win::ERROR_SUCCESS);
    CDatabase fresh;
    fresh.OpenEx(FormatConnectString(kHome, "New"));
    EXPECT_TRUE(Tables(fresh).empty());
}

TEST_F(CDatabaseTest, TransactionScopeRollsBackUnlessCommitted) {
    db.ExecuteSQL("CREATE TABLE T (a INTEGER)");
    {
        CTransaction transaction(db);
        db.ExecuteSQL("INSERT INTO T VALUES (1)");
    }
    EXPECT_TRUE(Rows(db, "SELECT a FROM T").empty());
    {
        CTransaction transaction(db);
        db.ExecuteSQL("INSERT INTO T VALUES (2)");
        // A failing statement undoes only itself; the transaction goes on.
        EXPECT_THROW(db.ExecuteSQL("INSERT INTO T VALUES ('two')"), CDBException);
        db.ExecuteSQL("INSERT INTO T VALUES (3)");
        transaction.Commit();
    }
    EXPECT_EQ(Rows(db, "SELECT a FROM T"), (std::vector<std::string>{"2", "3"}));

    db.BeginTrans();
    EXPECT_THROW(db.BeginTrans(), CDBException);
    db.Rollback();
    db.Rollback(); // nothing open: harmless
    EXPECT_THROW(db.CommitTrans(), CDBException);
}

TEST_F(CDatabaseTest, TextLongerThanItsColumnFailsAndChangesNothing) {
    db.ExecuteSQL("CREATE TABLE T (Name TEXT(5))");
    db.ExecuteSQL("INSERT INTO T VALUES ('12345')");
    EXPECT_EQ(Failure("INSERT INTO T VALUES ('123456')"),
              "CHECK constraint failed: T.Name holds at most 5 characters");
    EXPECT_EQ(Failure("UPDATE T SET Name = 'abcdef'"),
              "CHECK constraint failed: T.Name holds at most 5 characters");
    EXPECT_EQ(Rows(db, "SELECT Name FROM T"), (std::vector<std::string>{"12345"}));
    // Characters, not bytes: five accented letters fit.
    db.ExecuteSQL("INSERT INTO T VALUES ('\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9')");
}

TEST_F(CDatabaseTest, ApostrophesAndSmuggledStatementsAreStoredAsText) {
    db.ExecuteSQL("CREATE TABLE T (Name TEXT(255), Notes MEMO)");
    const std::string name = "O'Brien & O'Neil, Attorneys' ''Firm''";
    const std::string smuggled = "x'); DROP TABLE T; --";
    db.ExecuteSQL("INSERT INTO T VALUES ('" + SqlQuote(name) + "', '" + SqlQuote(smuggled) + "')");
    EXPECT_EQ(Rows(db, "SELECT Name, Notes FROM T"), (std::vector<std::string>{name + "|" + smuggled}));
    // Unquoted, the second statement is refused and the first is not run either.
    EXPECT_EQ(Failure("INSERT INTO T VALUES ('a', 'b'); DROP TABLE T"),
              "Characters found after end of SQL statement.");
    EXPECT_EQ(Rows(db, "SELECT count(*) FROM T"), (std::vector<std::string>{"1"}));
}

TEST_F(CDatabaseTest, WrongTypesAndOutOfRangeNumbersFailTheStatement) {
    db.ExecuteSQL("CREATE TABLE T (Number INTEGER, Flag YESNO, Stamp DATETIME, Amount DOUBLE)");
    EXPECT_EQ(Failure("INSERT INTO T (Number) VALUES ('twelve')"),
              "cannot store TEXT value in INTEGER column T.Number");
    EXPECT_EQ(Failure("INSERT INTO T (Number) VALUES (3000000000)"),
              "CHECK constraint failed: T.Number is a 32-bit integer");
    EXPECT_EQ(Failure("INSERT INTO T (Flag) VALUES (1)"),
              "CHECK constraint failed: T.Flag is Yes (-1) or No (0)");
    EXPECT_EQ(Failure("INSERT INTO T (Stamp) VALUES ('next Tuesday')"),
              "CHECK constraint failed: T.Stamp is a date and time");
    EXPECT_EQ(Failure("INSERT INTO T (Amount) VALUES ('lots')"),
              "cannot store TEXT value in REAL column T.Amount");
    db.ExecuteSQL("INSERT INTO T VALUES ('12', TRUE, '2004-01-05 10:30:00', 2.5)");
    db.ExecuteSQL("INSERT INTO T (Number, Flag) VALUES (-2147483648, NULL)");
    EXPECT_EQ(Rows(db, "SELECT typeof(Number), Number, Flag, Stamp FROM T"),
              (std::vector<std::string>{"integer|12|-1|2004-01-05 10:30:00", "integer|-2147483648|0|NULL"}));
}

TEST_F(CDatabaseTest, TextKeysAndComparisonsIgnoreCase) {
    db.ExecuteSQL("CREATE TABLE T (Name TEXT(50) PRIMARY KEY, Rank INTEGER)");
    db.ExecuteSQL("INSERT INTO T VALUES ('Smith', 2)");
    db.ExecuteSQL("INSERT INTO T VALUES ('adams', 1)");
    EXPECT_EQ(Failure("INSERT INTO T VALUES ('SMITH', 3)"), "UNIQUE constraint failed: T.Name");
    EXPECT_EQ(Failure("INSERT INTO T (Rank) VALUES (4)"), "NOT NULL constraint failed: T.Name");
    EXPECT_EQ(Rows(db, "SELECT Rank FROM T WHERE Name = 'smith'"), (std::vector<std::string>{"2"}));
    EXPECT_EQ(Rows(db, "SELECT Name FROM T ORDER BY Name"), (std::vector<std::string>{"adams", "Smith"}));
}

TEST_F(CDatabaseTest, CounterNumbersAreNeverReused) {
    db.ExecuteSQL("CREATE TABLE T (Id COUNTER PRIMARY KEY, Name TEXT(10))");
    for (const char* name : {"a", "b", "c"})
        db.ExecuteSQL(std::string("INSERT INTO T (Name) VALUES ('") + name + "')");
    db.ExecuteSQL("DELETE FROM T WHERE Id = 3");
    db.ExecuteSQL("INSERT INTO T (Name) VALUES ('d')");
    EXPECT_EQ(Rows(db, "SELECT Id, Name FROM T"), (std::vector<std::string>{"1|a", "2|b", "4|d"}));
}

TEST_F(CDatabaseTest, AddedColumnsComeLastAndDroppedOnesGo) {
    db.ExecuteSQL("CREATE TABLE T (A TEXT(10), Country TEXT(255), B INTEGER)");
    db.ExecuteSQL("INSERT INTO T VALUES ('x', 'USA', 1)");
    db.ExecuteSQL("ALTER TABLE T DROP Country");
    db.ExecuteSQL("ALTER TABLE T ADD Country TEXT(255)");
    db.ExecuteSQL("ALTER TABLE T ADD COLUMN Flag YESNO");
    EXPECT_EQ(Columns(db, "T"), (std::vector<std::string>{"A", "B", "Country", "Flag"}));
    EXPECT_EQ(Rows(db, "SELECT * FROM T"), (std::vector<std::string>{"x|1|NULL|0"}));
    EXPECT_EQ(Failure("ALTER TABLE T ADD Country TEXT(255)"), "duplicate column name: Country");
    EXPECT_EQ(Failure("INSERT INTO T (Country) VALUES ('" + std::string(256, 'c') + "')"),
              "CHECK constraint failed: T.Country holds at most 255 characters");
    EXPECT_THROW(db.ExecuteSQL("DROP TABLE Missing"), CDBException);
}

TEST_F(CDatabaseTest, AlterColumnChangesTheTypeInPlaceAndKeepsRowsKeysAndCounter) {
    db.ExecuteSQL(
        "CREATE TABLE U (Id COUNTER PRIMARY KEY, Code TEXT(5) NOT NULL, Place TEXT(10), Ch13 YESNO)");
    db.ExecuteSQL("INSERT INTO U (Code, Place, Ch13) VALUES ('a', 'Boston', TRUE)");
    db.ExecuteSQL("INSERT INTO U (Code, Place, Ch13) VALUES ('b', 'Austin', FALSE)");
    db.ExecuteSQL("DELETE FROM U WHERE Code = 'b'");

    db.ExecuteSQL("ALTER TABLE U ALTER COLUMN Place MEMO");
    db.ExecuteSQL("ALTER TABLE U ALTER COLUMN Ch13 INTEGER");
    EXPECT_EQ(Columns(db, "U"), (std::vector<std::string>{"Id", "Code", "Place", "Ch13"}));
    db.ExecuteSQL("UPDATE U SET Ch13 = 1 WHERE Ch13 = -1");
    db.ExecuteSQL("INSERT INTO U (Code, Place, Ch13) VALUES ('c', '" + std::string(300, 'p') + "', 7)");
    EXPECT_EQ(Rows(db, "SELECT Id, Code, length(Place), Ch13 FROM U"),
              (std::vector<std::string>{"1|a|6|1", "3|c|300|7"}));
}

TEST_F(CDatabaseTest, AlterColumnThatCannotConvertLeavesTheTableAsItWas) {
    db.ExecuteSQL("CREATE TABLE T (Key TEXT(10) PRIMARY KEY, Place MEMO)");
    db.ExecuteSQL("INSERT INTO T VALUES ('k', 'a long place name')");
    const auto before = Rows(db, "SELECT sql FROM sqlite_schema WHERE name = 'T'");
    EXPECT_EQ(Failure("ALTER TABLE T ALTER COLUMN Place TEXT(5)"),
              "CHECK constraint failed: T.Place holds at most 5 characters");
    EXPECT_EQ(Failure("ALTER TABLE T ALTER COLUMN Missing MEMO"), "no such column: T.Missing");
    EXPECT_EQ(Failure("ALTER TABLE Nothing ALTER COLUMN Place MEMO"), "no such table: Nothing");
    EXPECT_EQ(Rows(db, "SELECT sql FROM sqlite_schema WHERE name = 'T'"), before);
    EXPECT_EQ(Rows(db, "SELECT * FROM T"), (std::vector<std::string>{"k|a long place name"}));

    // A key column stays the key; inside a transaction that rolls back, nothing remains.
    db.ExecuteSQL("ALTER TABLE T ALTER COLUMN Key TEXT(20)");
    EXPECT_EQ(Failure("INSERT INTO T VALUES ('K', 'x')"), "UNIQUE constraint failed: T.Key");
    const auto keyed = Rows(db, "SELECT sql FROM sqlite_schema WHERE name = 'T'");
    {
        CTransaction transaction(db);
        db.ExecuteSQL("ALTER TABLE T ALTER COLUMN Place TEXT(200)");
    }
    EXPECT_EQ(Rows(db, "SELECT sql FROM sqlite_schema WHERE name = 'T'"), keyed);
}

TEST_F(CDatabaseTest, MovingHandsTheConnectionOverAndClosesTheOneReplaced) {
    db.ExecuteSQL("CREATE TABLE T (Name TEXT(20))");
    db.ExecuteSQL("INSERT INTO T (Name) VALUES ('%s')", {"first"});
    // A statement lent out while its connection moves is finalized when it comes back.
    tl::CachedStatement lent = db.Statements().Take(db.Handle(), "SELECT Name FROM T");

    CDatabase moved(std::move(db));
    EXPECT_FALSE(db.IsOpen());
    ASSERT_TRUE(moved.IsOpen());
    EXPECT_EQ(moved.GetConnect(), FormatConnectString(kHome, "tallymar"));
    moved.ExecuteSQL("INSERT INTO T (Name) VALUES ('%s')", {"second"});
    lent.reset();

    CDatabase other;
    CreateAndOpen(other, "other");
    other.BeginTrans();
    other.ExecuteSQL("CREATE TABLE Lost (Name TEXT(20))");
    other = std::move(moved);
    EXPECT_FALSE(moved.IsOpen());
    EXPECT_EQ(other.GetConnect(), FormatConnectString(kHome, "tallymar"));
    EXPECT_EQ(Rows(other, "SELECT Name FROM T"), (std::vector<std::string>{"first", "second"}));

    CDatabase replaced;
    replaced.OpenEx(FormatConnectString(kHome, "other"));
    EXPECT_EQ(Tables(replaced), std::vector<std::string>{}) << "the open transaction was rolled back";
}
