#include "tests/update/HistoricalDatabases.h"

#include "db/CDBException.h"
#include "db/CreateDatabaseFile.h"
#include "db/SqlText.h"
#include "platform/FileApi.h"
#include "tables/DatabaseSchema.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <span>

namespace tltest {

namespace {

// Replaces the one occurrence of from; a fixture that no longer matches today's schema is a bug.
std::string Replace(std::string statement, const std::string& from, const std::string& to) {
    const std::size_t at = statement.find(from);
    if (at == std::string::npos || statement.find(from, at + 1) != std::string::npos)
        ADD_FAILURE() << "'" << from << "' is not once in " << statement;
    else
        statement.replace(at, from.size(), to);
    return statement;
}

std::string TableOf(const std::string& statement) {
    const std::size_t start = std::string("CREATE TABLE ").size();
    return statement.substr(start, statement.find(' ', start) - start);
}

// The main database's tables, each as it stood at the level (empty: the table was not there yet).
std::string MainTableAt(const std::string& statement, int level) {
    const std::string table = TableOf(statement);
    if ((table == "ServiceTable" || table == "GlobalSettings") && level < 1)
        return {};
    if (table == "CustomExemptions" && level < 2)
        return {};
    if (table.starts_with("Chap13") && level < 12)
        return {};
    if (table == "CheckListTable" || table == "CheckListTriggerTable") {
        if (level > 7)
            return statement;
        // Level 7 had an earlier shape of the checklist tables, which its upgrade throws away.
        if (level == 7)
            return table == "CheckListTable"
                       ? "CREATE TABLE CheckListTable ([ID] TEXT(48) PRIMARY KEY,"
                         "beforeafter TEXT(48),[text] MEMO,flags INTEGER,districts MEMO)"
                       : "CREATE TABLE CheckListTriggerTable (trigger TEXT(48) PRIMARY KEY)";
        return {};
    }
    std::string shape = statement;
    if (table == "EventTable" && level < 12) {
        shape = Replace(shape, "Place MEMO", "Place TEXT(255)");
        shape = Replace(shape, "Description MEMO", "Description TEXT(255)");
        shape = Replace(shape, ",[Guid] MEMO", level < 3 ? "" : ",[Guid] TEXT(64)");
    }
    if (table == "GlobalSettings" && level < 9)
        shape = Replace(shape, ",DoubleValue DOUBLE", "");
    if (table == "TrusteeTable" && level < 13)
        shape = Replace(shape, "Ch13 INTEGER", "Ch13 YESNO");
    return shape;
}

std::string CreditorTableAt(const std::string& statement, int level) {
    const std::string table = TableOf(statement);
    if (table != "CreditorTable")
        return level < 15 ? std::string() : statement;
    if (level >= 5)
        return statement;
    // Country came at level 1 beside the other address parts, and moved to the end at level 5.
    std::string shape = Replace(statement, ",Country TEXT(255)", "");
    if (level >= 1)
        return Replace(shape, "State TEXT(255),", "State TEXT(255),Country TEXT(255),");
    shape = Replace(shape, "Address1 TEXT(255)", "Address1 TEXT(50)");
    return Replace(shape, "State TEXT(255)", "State TEXT(2)");
}

template <class Shape>
std::vector<std::string> SchemaAt(std::span<const SchemaStep> today, int level, Shape shape) {
    std::vector<std::string> statements;
    for (const SchemaStep& step : today) {
        if (std::string statement = shape(step.statement, level); !statement.empty())
            statements.push_back(std::move(statement));
    }
    return statements;
}

bool HasTable(const std::vector<std::string>& schema, const std::string& table) {
    return std::any_of(schema.begin(), schema.end(),
                       [&](const std::string& statement) { return TableOf(statement) == table; });
}

std::vector<std::string> MainRows(int level, const std::vector<std::string>& schema) {
    std::vector<std::string> rows = {
        "INSERT INTO UserName (UserName, Password, City) VALUES ('Smith & O''Brien', '0A1B2C3D', 'Boston')",
        "INSERT INTO AttorneyTable (Name, Initials, City, Default) VALUES ('Ann Smith', 'AS', 'Boston', -1)",
        "INSERT INTO ClientTable (Name, CaseFile, Type) VALUES ('Doe, John', 'doe.tlc', 1)",
        "INSERT INTO CaseTable (DocketNumber, Chapter, Client) VALUES ('06-10234', 13, 1)",
    };
    const char* const places[] = {"Room 5", "Courthouse, 2nd floor", "Office"};
    const char* const descriptions[] = {"Meeting of creditors", "Confirmation hearing", "Sign petition"};
    for (int event = 0; event < 3; ++event) {
        std::string columns = "[DateTime], Place, Description, Client";
        std::string values = "'2006-04-" + std::to_string(18 + event) + " 14:00:00', '" + places[event] +
                             "', '" + descriptions[event] + "', 1";
        if (level >= 3) {
            columns += ", [Guid]";
            values += std::string(", '") + kFixtureEventGuids[event] + "'";
        }
        rows.push_back("INSERT INTO EventTable (" + columns + ") VALUES (" + values + ")");
    }
    const bool yesNo = level < 13;
    rows.push_back(
        std::string("INSERT INTO TrusteeTable (TrusteeName, FullName, State, Ch13) VALUES ('Jones', "
                    "'Mary Jones', 'MA', ") +
        (yesNo ? "-1)" : "1)"));
    rows.push_back(
        "INSERT INTO TrusteeTable (TrusteeName, FullName, State, Ch13) VALUES ('Brown', 'Bob Brown', "
        "'MA', 0)");
    if (HasTable(schema, "GlobalSettings"))
        rows.push_back(
            "INSERT INTO GlobalSettings (OptionName, LongValue, TextValue) VALUES ('LastCase', 42, "
            "'06-10234')");
    if (level == 7)
        rows.push_back("INSERT INTO CheckListTable ([ID], [text], flags) VALUES ('OLD1', 'An old item', 1)");
    if (level >= 8) {
        rows.push_back(
            "INSERT INTO CheckListTable ([ID], beforeafter, [text], flagslo, trigger) VALUES ('C1', "
            "'before', 'Credit counseling certificate', 1, 'T1')");
        rows.push_back("INSERT INTO CheckListTriggerTable (trigger, description) VALUES ('T1', 'Always')");
    }
    if (level >= 12)
        rows.push_back(
            "INSERT INTO Chap13Provisions ([ProvisionId], [ProvisionDesc], [ProvisionText]) VALUES "
            "('P7', 'Pro rata', 'The plan pays the rest pro rata.')");
    return rows;
}

std::vector<std::string> CreditorRows(int level) {
    const std::string country = level >= 1 ? ", Country" : "";
    const std::string usa = level >= 1 ? ", 'USA'" : "";
    return {
        "INSERT INTO CreditorTable (CreditorName, Address1, City, State, Zip, PlusFour" + country +
            ") VALUES ('Macy''s', 'PO Box 8218', 'Mason', 'OH', 45040, 8218" + usa + ")",
        "INSERT INTO CreditorTable (CreditorName, Address1, Address2, City, State, Zip, PlusFour" + country +
            ") VALUES ('First Bank', '100 Main Street', 'Suite 4', 'Boston', 'MA', 2110, 0" + usa + ")",
    };
}

void MakeDatabase(const std::string& home, const char* base, const std::vector<std::string>& statements) {
    const std::string path = home + "\\" + base + ".mdb";
    win::DeleteFile(path);
    ASSERT_EQ(CreateDatabaseFile(path), 0u) << path;
    CDatabase db;
    db.OpenEx(FormatConnectString(home, base));
    for (const std::string& statement : statements) {
        try {
            db.ExecuteSQL(statement);
        } catch (const CDBException& e) {
            FAIL() << e.GetErrorMessage() << " in " << statement;
        }
    }
}

std::string SingleBlanks(const std::string& text) {
    std::string result;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank && (result.empty() || result.back() == ' '))
            continue;
        result += blank ? ' ' : c;
    }
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
}

