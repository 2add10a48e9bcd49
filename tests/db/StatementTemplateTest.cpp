// Statement templates with bound values do exactly what the statement formatted from them does:
// each case runs the formatted text on one database and the template on another, and both must
// end with the same outcome and the same rows.
#include "db/CDBException.h"
#include "db/CDatabase.h"
#include "db/JetTranslator.h"
#include "db/SqlText.h"
#include "platform/Format.h"
#include "tables/CCreditorRecord.h"
#include "tables/CTrusteeRecord.h"
#include "tables/DatabaseSchema.h"
#include "tests/db/DatabaseTestSupport.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

constexpr char kInsertCreditor[] =
    "INSERT INTO CreditorTable VALUES('%s', '%s', '%s', '%s', '%s', %d, %d, '%s', '%s', '%s', '%s')";
constexpr char kInsertTrustee[] = "INSERT INTO TrusteeTable VALUES('%s', '%s', '%s', '%s', '%s', '%s', '%s', "
                                  "'%s', '%s', '%s', %s, '%s', '%s')";
constexpr char kFindCreditor[] = "SELECT * FROM CreditorTable WHERE CreditorName = '%s'";
constexpr char kCreditorsOfState[] = "SELECT * FROM CreditorTable WHERE State = '%s' ORDER BY CreditorName";

constexpr char kAllCreditors[] = "SELECT quote(CreditorName), quote(Address1), quote(City), quote(State), "
                                 "quote(Zip), quote(PlusFour), quote(Alias1), quote(Country) "
                                 "FROM CreditorTable ORDER BY rowid";
constexpr char kAllTrustees[] = "SELECT quote(TrusteeName), quote(Ch13) FROM TrusteeTable ORDER BY rowid";

struct Creditor {
    std::string name;
    std::string city = "Mason";
    std::int32_t zip = 45040;
    std::int32_t plusFour = 0;
    std::string state = "OH";
};

// The statement as the importers used to format it, every text through SqlQuote.
std::string Formatted(const Creditor& c) {
    return tl::Format(kInsertCreditor, SqlQuote(c.name).c_str(), "PO Box 1", " ", SqlQuote(c.city).c_str(),
                      SqlQuote(c.state).c_str(), c.zip, c.plusFour, SqlQuote("Alias's").c_str(), " ", " ",
                      "USA");
}

void Bound(CDatabase& db, const Creditor& c) {
    db.ExecuteSQL(kInsertCreditor,
                  {c.name, "PO Box 1", " ", c.city, c.state, c.zip, c.plusFour, "Alias's", " ", " ", "USA"});
}

std::string FormattedTrustee(const std::string& name, const std::string& ch13) {
    return tl::Format(kInsertTrustee, SqlQuote(name).c_str(), "Full", " ", " ", " ", "NY", " ", " ", " ", " ",
                      ch13.c_str(), " ", " ");
}

void BoundTrustee(CDatabase& db, const std::string& name, const std::string& ch13) {
    db.ExecuteSQL(kInsertTrustee, {name, "Full", " ", " ", " ", "NY", " ", " ", " ", " ", ch13, " ", " "});
}

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

// What running a statement came to: "ok" or the failure's text.
std::string Outcome(const std::function<void()>& run) {
    try {
        run();
    } catch (const CDBException& e) {
        return e.GetErrorMessage();
    }
    return "ok";
}

std::string TemplateError(const char* jetTemplate) {
    try {
        tl::TranslateJetTemplate(jetTemplate);
    } catch (const CDBException& e) {
        return e.GetErrorMessage();
    }
    return "(translated)";
}

class StatementTemplate : public tltest::DatabaseTest {
protected:
    StatementTemplate() {
        for (auto [db, base] : {std::pair{&text, "Text"}, std::pair{&bound, "Bound"}}) {
            CreateAndOpen(*db, base);
            CreateTables(*db, kMainDatabaseSchema);
            CreateTables(*db, kCreditorDatabaseSchema);
        }
    }

