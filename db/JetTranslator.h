#pragma once

#include "db/JetLexer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

/// A value taken out of a statement: a text literal, or a whole-number literal.
struct SqlParameter {
    bool isText = true;
    std::string text;
    std::int64_t number = 0;
};

/// One statement of the Access (Jet) dialect turned into what SQLite runs.
///
/// The dialect as this program uses it: COUNTER autonumbers, TEXT(n) of at most n characters,
/// MEMO, YESNO (True is -1), INTEGER (32 bits), DATETIME, DOUBLE, bracketed and reserved names,
/// TRUE and FALSE, case-insensitive comparison of text, ALTER TABLE ADD, DROP and ALTER COLUMN.
/// Tables are made STRICT, so a value of the wrong type fails the statement as it does in Jet;
/// each limit is a named column constraint, so the engine's error text says which one was hit.
struct TranslatedSql {
    enum class Kind {
        Plain,       ///< run sql as it is
        AlterColumn, ///< change column's type in place: rebuild table with columnDefinition
    };
    Kind kind = Kind::Plain;
    std::string sql;

    // AlterColumn: the table, the column and its new SQLite column definition.
    std::string table;
    std::string column;
    std::string columnDefinition;

    // A plain "SELECT <* or names> FROM <table> [WHERE ...] [ORDER BY ...]": its rows can be
    // edited. selectTable is the SQLite-quoted table name, selectColumns the translated list, and
    // sqlWithRowid the same statement with the row id as its first column. Empty otherwise.
    std::string selectTable;
    std::string selectColumns;
    std::string sqlWithRowid;

    // Data statements: the same statement with its text literals and its whole numbers in value
    // positions (after "(", ",", or a comparison, never in ORDER BY or GROUP BY) taken out as "?"
    // parameters, and their values in order. Statements that differ only in these values share
    // the text, so the engine compiles them once. Empty for other statements.
    std::string parameterizedSql;
    std::vector<SqlParameter> parameters;

    /// CREATE, ALTER or DROP: statements compiled before may no longer fit the schema.
    bool changesSchema = false;

    // A statement template: its value slots in order. sql and sqlWithRowid carry slot k as the
    // parameter ?k; the template's own literals stay in the text, and parameterizedSql is empty.
    std::vector<JetSlot> slots;
};

/// Translates one statement. Throws CDBException (with a Jet-style message) when the text is not a
/// single statement of the dialect: a syntax error, an unknown type or function, text after ";".
TranslatedSql TranslateJetSql(std::string_view jetSql);

/// Translates a template of one data statement (SELECT, INSERT, UPDATE, DELETE; see
/// TokenizeJetTemplate), once for every set of values. Throws CDBException as TranslateJetSql does,
/// for a template of another statement, and for a %d or unquoted %s slot where the formatted
/// statement would not carry its value as a value (only after "(", ",", or a comparison, and
/// never in ORDER BY or GROUP BY), so that binding the value means what formatting it would.
TranslatedSql TranslateJetTemplate(std::string_view jetTemplate);

} // namespace tl
