#pragma once

#include <sqlite3.h>
#include <string_view>

namespace tl {

/// Changes the type of one column in place, as Jet's ALTER TABLE ... ALTER COLUMN does: the table
/// is rebuilt with the column's new SQLite definition at the same position, every row copied, the
/// autonumber counter kept. A column that was the primary key stays the key. All or nothing: on
/// any failure (no such table or column, a value that does not fit the new type) the table is
/// left as it was and CDBException carries the engine's text.
void AlterColumnByRebuild(sqlite3* db, std::string_view table, std::string_view column,
                          std::string_view newDefinition);

} // namespace tl
