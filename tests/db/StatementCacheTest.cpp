// Data statements are kept compiled with their values as parameters; what they do stays the same.
#include "db/CDBException.h"
#include "db/CDatabase.h"
#include "db/JetTranslator.h"
#include "db/SqlText.h"
#include "platform/Format.h"
#include "tables/CCreditorRecord.h"
#include "tables/DatabaseSchema.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tl::TranslateJetSql;
using Lines = std::vector<std::string>;

namespace {

class StatementCacheTest : public tltest::DatabaseTest {
protected:
    StatementCacheTest() {
        CreateAndOpen(db, "CreditorNames");
        CreateTables(db, kCreditorDatabaseSchema);
    }
    // Statements of the connection that are compiled and not finalized.
    int CompiledStatements() {
        int count = 0;
        for (sqlite3_stmt* s = sqlite3_next_stmt(db.Handle(), nullptr); s != nullptr;
             s = sqlite3_next_stmt(db.Handle(), s))
            ++count;
        return count;
    }

    CDatabase db;
};

std::string Values(const tl::TranslatedSql& out) {
    std::string text;
    for (const tl::SqlParameter& p : out.parameters)
        text += (text.empty() ? "" : "|") + (p.isText ? "'" + p.text + "'" : std::to_string(p.number));
    return text;
}

} // namespace

TEST(JetParameters, TextAndWholeNumbersInValuePositionsBecomeParameters) {
    tl::TranslatedSql out = TranslateJetSql("INSERT INTO T VALUES('O''Brien', 45040, -1, 2.5, TRUE, '')");
    EXPECT_EQ(out.parameterizedSql, "INSERT INTO \"T\" VALUES ( ? , ? , - 1 , 2.5 , -1 , ? )");
    EXPECT_EQ(Values(out), "'O'Brien'|45040|''");

    out = TranslateJetSql("SELECT * FROM T WHERE Zip >= 100 AND Name = \"x\" ORDER BY 1, Name");
    EXPECT_EQ(out.parameterizedSql,
              "SELECT * FROM \"T\" WHERE \"Zip\" >= ? AND \"Name\" = ? ORDER BY 1 , \"Name\"");
    EXPECT_EQ(Values(out), "100|'x'");
    EXPECT_EQ(out.sqlWithRowid,
              "SELECT rowid, * FROM \"T\" WHERE \"Zip\" >= 100 AND \"Name\" = 'x' ORDER BY 1 , \"Name\"");

    EXPECT_TRUE(TranslateJetSql("DELETE FROM T WHERE a = b").parameterizedSql.empty());
    EXPECT_TRUE(TranslateJetSql("UPDATE T SET a = 1234567890123456789").parameterizedSql.empty());
    EXPECT_TRUE(TranslateJetSql("CREATE TABLE T (a TEXT(5) PRIMARY KEY)").changesSchema);
    EXPECT_FALSE(TranslateJetSql("DELETE FROM T").changesSchema);
}

TEST_F(StatementCacheTest, StatementsThatDifferOnlyInTheirValuesAreCompiledOnce) {
    for (int i = 0; i < 50; ++i)
        db.ExecuteSQL(
            tl::Format("INSERT INTO CreditorTable VALUES('Creditor %d', 'a', 'b', 'c', 'OH', %d, 0, 'x', "
                       "'y', 'z', 'USA')",
                       i, 45000 + i));
    EXPECT_EQ(CompiledStatements(), 1);
    for (int i = 0; i < 50; i += 7) {
        CCreditorRecord creditor(&db);
        creditor.Open(CRecordset::snapshot,
                      tl::Format("SELECT * FROM CreditorTable WHERE CreditorName = 'creditor %d'", i),
                      CRecordset::readOnly);
        ASSERT_FALSE(creditor.IsEOF());
        EXPECT_EQ(creditor.Zip, 45000 + i);
    }
    EXPECT_EQ(CompiledStatements(), 2);
    EXPECT_EQ(Rows(db, "SELECT count(*), sum(Zip) FROM CreditorTable"), (Lines{"50|2251225"}));
}

TEST_F(StatementCacheTest, AFailedStatementLeavesItsCompiledFormReusable) {
    const char* insert = "INSERT INTO CreditorTable (CreditorName, Zip) VALUES('%s', %d)";
    db.ExecuteSQL(tl::Format(insert, "A", 1));
    EXPECT_THROW(db.ExecuteSQL(tl::Format(insert, "a", 2)), CDBException); // the key, without regard to case
    EXPECT_THROW(db.ExecuteSQL(tl::Format(insert, std::string(256, 'n').c_str(), 3)), CDBException);
    db.ExecuteSQL(tl::Format(insert, "B", 4));
    EXPECT_EQ(Rows(db, "SELECT CreditorName, Zip FROM CreditorTable"), (Lines{"A|1", "B|4"}));
    EXPECT_FALSE(db.IsInTransaction());
}

TEST_F(StatementCacheTest, TwoOpenRecordsetsOfOneShapeReadTheirOwnRows) {
    db.ExecuteSQL("INSERT INTO CreditorTable (CreditorName, City) VALUES('A', 'Mason')");
    db.ExecuteSQL("INSERT INTO CreditorTable (CreditorName, City) VALUES('B', 'Dayton')");
    CCreditorRecord first(&db);
    CCreditorRecord second(&db);
    first.Open(CRecordset::snapshot, "SELECT * FROM CreditorTable WHERE CreditorName = 'A'",
               CRecordset::readOnly);
    second.Open(CRecordset::snapshot, "SELECT * FROM CreditorTable WHERE CreditorName = 'B'",
                CRecordset::readOnly);
    EXPECT_EQ(first.City, "Mason");
    EXPECT_EQ(second.City, "Dayton");
}

TEST_F(StatementCacheTest, SchemaChangesAndReopeningStartAfresh) {
    db.ExecuteSQL("INSERT INTO AlwaysNotice (CreditorName) VALUES('A')");
    db.ExecuteSQL("ALTER TABLE AlwaysNotice ADD Note TEXT(10)");
    EXPECT_EQ(CompiledStatements(), 0);
    db.ExecuteSQL("INSERT INTO AlwaysNotice (CreditorName) VALUES('B')");
    db.ExecuteSQL("ALTER TABLE AlwaysNotice ALTER COLUMN Note TEXT(20)");
    db.ExecuteSQL("INSERT INTO AlwaysNotice (CreditorName, Note) VALUES('C', '" + std::string(20, 'n') +
                  "')");
    db.Close();
    db.OpenEx(FormatConnectString(kHome, "CreditorNames"));
    db.ExecuteSQL("INSERT INTO AlwaysNotice (CreditorName) VALUES('D')");
    EXPECT_EQ(Rows(db, "SELECT CreditorName FROM AlwaysNotice ORDER BY ID"), (Lines{"A", "B", "C", "D"}));
}
