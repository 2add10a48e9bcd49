#include "db/JetTranslator.h"

#include "db/CDBException.h"

#include <gtest/gtest.h>

using namespace std::string_literals;
using tl::TranslatedSql;
using tl::TranslateJetSql;

namespace {

std::string ErrorOf(const std::string& sql) {
    try {
        TranslateJetSql(sql);
    } catch (const CDBException& e) {
        return e.GetErrorMessage();
    }
    return "(translated)";
}

} // namespace

TEST(JetTranslator, RefusesAnythingAfterTheStatement) {
    EXPECT_EQ(ErrorOf("DELETE FROM T WHERE a = 1; DROP TABLE T"),
              "Characters found after end of SQL statement.");
    EXPECT_EQ(ErrorOf("DELETE FROM T;;"), "Characters found after end of SQL statement.");
    // One closing semicolon and blanks after it are part of a single statement.
    EXPECT_EQ(TranslateJetSql("DELETE FROM T; \r\n").sql, "DELETE FROM \"T\"");
}

TEST(JetTranslator, KeepsQuotedTextWhole) {
    // A value that tries to close its quote and start a second statement stays one literal.
    const TranslatedSql out = TranslateJetSql("INSERT INTO T (a) VALUES ('x''); DROP TABLE T; --')");
    EXPECT_EQ(out.sql, "INSERT INTO \"T\" ( \"a\" ) VALUES ( 'x''); DROP TABLE T; --' )");
    // Double-quoted text is a string in this dialect, never a name.
    EXPECT_EQ(TranslateJetSql("SELECT * FROM T WHERE a = \"O'Brien\"").sql,
              "SELECT * FROM \"T\" WHERE \"a\" = 'O''Brien'");
    EXPECT_EQ(ErrorOf("SELECT * FROM T WHERE a = 'open"), "Syntax error in string in query expression.");
}

TEST(JetTranslator, NeverFormsCommentsOrParameters) {
    EXPECT_EQ(TranslateJetSql("UPDATE T SET a = 5--3").sql, "UPDATE \"T\" SET \"a\" = 5 - - 3");
    EXPECT_EQ(TranslateJetSql("UPDATE T SET a = 6/*2").sql, "UPDATE \"T\" SET \"a\" = 6 / * 2");
    for (const char* sql :
         {"SELECT * FROM T WHERE a = ?", "SELECT * FROM T WHERE a = :x", "SELECT * FROM T WHERE a = @x",
          "SELECT * FROM T WHERE a = $x", "SELECT * FROM T WHERE a = `x`"})
        EXPECT_EQ(ErrorOf(sql), "Invalid character in SQL statement.") << sql;
    EXPECT_EQ(ErrorOf("SELECT * FROM T\0 x"s), "Invalid character in SQL statement.");
    EXPECT_EQ(ErrorOf("SELECT * FROM T WHERE a = 'x\0'"s), "Syntax error in string in query expression.");
}

TEST(JetTranslator, QuotesNamesThatTheEngineReserves) {
    EXPECT_EQ(TranslateJetSql("SELECT * FROM AttorneyTable WHERE Default = TRUE").sql,
              "SELECT * FROM \"AttorneyTable\" WHERE \"Default\" = -1");
    EXPECT_EQ(TranslateJetSql("SELECT * FROM CheckListTriggerTable WHERE trigger = 'x'").sql,
              "SELECT * FROM \"CheckListTriggerTable\" WHERE \"trigger\" = 'x'");
    EXPECT_EQ(TranslateJetSql("INSERT INTO T ([text], [desc], flag) VALUES('a', 'b', FALSE)").sql,
              "INSERT INTO \"T\" ( \"text\" , \"desc\" , \"flag\" ) VALUES ( 'a' , 'b' , 0 )");
    EXPECT_EQ(TranslateJetSql("select * from T order by Name desc").sql,
              "SELECT * FROM \"T\" ORDER BY \"Name\" DESC");
}

TEST(JetTranslator, AllowsOnlyTheDialectsFunctionsAndStatements) {
    EXPECT_EQ(TranslateJetSql("SELECT COUNT(*) FROM T WHERE UCase(a) = 'X'").sql,
              "SELECT COUNT ( * ) FROM \"T\" WHERE upper ( \"a\" ) = 'X'");
    EXPECT_EQ(ErrorOf("SELECT load_extension('evil') FROM T"),
              "Undefined function 'load_extension' in expression.");
    for (const char* sql : {"PRAGMA writable_schema = 1", "ATTACH DATABASE 'x' AS y", "VACUUM", "BEGIN", ""})
        EXPECT_EQ(ErrorOf(sql),
                  "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.")
            << sql;
}

TEST(JetTranslator, RefusesColumnDefinitionsJetRefuses) {
    EXPECT_EQ(ErrorOf("CREATE TABLE T (a TEXT(256))"), "Size of field 'a' is too long.");
    EXPECT_EQ(ErrorOf("CREATE TABLE T (a TEXT(0))"), "Size of field 'a' is too long.");
    EXPECT_EQ(ErrorOf("CREATE TABLE T (a BLOBBY)"),
              "Syntax error in field definition: unknown data type 'BLOBBY'.");
    EXPECT_EQ(ErrorOf("CREATE TABLE T (a INTEGER(4))"), "Syntax error in CREATE TABLE statement.");
    EXPECT_EQ(ErrorOf("CREATE TABLE T (a TEXT(10)"), "Syntax error in CREATE TABLE statement.");
    EXPECT_EQ(ErrorOf("CREATE TABLE T (a TEXT(10)) x"), "Syntax error in CREATE TABLE statement.");
    EXPECT_EQ(ErrorOf("ALTER TABLE T RENAME TO U"), "Syntax error in ALTER TABLE statement.");
    EXPECT_EQ(ErrorOf("DROP INDEX i ON T"), "Syntax error in DROP TABLE or DROP INDEX.");
}

TEST(JetTranslator, DescribesSelectsWhoseRowsCanBeEdited) {
    const TranslatedSql all = TranslateJetSql("SELECT * FROM CheckListTable WHERE ID='abc'");
    EXPECT_EQ(all.selectTable, "\"CheckListTable\"");
    EXPECT_EQ(all.selectColumns, "*");
    EXPECT_EQ(all.sqlWithRowid, "SELECT rowid, * FROM \"CheckListTable\" WHERE \"ID\" = 'abc'");

    const TranslatedSql named = TranslateJetSql("SELECT [UserName],[Password] FROM [UserName]");
    EXPECT_EQ(named.selectTable, "\"UserName\"");
    EXPECT_EQ(named.selectColumns, "\"UserName\", \"Password\"");

    for (const char* sql : {"SELECT DISTINCT a FROM T", "SELECT * FROM T, U", "SELECT COUNT(*) FROM T",
                            "SELECT * FROM T INNER JOIN U ON T.a = U.a", "SELECT a + 1 FROM T"})
        EXPECT_TRUE(TranslateJetSql(sql).selectTable.empty()) << sql;
}

TEST(JetTranslator, TurnsAlterColumnIntoARebuild) {
    const TranslatedSql out = TranslateJetSql("ALTER TABLE EventTable ALTER COLUMN [Guid] MEMO");
    EXPECT_EQ(out.kind, TranslatedSql::Kind::AlterColumn);
    EXPECT_EQ(out.table, "EventTable");
    EXPECT_EQ(out.column, "Guid");
    EXPECT_EQ(out.columnDefinition, "\"Guid\" TEXT COLLATE NOCASE");
}
