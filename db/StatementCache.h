#pragma once

#include "db/JetTranslator.h"
#include "db/SqliteHandles.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace tl {

class StatementCache;

/// A statement lent out by a StatementCache: reset and given back (or finalized, when its cache
/// has moved on to another connection) when it goes away.
class CachedStatement {
public:
    CachedStatement() = default;
    CachedStatement(StatementCache* cache, std::string key, SqliteStatement statement)
        : cache_(cache), key_(std::move(key)), statement_(std::move(statement)) {}
    CachedStatement(CachedStatement&& other) noexcept = default;
    CachedStatement& operator=(CachedStatement&& other) noexcept;
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;
    ~CachedStatement() { reset(); }

    sqlite3_stmt* get() const { return statement_.get(); }
    explicit operator bool() const { return static_cast<bool>(statement_); }
    /// Gives the statement back now.
    void reset();

private:
    StatementCache* cache_ = nullptr;
    std::string key_;
    SqliteStatement statement_;
};

/// The compiled statements of one connection by their text, so that statements that differ only
/// in their parameters are compiled once. A statement is lent out while in use, so two users of
/// the same text never share one. Holds at most kMaxStatements idle statements.
class StatementCache {
public:
    static constexpr std::size_t kMaxStatements = 64;

    /// A statement for sql on db, compiled now unless an idle one is at hand. Throws CDBException
    /// as Prepare does.
    CachedStatement Take(sqlite3* db, const std::string& sql);
    /// Finalizes every idle statement and forgets the connection (schema changes, closing).
    void Clear();

private:
    friend class CachedStatement;
    void GiveBack(std::string key, SqliteStatement statement);

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, SqliteStatement> idle_;
};

/// Binds the parameters of a translated statement (?1, ?2, ...) in order.
void BindParameters(sqlite3_stmt* statement, const std::vector<SqlParameter>& parameters);

} // namespace tl