// The column definitions of a CREATE TABLE text, split at the commas outside parentheses and quotes.
std::vector<std::string> ColumnDefinitions(const std::string& sql, std::string* options) {
    const std::size_t open = sql.find('(');
    const std::size_t close = sql.rfind(')');
    *options = SingleBlanks(sql.substr(close));
    std::vector<std::string> columns(1);
    int depth = 0;
    char quote = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        const char c = sql[i];
        if (quote != 0)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'' || c == '[')
            quote = c == '[' ? ']' : c;
        else if (c == '(' || c == ')')
            depth += c == '(' ? 1 : -1;
        else if (c == ',' && depth == 0) {
            columns.emplace_back();
            continue;
        }
        columns.back() += c;
    }
    for (std::string& column : columns)
        column = SingleBlanks(column.substr(column.find_first_not_of(' ')));
    return columns;
}

} // namespace

const char* const kFixtureEventGuids[3] = {"6f1d2b4e-8c1a-4f0e-9b3d-2a7c5e8f1d40",
                                           "0b9e7c6a-3d2f-4a1b-8e5c-7f6d4c3b2a19",
                                           "c3a8e1f2-5b6d-4c7e-a9f0-1e2d3c4b5a68"};

std::vector<std::string> HistoricalMainSchema(int level) {
    return SchemaAt(kMainDatabaseSchema, level, MainTableAt);
}

