#include "db/SqliteHandles.h"

#include "db/CDBException.h"

#include <string_view>

namespace tl {

SqliteStatement Prepare(sqlite3* db, std::string_view sql) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    SqliteStatement statement(raw);
    if (rc != SQLITE_OK)
        ThrowDBException(db, rc);
    if (statement == nullptr)
        ThrowDBException("The statement is empty.");
    // One call runs one statement: whatever follows it is refused, never run.
    const std::string_view rest = sql.substr(static_cast<std::size_t>(tail - sql.data()));
    if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos)
        ThrowDBException("Characters found after end of SQL statement.");
    return statement;
}

void StepToEnd(sqlite3* db, sqlite3_stmt* statement) {
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        ThrowDBException(db, rc);
}

void Execute(sqlite3* db, std::string_view sql) {
    const SqliteStatement statement = Prepare(db, sql);
    StepToEnd(db, statement.get());
}

} // namespace tl