    // Inserts each creditor both ways; the outcomes must agree, and are returned.
    Lines InsertBothWays(const std::vector<Creditor>& creditors) {
        Lines outcomes;
        for (const Creditor& c : creditors) {
            const std::string expected = Outcome([&] { text.ExecuteSQL(Formatted(c)); });
            EXPECT_EQ(Outcome([&] { Bound(bound, c); }), expected) << c.name;
            outcomes.push_back(expected);
        }
        EXPECT_EQ(Rows(bound, kAllCreditors), Rows(text, kAllCreditors));
        return outcomes;
    }

    int CompiledStatements() {
        int count = 0;
        for (sqlite3_stmt* s = sqlite3_next_stmt(bound.Handle(), nullptr); s != nullptr;
             s = sqlite3_next_stmt(bound.Handle(), s))
            ++count;
        return count;
    }

    CDatabase text;
    CDatabase bound;
};

} // namespace

TEST(JetTemplate, TranslatesSlotsToParametersAndKeepsItsOwnLiterals) {
    const tl::TranslatedSql out =
        tl::TranslateJetTemplate("INSERT INTO T ([text], n, m) VALUES('%s', %d, %s, 'it''s 100%%', TRUE)");
    EXPECT_EQ(out.sql,
              "INSERT INTO \"T\" ( \"text\" , \"n\" , \"m\" ) VALUES ( ?1 , ?2 , ?3 , 'it''s 100%' , -1 )");
    EXPECT_EQ(out.slots,
              (std::vector{tl::JetSlot::QuotedText, tl::JetSlot::Number, tl::JetSlot::NumberText}));
    EXPECT_TRUE(out.parameterizedSql.empty());
    EXPECT_EQ(tl::TranslateJetTemplate("SELECT * FROM T WHERE a='%s' AND b >= %d ORDER BY a").sqlWithRowid,
              "SELECT rowid, * FROM \"T\" WHERE \"a\" = ?1 AND \"b\" >= ?2 ORDER BY \"a\"");
}