std::vector<std::string> HistoricalCreditorSchema(int level) {
    return SchemaAt(kCreditorDatabaseSchema, level, CreditorTableAt);
}

void MakeHistoricalDatabases(const std::string& home, int level) {
    std::vector<std::string> main = HistoricalMainSchema(level);
    const std::vector<std::string> mainRows = MainRows(level, main);
    main.insert(main.end(), mainRows.begin(), mainRows.end());
    MakeDatabase(home, "Tallymar", main);
    std::vector<std::string> creditors = HistoricalCreditorSchema(level);
    const std::vector<std::string> creditorRows = CreditorRows(level);
    creditors.insert(creditors.end(), creditorRows.begin(), creditorRows.end());
    MakeDatabase(home, "CreditorNames", creditors);
}

std::vector<std::string> SchemaLines(CDatabase& db) {
    const tl::SqliteStatement query = tl::Prepare(
        db.Handle(),
        "SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name");
    std::vector<std::string> lines;
    while (sqlite3_step(query.get()) == SQLITE_ROW) {
        const std::string table = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0));
        std::string options;
        for (const std::string& column :
             ColumnDefinitions(reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 1)), &options))
            lines.push_back(table + ": " + column);
        lines.push_back(table + " " + options);
    }
    return lines;
}

std::vector<std::string> QueryRows(CDatabase& db, const std::string& sqliteQuery) {
    const tl::SqliteStatement query = tl::Prepare(db.Handle(), sqliteQuery);
    std::vector<std::string> rows;
    while (sqlite3_step(query.get()) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(query.get()); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), i));
            row += (i > 0 ? "|" : "") + (text != nullptr ? std::string(text) : std::string("NULL"));
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> SchemaDifferences(const std::vector<std::string>& actual,
                                           const std::vector<std::string>& expected) {
    std::vector<std::string> differences;
    for (const std::string& line : expected) {
        if (std::find(actual.begin(), actual.end(), line) == actual.end())
            differences.push_back("- " + line);
    }
    for (const std::string& line : actual) {
        if (std::find(expected.begin(), expected.end(), line) == expected.end())
            differences.push_back("+ " + line);
    }
    // The same columns in another order bind the wrong fields just as surely.
    if (differences.empty() && actual != expected)
        differences.push_back("~ the same columns in another order");
    return differences;
}

} // namespace tltest
