#include "db/StatementCache.h"

namespace tl {

CachedStatement& CachedStatement::operator=(CachedStatement&& other) noexcept {
    if (this != &other) {
        reset();
        cache_ = other.cache_;
        key_ = std::move(other.key_);
        statement_ = std::move(other.statement_);
        other.cache_ = nullptr;
    }
    return *this;
}

void CachedStatement::reset() {
    if (!statement_)
        return;
    if (cache_ == nullptr) {
        statement_.reset();
        return;
    }
    cache_->GiveBack(std::move(key_), std::move(statement_));
    cache_ = nullptr;
}

CachedStatement StatementCache::Take(sqlite3* db, const std::string& sql) {
    if (db != db_) {
        Clear();
        db_ = db;
    }
    if (const auto it = idle_.find(sql); it != idle_.end()) {
        SqliteStatement statement = std::move(it->second);
        idle_.erase(it);
        return CachedStatement(this, sql, std::move(statement));
    }
    return CachedStatement(this, sql, Prepare(db, sql));
}

void StatementCache::GiveBack(std::string key, SqliteStatement statement) {
    sqlite3_reset(statement.get());
    sqlite3_clear_bindings(statement.get());
    // A statement of a connection that was closed or replaced meanwhile is not kept.
    if (db_ == nullptr || sqlite3_db_handle(statement.get()) != db_)
        return;
    if (idle_.size() >= kMaxStatements && idle_.find(key) == idle_.end())
        idle_.clear();
    idle_.try_emplace(std::move(key), std::move(statement));
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
