#pragma once

#include "db/CDatabase.h"

#include <string>
#include <vector>

// Databases as firms have them from earlier releases: the main and creditor names databases of a
// given database level, with rows in them, made from today's schema with the changes of the
// upgrade ladder taken back. Test support only.

namespace tltest {

/// The levels there are fixtures for.
inline constexpr int kHistoricalLevels[] = {0, 3, 6, 7, 8, 11, 12, 13, 14};

/// The CREATE TABLE statements of the main database at a level, in the order of creation.
std::vector<std::string> HistoricalMainSchema(int level);
/// The same for the creditor names database.
std::vector<std::string> HistoricalCreditorSchema(int level);

/// Makes "<home>\Tallymar.mdb" and "<home>\CreditorNames.mdb" as they were at the level, with
/// rows: a firm, an attorney, a client, three events (with GUIDs from level 3 on), two trustees
/// (Ch13 Yes and No, 1 and 0 from level 13 on), settings, checklists and creditors where the
/// level has their tables. Replaces existing files; fails the test on any failure.
void MakeHistoricalDatabases(const std::string& home, int level);

/// The GUIDs the fixtures give their events from level 3 on.
extern const char* const kFixtureEventGuids[3];

/// A database's tables, each with its columns' definitions in order and its table options, one
/// line per column: "<table>: <definition>" (whitespace made single blanks), then
/// "<table> <options>" (the text from its closing parenthesis on). Tables sorted by name.
std::vector<std::string> SchemaLines(CDatabase& db);

/// The rows of an SQLite query (not translated), each row's values joined by "|", NULL as "NULL".
std::vector<std::string> QueryRows(CDatabase& db, const std::string& sqliteQuery);

/// The lines of one schema that the other lacks: "- <line>" for lines only in expected, "+ <line>"
/// for lines only in actual; column order counts.
std::vector<std::string> SchemaDifferences(const std::vector<std::string>& actual,
                                           const std::vector<std::string>& expected);

} // namespace tltest
