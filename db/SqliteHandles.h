#pragma once

#include <memory>
#include <sqlite3.h>
#include <string_view>

namespace tl {

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct SqliteFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

/// Sole owner of a SQLite connection.
using SqliteConnection = std::unique_ptr<sqlite3, SqliteCloser>;
/// Sole owner of a prepared statement.
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

/// Prepares exactly one statement of sql. Throws CDBException with the engine's text when it does
/// not compile, or when anything but blanks follows the first statement.
SqliteStatement Prepare(sqlite3* db, std::string_view sql);

/// Runs a statement to its end, discarding rows. Throws CDBException on failure.
void StepToEnd(sqlite3* db, sqlite3_stmt* statement);

/// Prepares and runs one statement. Throws CDBException on failure.
void Execute(sqlite3* db, std::string_view sql);

} // namespace tl
