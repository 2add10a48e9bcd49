// 100,000 creditors imported through the real import proxy (the program, the pipe, the Access
// dialect and the duplicate check of every record) against a bare SQLite loop doing the same
// SELECT and INSERT for every row in one transaction: with the SQL text of each row compiled for
// it, and with both statements prepared once.
//   tl_bench_import [records]
#include "app/AppGlobals.h"
#include "app/ScriptedUserInterface.h"
#include "benchmarks/BenchRow.h"
#include "db/CDatabase.h"
#include "db/CreateDatabaseFile.h"
#include "db/SqlText.h"
#include "import/ReferenceImporters.h"
#include "platform/Format.h"
#include "platform/Machine.h"
#include "platform/WindowsPath.h"
#include "tables/DatabaseHandles.h"
#include "tables/DatabaseSchema.h"
#include "tables/ZipCode.h"

#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Creditor {
    std::string name, address1, address2, city, state, zip, country, alias1, alias2, alias3;
};

constexpr char kFind[] = "SELECT * FROM CreditorTable WHERE CreditorName = ?";
constexpr char kInsert[] = "INSERT INTO CreditorTable VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

std::vector<Creditor> MakeCreditors(int count) {
    std::vector<Creditor> creditors;
    creditors.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        creditors.push_back({tl::Format("Creditor's Bank %06d", i), tl::Format("PO Box %d", 1000 + i % 9000),
                             "", "Springfield", "IL", tl::Format("%05d-%04d", 10000 + i % 89999, i % 10000),
                             "USA", tl::Format("CB %d", i), "", ""});
    }
    return creditors;
}

void WriteCreditorFile(const fs::path& path, const std::vector<Creditor>& creditors) {
    std::ofstream out(path, std::ios::binary);
    for (const Creditor& c : creditors) {
        out << "[creditor]\nName=" << c.name << "\nAddress1=" << c.address1 << "\nCity=" << c.city
            << "\nState=" << c.state << "\nZipcode=" << c.zip << "\nCountry=" << c.country
            << "\nAlias1=" << c.alias1 << "\n";
    }
}

void CreateCreditorDatabase(CDatabase& db, const std::string& base) {
    const std::string path = "C:\\Firm\\" + base + ".mdb";
    if (CreateDatabaseFile(path) != 0)
        bench::Fail("cannot create " + path);
    db.OpenEx(FormatConnectString("C:\\Firm", base));
    CTransaction transaction(db);
    for (const SchemaStep& step : kCreditorDatabaseSchema)
        db.ExecuteSQL(step.statement);
    transaction.Commit();
}

int CountRows(CDatabase& db) {
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(db.Handle(), "SELECT count(*) FROM CreditorTable", -1, &raw, nullptr);
    const tl::SqliteStatement count(raw);
    sqlite3_step(count.get());
    return sqlite3_column_int(count.get(), 0);
}

void Exec(sqlite3* handle, const std::string& sql) {
    if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        bench::Fail(sql + ": " + sqlite3_errmsg(handle));
}

const std::string& Stored(const std::string& value) {
    static const std::string kBlank = " ";
    return value.empty() ? kBlank : value;
}

// Both statements prepared once, the values bound, values normalised as the importer stores them.
void PreparedOnce(CDatabase& db, const std::vector<Creditor>& creditors) {
    sqlite3* handle = db.Handle();
    Exec(handle, "BEGIN IMMEDIATE");
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(handle, kFind, -1, &raw, nullptr);
    const tl::SqliteStatement find(raw);
    sqlite3_prepare_v2(handle, kInsert, -1, &raw, nullptr);
    const tl::SqliteStatement insert(raw);
    const auto text = [](sqlite3_stmt* statement, int index, const std::string& value) {
        const std::string& stored = Stored(value);
        sqlite3_bind_text(statement, index, stored.data(), static_cast<int>(stored.size()), SQLITE_STATIC);
    };
    for (const Creditor& c : creditors) {
        text(find.get(), 1, c.name);
        const bool known = sqlite3_step(find.get()) == SQLITE_ROW;
        sqlite3_reset(find.get());
        if (known)
            continue;
        std::int32_t zip = 0;
        std::int32_t plusFour = 0;
        ParseZip(c.zip, zip, plusFour);
        text(insert.get(), 1, c.name);
        text(insert.get(), 2, c.address1);
        text(insert.get(), 3, c.address2);
        text(insert.get(), 4, c.city);
        text(insert.get(), 5, c.state);
        sqlite3_bind_int(insert.get(), 6, zip);
        sqlite3_bind_int(insert.get(), 7, plusFour);
        text(insert.get(), 8, c.alias1);
        text(insert.get(), 9, c.alias2);
        text(insert.get(), 10, c.alias3);
        text(insert.get(), 11, c.country);
        if (sqlite3_step(insert.get()) != SQLITE_DONE)
            bench::Fail(std::string("insert: ") + sqlite3_errmsg(handle));
        sqlite3_reset(insert.get());
    }
    Exec(handle, "COMMIT");
}

