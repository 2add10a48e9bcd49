#include "db/StatementCache.h"

namespace tl {

CachedStatement& CachedStatement::operator=(CachedStatement&& other) noexcept {
    if (this != &other) {
        reset();
        cache_ = std::exchange(other.cache_, nullptr);
        entry_ = std::move(other.entry_);
    }
    return *this;
}

void CachedStatement::reset() {
    if (!entry_)
        return;
    if (cache_ == nullptr) {
        entry_ = Entry();
        return;
    }
    std::exchange(cache_, nullptr)->GiveBack(std::move(entry_));
}

CachedStatement StatementCache::Take(sqlite3* db, const std::string& sql) {
    if (db != db_) {
        Clear();
        db_ = db;
    }
    if (const auto it = idle_.find(sql); it != idle_.end())
        return CachedStatement(this, idle_.extract(it));
    // A new statement gets an entry of its own, to join the idle ones when it comes back.
    std::unordered_map<std::string, SqliteStatement> fresh;
    fresh.emplace(sql, Prepare(db, sql));
    return CachedStatement(this, fresh.extract(fresh.begin()));
}

void StatementCache::GiveBack(CachedStatement::Entry entry) {
    sqlite3_stmt* statement = entry.mapped().get();
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    // A statement of a connection that was closed or replaced meanwhile is not kept.
    if (db_ == nullptr || sqlite3_db_handle(statement) != db_)
        return;
    if (idle_.size() >= kMaxStatements && idle_.find(entry.key()) == idle_.end())
        idle_.clear();
    // When another user of the same text gave its statement back first, this one is finalized.
    idle_.insert(std::move(entry));
}

void StatementCache::Clear() {
    idle_.clear();
    db_ = nullptr;
}

void BindParameters(sqlite3_stmt* statement, const std::vector<SqlParameter>& parameters) {
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const SqlParameter& parameter = parameters[i];
        const int index = static_cast<int>(i) + 1;
        if (parameter.isText)
            sqlite3_bind_text(statement, index, parameter.text.data(),
                              static_cast<int>(parameter.text.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_int64(statement, index, parameter.number);
    }
}

} // namespace tl
