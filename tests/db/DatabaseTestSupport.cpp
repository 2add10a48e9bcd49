#include "tests/db/DatabaseTestSupport.h"

#include "db/CDBException.h"
#include "db/CreateDatabaseFile.h"
#include "db/SqlText.h"
#include "platform/FileApi.h"

#include <fstream>

namespace tltest {

DatabaseTest::DatabaseTest() {
    win::CreateDirectory(kHome);
}

void DatabaseTest::CreateAndOpen(CDatabase& db, const std::string& base) {
    const std::string path = std::string(kHome) + "\\" + base + ".mdb";
    ASSERT_EQ(CreateDatabaseFile(path), 0u) << path;
    db.OpenEx(FormatConnectString(kHome, base));
}

void DatabaseTest::CreateTables(CDatabase& db, std::span<const SchemaStep> schema) {
    CTransaction transaction(db);
    for (const SchemaStep& step : schema)
        db.ExecuteSQL(step.statement);
    transaction.Commit();
}

std::vector<std::string> DatabaseTest::Columns(CDatabase& db, const std::string& table) {
    std::vector<std::string> names;
    for (const std::string& row : Rows(db, "SELECT name FROM pragma_table_info('" + SqlQuote(table) + "')"))
        names.push_back(row);
    return names;
}

std::vector<std::string> DatabaseTest::Rows(CDatabase& db, const std::string& sqliteQuery) {
    const tl::SqliteStatement query = tl::Prepare(db.Handle(), sqliteQuery);
    std::vector<std::string> rows;
    while (sqlite3_step(query.get()) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(query.get()); ++i) {
            if (i > 0)
                row += '|';
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), i));
            row += text != nullptr ? std::string(text, sqlite3_column_bytes(query.get(), i)) : "NULL";
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> DatabaseTest::Tables(CDatabase& db) {
    return Rows(
        db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid");
}

void MakePlacesDatabase(const std::string& windowsPath) {
    ASSERT_EQ(CreateDatabaseFile(windowsPath), 0u) << windowsPath;
    CDatabase db;
    db.OpenEx("ODBC;DBQ=" + windowsPath + ";UID=admin");
    std::ifstream sql(TL_TEST_DATA_DIR "/places/TallymarPlaces.sql");
    ASSERT_TRUE(sql) << "places fixture missing";
    std::string line;
    while (std::getline(sql, line)) {
        if (line.empty() || line.starts_with("--"))
            continue;
        try {
            db.ExecuteSQL(line);
        } catch (const CDBException& e) {
            FAIL() << e.GetErrorMessage() << " in " << line;
        }
    }
}

} // namespace tltest