// The SELECT and the INSERT as SQL text for each row, each compiled by the engine for that row.
void PreparedEachTime(CDatabase& db, const std::vector<Creditor>& creditors) {
    sqlite3* handle = db.Handle();
    Exec(handle, "BEGIN IMMEDIATE");
    const auto quoted = [](const std::string& value) { return SqlQuote(Stored(value)); };
    for (const Creditor& c : creditors) {
        const std::string select =
            tl::Format("SELECT * FROM CreditorTable WHERE CreditorName = '%s'", quoted(c.name).c_str());
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(handle, select.c_str(), -1, &raw, nullptr);
        const tl::SqliteStatement find(raw);
        if (sqlite3_step(find.get()) == SQLITE_ROW)
            continue;
        std::int32_t zip = 0;
        std::int32_t plusFour = 0;
        ParseZip(c.zip, zip, plusFour);
        Exec(handle, tl::Format("INSERT INTO CreditorTable VALUES('%s', '%s', '%s', '%s', '%s', %d, %d, '%s', "
                                "'%s', '%s', '%s')",
                                quoted(c.name).c_str(), quoted(c.address1).c_str(), quoted(c.address2).c_str(),
                                quoted(c.city).c_str(), quoted(c.state).c_str(), zip, plusFour,
                                quoted(c.alias1).c_str(), quoted(c.alias2).c_str(), quoted(c.alias3).c_str(),
                                quoted(c.country).c_str()));
    }
    Exec(handle, "COMMIT");
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const bench::WorkFolder work("import");
    tl::ScopedMachine machine(std::make_unique<tl::Machine>(work.Path() / "machine"));
    ScopedScriptedUserInterface ui;
    const fs::path install = *tl::MapToHostPath("C:\\Program Files\\Tallymar");
    fs::create_directories(install);
    fs::create_directories(*tl::MapToHostPath("C:\\Firm"));
    fs::copy_file(TL_IMPORT_PROXY, install / "TLMFIMPRT.EXE");
    fs::permissions(install / "TLMFIMPRT.EXE", fs::perms::owner_all, fs::perm_options::add);
    theInstallDirectory = "C:\\Program Files\\Tallymar";
    const std::vector<Creditor> creditors = MakeCreditors(count);
    WriteCreditorFile(install / "creditors.ini", creditors);

    bench::Row row{"import", tl::Format("import %d creditor records through the real proxy", count), "records/s"};
    row.ours.name = "ImportCreditors";
    row.peers = {{"bare SQLite loop, SELECT+INSERT prepared once", {}},
                 {"bare SQLite loop, SELECT+INSERT text prepared each time", {}}};
    row.targets = {{row.peers[0].name, ">=", 0.5}};
    for (int run = 0; run < bench::Runs(); ++run) {
        const std::string suffix = std::to_string(run);
        CreateCreditorDatabase(theCreditorDb, "CreditorNames" + suffix);
        bool imported = false;
        const double ours = bench::TimeOf([&] { imported = ImportCreditors("C:\\Program Files\\Tallymar\\creditors.ini"); });
        if (!imported || CountRows(theCreditorDb) != count || !ui.Messages().empty())
            bench::Fail("the import did not store every record");
        theCreditorDb.Close();

        CDatabase once;
        CreateCreditorDatabase(once, "Once" + suffix);
        const double onceSeconds = bench::TimeOf([&] { PreparedOnce(once, creditors); });
        CDatabase each;
        CreateCreditorDatabase(each, "Each" + suffix);
        const double eachSeconds = bench::TimeOf([&] { PreparedEachTime(each, creditors); });
        if (CountRows(once) != count || CountRows(each) != count)
            bench::Fail("a bare loop lost rows");
        row.ours.values.push_back(count / ours);
        row.peers[0].values.push_back(count / onceSeconds);
        row.peers[1].values.push_back(count / eachSeconds);
    }
    bench::Print(row);
    return 0;
}
