#include "db/CDatabase.h"

#include "db/CDBException.h"
#include "db/ConnectString.h"
#include "db/JetTranslator.h"
#include "db/TableRebuild.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/WindowsPath.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

// How long a statement waits for another workstation's lock on the shared file.
constexpr int kBusyTimeoutMs = 5000;

[[noreturn]] void FailOpen(DWORD error, std::string message) {
    win::SetLastError(error);
    ThrowDBException(std::move(message));
}

} // namespace

void CDatabase::OpenEx(std::string_view connect, unsigned options) {
    if (IsOpen())
        ThrowDBException("The database is already open.");
    const auto attributes = tl::ParseConnectString(connect);
    const auto dbq = attributes.find("DBQ");
    if (dbq == attributes.end() || dbq->second.empty())
        FailOpen(win::ERROR_INVALID_PARAMETER, "Data source name not found and no default driver specified");
    const std::string& path = dbq->second;
    DWORD error = win::ERROR_SUCCESS;
    const auto host = tl::MapToHostPath(path, &error);
    struct stat info {};
    if (!host || ::stat(host->c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        FailOpen(host ? win::ERROR_FILE_NOT_FOUND : error,
                 tl::Format("Could not find file '%s'.", path.c_str()));

    sqlite3* raw = nullptr;
    const int flags = (options & openReadOnly) != 0 ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(host->c_str(), &raw, flags, nullptr);
    tl::SqliteConnection db(raw);
    if (rc != SQLITE_OK) {
        const int systemError = db ? sqlite3_system_errno(db.get()) : 0;
        win::SetLastError(systemError != 0 ? win::ErrorFromErrno(systemError) : win::ERROR_ACCESS_DENIED);
        ThrowDBException(db.get(), rc);
    }
    // Names in double quotes are names, never strings; no schema tricks through the connection.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    // The engine reads the file lazily; read its schema now so a foreign file fails here.
    const int check = sqlite3_exec(db.get(), "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (check == SQLITE_NOTADB)
        FailOpen(win::ERROR_INVALID_DATA, tl::Format("Unrecognized database format '%s'.", path.c_str()));
    if (check != SQLITE_OK) {
        win::SetLastError(win::ERROR_ACCESS_DENIED);
        ThrowDBException(db.get(), check);
    }
    db_ = std::move(db);
    connect_ = std::string(connect);
}

CDatabase& CDatabase::operator=(CDatabase&& other) noexcept {
    if (this == &other)
        return *this;
    Close();
    db_ = std::move(other.db_);
    connect_ = std::move(other.connect_);
    templates_ = std::move(other.templates_);
    statements_ = std::move(other.statements_);
    other.connect_.clear();
    other.templates_.clear();
    return *this;
}

void CDatabase::Close() {
    Rollback();
    statements_.Clear();
    db_.reset();
    connect_.clear();
}

sqlite3* CDatabase::Handle() const {
    if (!db_)
        ThrowDBException("The database is not open.");
    return db_.get();
}

bool CDatabase::IsInTransaction() const {
    return db_ && sqlite3_get_autocommit(db_.get()) == 0;
}

void CDatabase::BeginTrans() {
    sqlite3* db = Handle();
    if (IsInTransaction())
        ThrowDBException("A transaction is already open on this database.");
    // Take the write lock at once: two workstations that read and then write would otherwise
    // dead-lock each other.
    const bool readOnly = sqlite3_db_readonly(db, "main") == 1;
    tl::Execute(db, readOnly ? "BEGIN" : "BEGIN IMMEDIATE");
}

void CDatabase::CommitTrans() {
    sqlite3* db = Handle();
    if (!IsInTransaction())
        ThrowDBException("No transaction is open on this database; its work was undone.");
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return;
    CDBException failure(rc, sqlite3_errmsg(db));
    Rollback();
    throw failure;
}

void CDatabase::Rollback() noexcept {
    if (IsInTransaction())
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void CDatabase::ExecuteSQL(std::string_view sql) {
    sqlite3* db = Handle();
    const tl::TranslatedSql translated = tl::TranslateJetSql(sql);
    if (translated.changesSchema)
        statements_.Clear();
    if (translated.kind == tl::TranslatedSql::Kind::AlterColumn) {
        tl::AlterColumnByRebuild(db, translated.table, translated.column, translated.columnDefinition);
        return;
    }
    if (translated.changesSchema) {
        tl::Execute(db, translated.sql);
        return;
    }
    // Data statements are kept compiled: the next one that differs only in its values reuses it.
    const bool parameterized = !translated.parameters.empty();
    const tl::CachedStatement statement =
        statements_.Take(db, parameterized ? translated.parameterizedSql : translated.sql);
    tl::BindParameters(statement.get(), translated.parameters);
    tl::StepToEnd(db, statement.get());
}

const tl::TranslatedSql& CDatabase::TranslateTemplate(std::string_view jetTemplate) {
    if (const auto it = templates_.find(jetTemplate); it != templates_.end())
        return it->second;
    tl::TranslatedSql translated = tl::TranslateJetTemplate(jetTemplate);
    if (templates_.size() >= kMaxTemplates)
        templates_.clear();
    return templates_.emplace(std::string(jetTemplate), std::move(translated)).first->second;
}

void CDatabase::ExecuteSQL(std::string_view jetTemplate, std::initializer_list<tl::SqlValue> values) {
    sqlite3* db = Handle();
    const tl::TranslatedSql& translated = TranslateTemplate(jetTemplate);
    if (!tl::CanBindTemplateValues(translated.slots, values)) {
        ExecuteSQL(tl::FormatTemplate(jetTemplate, translated.slots, values));
        return;
    }
    const tl::CachedStatement statement = statements_.Take(db, translated.sql);
    // The statement is reset before the values go away, so the engine need not copy them.
    tl::BindTemplateValues(statement.get(), translated.slots, values, false);
    tl::StepToEnd(db, statement.get());
}
