// 100,000 creditors imported through the real import proxy (the program, the pipe, the Access
// dialect and the duplicate check of every record) side by side with the same rows inserted by a
// bare SQLite loop (one prepared statement, one transaction). Run by hand:
//   build/tests/import/tl_import_benchmark [records]
#include "app/AppGlobals.h"
#include "db/CDatabase.h"
#include "db/CreateDatabaseFile.h"
#include "db/SqlText.h"
#include "import/CImportProxy.h"
#include "import/ReferenceImporters.h"
#include "platform/Format.h"
#include "platform/Machine.h"
#include "platform/WindowsPath.h"
#include "tables/DatabaseHandles.h"
#include "tables/DatabaseSchema.h"
#include "tables/ZipCode.h"
#include "tests/support/TestMachine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Creditor {
    std::string name, address1, address2, city, state, zip, country, alias1, alias2, alias3;
};

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
    if (CreateDatabaseFile(path) != 0) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
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

// The same rows with one prepared statement in one transaction, values normalised as the importer
// stores them.
void BareLoop(CDatabase& db, const std::vector<Creditor>& creditors) {
    sqlite3* handle = db.Handle();
    sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* raw = nullptr;
    sqlite3_prepare_v2(handle, "INSERT INTO CreditorTable VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &raw,
                       nullptr);
    const tl::SqliteStatement insert(raw);
    const auto text = [&insert](int index, const std::string& value) {
        static const std::string kBlank = " ";
        const std::string& stored = value.empty() ? kBlank : value;
        sqlite3_bind_text(insert.get(), index, stored.data(), static_cast<int>(stored.size()),
                          SQLITE_TRANSIENT);
    };
    for (const Creditor& c : creditors) {
        std::int32_t zip = 0;
        std::int32_t plusFour = 0;
        ParseZip(c.zip, zip, plusFour);
        text(1, c.name);
        text(2, c.address1);
        text(3, c.address2);
        text(4, c.city);
        text(5, c.state);
        sqlite3_bind_int(insert.get(), 6, zip);
        sqlite3_bind_int(insert.get(), 7, plusFour);
        text(8, c.alias1);
        text(9, c.alias2);
        text(10, c.alias3);
        text(11, c.country);
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            std::fprintf(stderr, "bare insert failed: %s\n", sqlite3_errmsg(handle));
            std::exit(1);
        }
        sqlite3_reset(insert.get());
    }
    sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
}

// The same rows as one INSERT text per row, each compiled by the engine, in one transaction.
void BareTextLoop(CDatabase& db, const std::vector<Creditor>& creditors) {
    sqlite3* handle = db.Handle();
    sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    const auto text = [](const std::string& value) { return SqlQuote(value.empty() ? " " : value); };
    for (const Creditor& c : creditors) {
        std::int32_t zip = 0;
        std::int32_t plusFour = 0;
        ParseZip(c.zip, zip, plusFour);
        const std::string sql = tl::Format(
            "INSERT INTO CreditorTable VALUES('%s', '%s', '%s', '%s', '%s', %d, %d, '%s', '%s', '%s', '%s')",
            text(c.name).c_str(), text(c.address1).c_str(), text(c.address2).c_str(), text(c.city).c_str(),
            text(c.state).c_str(), zip, plusFour, text(c.alias1).c_str(), text(c.alias2).c_str(),
            text(c.alias3).c_str(), text(c.country).c_str());
        if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bare insert failed: %s\n", sqlite3_errmsg(handle));
            std::exit(1);
        }
    }
    sqlite3_exec(handle, "COMMIT", nullptr, nullptr, nullptr);
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    tltest::TempFolder folder;
    tl::ScopedMachine machine(std::make_unique<tl::Machine>(folder.Path() / "machine"));
    const fs::path install = *tl::MapToHostPath("C:\\Program Files\\Tallymar");
    fs::create_directories(install);
    fs::create_directories(*tl::MapToHostPath("C:\\Firm"));
    fs::copy_file(TL_IMPORT_PROXY, install / "TLMFIMPRT.EXE");
    theInstallDirectory = "C:\\Program Files\\Tallymar";

    const std::vector<Creditor> creditors = MakeCreditors(count);
    WriteCreditorFile(install / "creditors.ini", creditors);

    // The exchange alone: the proxy reads the file and sends the records over the pipe. The import
    // stores each record while the proxy sends the next, so the two overlap there.
    const auto exchangeStart = Clock::now();
    {
        static constexpr std::string_view kColumns[] = {"Name",   "Address1", "Address2", "City",
                                                        "State",  "Zipcode",  "Country",  "Alias1",
                                                        "Alias2", "Alias3"};
        CImportProxy proxy;
        ImportRecords records;
        proxy.QueryFile("C:\\Program Files\\Tallymar\\creditors.ini", kColumns, records);
    }
    const double exchangeSeconds = Seconds(Clock::now() - exchangeStart);

    CreateCreditorDatabase(theCreditorDb, "CreditorNames");
    const auto importStart = Clock::now();
    const bool imported = ImportCreditors("C:\\Program Files\\Tallymar\\creditors.ini");
    const double importSeconds = Seconds(Clock::now() - importStart);
    const int importedRows = CountRows(theCreditorDb);
    theCreditorDb.Close();

    CDatabase bare;
    CreateCreditorDatabase(bare, "Bare");
    const auto bareStart = Clock::now();
    BareLoop(bare, creditors);
    const double bareSeconds = Seconds(Clock::now() - bareStart);
    const int bareRows = CountRows(bare);

    CDatabase bareText;
    CreateCreditorDatabase(bareText, "BareText");
    const auto bareTextStart = Clock::now();
    BareTextLoop(bareText, creditors);
    const double bareTextSeconds = Seconds(Clock::now() - bareTextStart);

    std::printf("records                          %d\n", count);
    std::printf("import through the proxy         %.3f s (%d rows%s)\n", importSeconds, importedRows,
                imported ? "" : ", FAILED");
    std::printf("  the proxy exchange alone       %.3f s\n", exchangeSeconds);
    std::printf("bare SQLite loop, one transaction %.3f s (%d rows)\n", bareSeconds, bareRows);
    std::printf("bare loop, one INSERT text a row %.3f s (%d rows)\n", bareTextSeconds, CountRows(bareText));
    std::printf("ratio to the prepared loop       %.2f (the goal: at most 2.00)\n",
                importSeconds / bareSeconds);
    std::printf("ratio to the text loop           %.2f\n", importSeconds / bareTextSeconds);
    return imported && importedRows == count && bareRows == count ? 0 : 1;
}