TEST(JetTemplate, RefusesSlotsThatBindingCouldNotReadAsTheFormattedTextIsRead) {
    for (const char* refused : {
             "SELECT * FROM T WHERE a = 'x%s'",   // part of a longer string
             "SELECT * FROM T WHERE a = '%s%s'",  // two in one string
             "SELECT * FROM T WHERE a = '%s''x'", // the string goes on after the slot
             "SELECT * FROM T WHERE a = \"%s\"",  // double quotes: SqlQuote would not protect them
             "SELECT * FROM T WHERE a = %x",      // another directive
             "SELECT * FROM T WHERE a = %5d",     // a width
             "SELECT * FROM T WHERE a = 1%d",     // joined to a number before it
             "SELECT * FROM T WHERE a = %dx",     // joined to a word after it
             "SELECT * FROM T WHERE a = - %d",    // a sign of its own: not a value position
             "SELECT * FROM T ORDER BY %d",       // a column position, not a value
             "SELECT * FROM [T%s]",               // inside a name
             "SELECT * FROM T WHERE a = 5 %",     // a lone percent sign
         }) {
        EXPECT_EQ(TemplateError(refused), TemplateError("SELECT * FROM T WHERE a = %x")) << refused;
    }
    EXPECT_EQ(TemplateError("SELECT * FROM T WHERE a = %x"), "Invalid value slot in statement template.");
    EXPECT_EQ(TemplateError("CREATE TABLE T (a TEXT(%d))"),
              "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
    // The usual failures of the dialect stay what they are.
    EXPECT_EQ(TemplateError("DELETE FROM T WHERE a = '%s'; DROP TABLE T"),
              "Characters found after end of SQL statement.");
}

TEST_F(StatementTemplate, InsertsTheRowsAndRaisesTheFailuresOfTheFormattedStatement) {
    const Lines outcomes = InsertBothWays({
        {"Macy's"},
        {"''", "'"},
        {"O'Brien'); DROP TABLE CreditorTable; --", "x' || 'y"},
        {"Percent %s %d %%", "Quote \" double\nline\tand \\ back"},
        {"Nul\0cut"s, "City\0gone"s},
        {""},
        {std::string(255, 'n')},
        {"Too long", std::string(256, 'c')},
        {"macy'S"},
        {"Extremes", "Z\xC3\xBCrich", INT_MIN, INT_MAX},
        {"Wide", Repeat("\xC3\xA9", 255)},
        {"Too wide", Repeat("\xC3\xA9", 256)},
    });
    EXPECT_EQ(outcomes, (Lines{"ok", "ok", "ok", "ok", "ok", "ok", "ok",
                               "CHECK constraint failed: CreditorTable.City holds at most 255 characters",
                               "UNIQUE constraint failed: CreditorTable.CreditorName", "ok", "ok",
                               "CHECK constraint failed: CreditorTable.City holds at most 255 characters"}));
    EXPECT_EQ(Rows(bound, "SELECT CreditorName, City, Alias1 FROM CreditorTable WHERE rowid <= 5"),
              (Lines{"Macy's|Mason|Alias's", "''|'|Alias's",
                     "O'Brien'); DROP TABLE CreditorTable; --|x' || 'y|Alias's",
                     "Percent %s %d %%|Quote \" double\nline\tand \\ back|Alias's", "Nul|City|Alias's"}));
    EXPECT_EQ(Tables(bound), Tables(text));
}

TEST_F(StatementTemplate, AnUnquotedSlotMeansTheWholeNumberThatTheFormattedStatementMeans) {
    for (const char* ch13 : {"5", "-1", "+7", "007", "-0", "2147483647", "-2147483648", "2147483648",
                             "-2147483649", "999999999999999999", "99999999999999999999",
                             "-9223372036854775808", "9223372036854775808", "0000000000000000000000012"}) {
        const std::string name = std::string("Trustee ") + ch13;
        const std::string expected = Outcome([&] { text.ExecuteSQL(FormattedTrustee(name, ch13)); });
        EXPECT_EQ(Outcome([&] { BoundTrustee(bound, name, ch13); }), expected) << ch13;
    }
    EXPECT_EQ(Rows(bound, kAllTrustees), Rows(text, kAllTrustees));
    EXPECT_EQ(Rows(bound, "SELECT Ch13 FROM TrusteeTable ORDER BY rowid"),
              (Lines{"5", "-1", "7", "7", "0", "2147483647", "-2147483648", "12"}));
}

TEST_F(StatementTemplate, AnUnquotedSlotTakesOnlyAWholeNumberAndValuesMustFitTheSlots) {
    BoundTrustee(bound, "Kept", "1");
    bound.ExecuteSQL(kInsertCreditor, {"Kept", " ", " ", " ", " ", 1, 2, " ", " ", " ", " "});
    for (const char* attack :
         {"1, 'x', 'y'); DELETE FROM TrusteeTable; --", "(SELECT 5)", "1 OR 1=1", "1e3", "0x10", " 1", "1 ",
          "", " ", "-", "+", "1.0", "--1", "1; DROP TABLE TrusteeTable"}) {
        EXPECT_EQ(Outcome([&] { BoundTrustee(bound, "Evil", attack); }),
                  tl::Format("The value '%s' is not a whole number.", attack))
            << attack;
    }
    EXPECT_EQ(Outcome([&] {
                  bound.ExecuteSQL(kInsertCreditor, {"Few", " ", 1});
              }),
              "The statement template takes 11 values; 3 were given.");
    EXPECT_EQ(Outcome([&] {
                  bound.ExecuteSQL(kInsertCreditor, {"A", " ", " ", " ", " ", "1", 2, " ", " ", " ", " "});
              }),
              "Value 6 of the statement template is a text where a number belongs.");
    EXPECT_EQ(Outcome([&] { BoundTrustee(bound, "B", "1"), bound.ExecuteSQL(kFindCreditor, {5}); }),
              "Value 1 of the statement template is a number where a text belongs.");
    // A text without any data is still the empty text, never Null.
    bound.ExecuteSQL("INSERT INTO AlwaysNotice (CreditorName) VALUES('%s')", {std::string_view()});
    EXPECT_EQ(Rows(bound, "SELECT quote(CreditorName) FROM AlwaysNotice"), (Lines{"''"}));
    EXPECT_EQ(Rows(bound, "SELECT TrusteeName FROM TrusteeTable ORDER BY rowid"), (Lines{"Kept", "B"}));
    EXPECT_EQ(Rows(bound, "SELECT CreditorName FROM CreditorTable"), (Lines{"Kept"}));
    EXPECT_EQ(Tables(bound), Tables(text));
    EXPECT_FALSE(bound.IsInTransaction());
}

TEST_F(StatementTemplate, RecordsetsFindWhatTheFormattedQueryFinds) {
    InsertBothWays({{"Macy's", "Mason"},
                    {"Sears", "Chicago"},
                    {"O'Brien's", "Dayton"},
                    {"Chase", "Columbus", 1, 2, "NY"}});
    for (const std::string name :
         {"Macy's", "MACY'S", "sears", "O'Brien's", "x' OR '1'='1", "Sears' --", ""}) {
        CCreditorRecord viaText(&text);
        viaText.Open(CRecordset::snapshot, tl::Format(kFindCreditor, SqlQuote(name).c_str()),
                     CRecordset::readOnly);
        CCreditorRecord viaTemplate(&bound);
        viaTemplate.Open(CRecordset::snapshot, kFindCreditor, {name}, CRecordset::readOnly);
        EXPECT_EQ(viaTemplate.IsEOF(), viaText.IsEOF()) << name;
        EXPECT_EQ(viaTemplate.CreditorName + "|" + viaTemplate.City,
                  viaText.CreditorName + "|" + viaText.City);
    }
}

TEST_F(StatementTemplate, ARecordsetKeepsItsOwnCopyOfTheValuesWhileItMoves) {
    InsertBothWays({{"A"}, {"B", "Columbus", 1, 2, "NY"}, {"C"}, {"D"}});
    std::string state = "OH";
    CCreditorRecord creditors(&bound);
    creditors.Open(CRecordset::snapshot, kCreditorsOfState, {state}, CRecordset::readOnly);
    state[0] = 'N';
    state[1] = 'Y';
    std::string names;
    for (; !creditors.IsEOF(); creditors.MoveNext())
        names += creditors.CreditorName;
    EXPECT_EQ(names, "ACD");
}

TEST_F(StatementTemplate, ARecordsetOpenedForUpdateOnATemplateEditsTheRowItFound) {
    InsertBothWays({{"Macy's", "Mason"}, {"Sears", "Chicago"}});
    CCreditorRecord creditor(&bound);
    creditor.Open(CRecordset::dynaset, kFindCreditor, {"MACY'S"});
    ASSERT_TRUE(creditor.CanUpdate());
    ASSERT_FALSE(creditor.IsEOF());
    creditor.Edit();
    creditor.City = "Cincinnati";
    EXPECT_TRUE(creditor.Update());
    creditor.MoveNext();
    EXPECT_TRUE(creditor.IsEOF());
    EXPECT_EQ(Rows(bound, "SELECT CreditorName, City FROM CreditorTable ORDER BY rowid"),
              (Lines{"Macy's|Cincinnati", "Sears|Chicago"}));
}

TEST_F(StatementTemplate, ATemplateIsCompiledOnceAndFollowsChangesOfTheSchema) {
    for (int i = 0; i < 50; ++i) {
        const Creditor creditor{tl::Format("Creditor %d", i)};
        Bound(bound, creditor);
        text.ExecuteSQL(Formatted(creditor));
    }
    EXPECT_EQ(CompiledStatements(), 1);
    for (CDatabase* db : {&text, &bound})
        db->ExecuteSQL("ALTER TABLE CreditorTable ADD Extra TEXT(10)");
    const Lines outcomes = InsertBothWays({{"After the change"}});
    EXPECT_EQ(outcomes, (Lines{"table CreditorTable has 12 columns but 11 values were supplied"}));
    // A template that does not translate fails each time, as its formatted text would.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Outcome([&] { bound.ExecuteSQL("SELECT * FROM T WHERE a = '%s' %", {"x"}); }),
                  "Invalid value slot in statement template.");
}
