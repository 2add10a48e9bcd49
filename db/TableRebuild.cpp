#include "db/TableRebuild.h"

#include "db/CDBException.h"
#include "db/JetLexer.h"
#include "db/SqliteHandles.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <optional>
#include <string>
#include <vector>

namespace tl {

namespace {

// The column definitions of a CREATE TABLE text as this layer writes it, split at the commas that
// stand outside parentheses, quotes and brackets.
struct TableText {
    std::vector<std::string> columns; // one definition each
    std::string tail;                 // from the closing ")" on
};

TableText SplitTableText(const std::string& sql) {
    TableText text;
    const std::size_t open = sql.find('(');
    const std::size_t close = sql.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        ThrowDBException("The table's definition cannot be read.");
    text.tail = sql.substr(close);
    int depth = 0;
    char quote = 0;
    std::string current;
    for (std::size_t i = open + 1; i < close; ++i) {
        const char c = sql[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'' || c == '`') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            text.columns.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    text.columns.push_back(current);
    return text;
}

// The name a column definition starts with.
std::string ColumnName(const std::string& definition) {
    const std::size_t start = definition.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return {};
    if (definition[start] == '"' || definition[start] == '[' || definition[start] == '`') {
        const char close = definition[start] == '[' ? ']' : definition[start];
        std::string name;
        for (std::size_t i = start + 1; i < definition.size(); ++i) {
            if (definition[i] != close) {
                name += definition[i];
            } else if (close != ']' && i + 1 < definition.size() && definition[i + 1] == close) {
                name += close;
                ++i;
            } else {
                break;
            }
        }
        return name;
    }
    const std::size_t end = definition.find_first_of(" \t\r\n", start);
    return definition.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool IsPrimaryKey(const std::string& definition) {
    const std::vector<JetToken> tokens = TokenizeJet(definition);
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i].IsWord("PRIMARY") && tokens[i + 1].IsWord("KEY"))
            return true;
    }
    return false;
}

std::pair<std::string, std::string> ReadTable(sqlite3* db, std::string_view table) {
    const SqliteStatement query =
        Prepare(db, "SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    sqlite3_bind_text(query.get(), 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(query.get());
    if (rc == SQLITE_DONE)
        ThrowDBException(Format("no such table: %.*s", static_cast<int>(table.size()), table.data()));
    if (rc != SQLITE_ROW)
        ThrowDBException(db, rc);
    return {reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0)),
            reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 1))};
}

std::optional<sqlite3_int64> ReadCounter(sqlite3* db, const std::string& table) {
    const SqliteStatement exists = Prepare(db, "SELECT 1 FROM sqlite_schema WHERE name = 'sqlite_sequence'");
    if (sqlite3_step(exists.get()) != SQLITE_ROW)
        return std::nullopt;
    const SqliteStatement query = Prepare(db, "SELECT seq FROM sqlite_sequence WHERE name = ?1");
    sqlite3_bind_text(query.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(query.get()) != SQLITE_ROW)
        return std::nullopt;
    return sqlite3_column_int64(query.get(), 0);
}

void RestoreCounter(sqlite3* db, const std::string& table, sqlite3_int64 counter) {
    const SqliteStatement update =
        Prepare(db, "UPDATE sqlite_sequence SET seq = max(seq, ?2) WHERE name = ?1");
    sqlite3_bind_text(update.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(update.get(), 2, counter);
    StepToEnd(db, update.get());
    if (sqlite3_changes(db) > 0)
        return;
    const SqliteStatement insert = Prepare(db, "INSERT INTO sqlite_sequence (name, seq) VALUES (?1, ?2)");
    sqlite3_bind_text(insert.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert.get(), 2, counter);
    StepToEnd(db, insert.get());
}

void Rebuild(sqlite3* db, std::string_view table, std::string_view column, std::string_view newDefinition) {
    const auto [name, sql] = ReadTable(db, table);
    TableText text = SplitTableText(sql);
    std::string columnList;
    bool found = false;
    for (std::string& definition : text.columns) {
        const std::string columnName = ColumnName(definition);
        columnList += (columnList.empty() ? "" : ", ") + QuoteIdentifier(columnName);
        if (found || !EqualsNoCase(columnName, column))
            continue;
        const bool key = IsPrimaryKey(definition);
        definition = " " + std::string(newDefinition);
        if (key && !IsPrimaryKey(definition))
            definition += " PRIMARY KEY";
        found = true;
    }
    if (!found)
        ThrowDBException(
            Format("no such column: %s.%.*s", name.c_str(), static_cast<int>(column.size()), column.data()));

    const std::optional<sqlite3_int64> counter = ReadCounter(db, name);
    const std::string rebuilt = QuoteIdentifier(name + "_tl_rebuild");
    std::string create = "CREATE TABLE " + rebuilt + " (";
    for (std::size_t i = 0; i < text.columns.size(); ++i)
        create += (i == 0 ? "" : ",") + text.columns[i];
    Execute(db, create + text.tail);
    Execute(db, "INSERT INTO " + rebuilt + " (" + columnList + ") SELECT " + columnList + " FROM " +
                    QuoteIdentifier(name));
    Execute(db, "DROP TABLE " + QuoteIdentifier(name));
    Execute(db, "ALTER TABLE " + rebuilt + " RENAME TO " + QuoteIdentifier(name));
    if (counter)
        RestoreCounter(db, name, *counter);
}

} // namespace

void AlterColumnByRebuild(sqlite3* db, std::string_view table, std::string_view column,
                          std::string_view newDefinition) {
    Execute(db, "SAVEPOINT tl_alter_column");
    try {
        Rebuild(db, table, column, newDefinition);
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO tl_alter_column; RELEASE tl_alter_column", nullptr, nullptr, nullptr);
        throw;
    }
    Execute(db, "RELEASE tl_alter_column");
}

} // namespace tl
