#pragma once

#include "db/CDatabase.h"
#include "tables/DatabaseSchema.h"
#include "tests/support/TestMachine.h"

#include <span>
#include <string>
#include <vector>

namespace tltest {

/// A machine test that works with database files in the firm's home directory, C:\Firm. The
/// process-wide connections it opens close with its run state when it ends.
class DatabaseTest : public MachineTest {
protected:
    DatabaseTest();

    static constexpr char kHome[] = "C:\\Firm";

    /// Creates the empty file "C:\Firm\<base>.mdb" and opens db on it with the connection string.
    void CreateAndOpen(CDatabase& db, const std::string& base = "tallymar");

    /// Runs a database's schema statements in one transaction.
    static void CreateTables(CDatabase& db, std::span<const SchemaStep> schema);
    /// The column names of a table, in order.
    static std::vector<std::string> Columns(CDatabase& db, const std::string& table);
    /// The rows of an SQLite query (not translated), each row's values joined by "|", NULL as "NULL".
    static std::vector<std::string> Rows(CDatabase& db, const std::string& sqliteQuery);
    /// The names of the tables of the database in the order they were made (engine tables left out).
    static std::vector<std::string> Tables(CDatabase& db);
};

/// Makes the places database fixture (ZipCodeTable, CourtTable, StateTable with a few zip codes,
/// courts and states) at a Windows path from tests/data/places/TallymarPlaces.sql. Fails the
/// test when a statement of the file fails.
void MakePlacesDatabase(const std::string& windowsPath);

} // namespace tltest
