#pragma once

#include "db/JetTranslator.h"
#include "db/SqliteHandles.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tl {

class StatementCache;

/// A statement lent out by a StatementCache: reset and given back (or finalized, when its cache
/// has moved on to another connection) when it goes away. It travels with its text as the
/// cache's own entry, so lending and giving back copy no text and allocate nothing.
class CachedStatement {
public:
    using Entry = std::unordered_map<std::string, SqliteStatement>::node_type;

    CachedStatement() = default;
    CachedStatement(StatementCache* cache, Entry entry) : cache_(cache), entry_(std::move(entry)) {}
    CachedStatement(CachedStatement&& other) noexcept
        : cache_(std::exchange(other.cache_, nullptr)), entry_(std::move(other.entry_)) {}
    CachedStatement& operator=(CachedStatement&& other) noexcept;
    CachedStatement(const CachedStatement&) = delete;
    CachedStatement& operator=(const CachedStatement&) = delete;
    ~CachedStatement() { reset(); }

    sqlite3_stmt* get() const { return entry_ ? entry_.mapped().get() : nullptr; }
    explicit operator bool() const { return get() != nullptr; }
    /// Gives the statement back now.
    void reset();

private:
    StatementCache* cache_ = nullptr;
    Entry entry_;
};

/// The compiled statements of one connection by their text, so that statements that differ only
/// in their parameters are compiled once. A statement is lent out while in use, so two users of
/// the same text never share one. Holds at most kMaxStatements idle statements.
class StatementCache {
public:
    static constexpr std::size_t kMaxStatements = 64;

    StatementCache() = default;
    /// Moves the idle statements along; the cache moved from forgets its connection, so that a
    /// statement still lent out from it is finalized when it comes back.
    StatementCache(StatementCache&& other) noexcept
        : db_(std::exchange(other.db_, nullptr)), idle_(std::move(other.idle_)) {}
    StatementCache& operator=(StatementCache&& other) noexcept {
        if (this != &other) {
            idle_ = std::move(other.idle_);
            db_ = std::exchange(other.db_, nullptr);
        }
        return *this;
    }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    /// A statement for sql on db, compiled now unless an idle one is at hand. Throws CDBException
    /// as Prepare does.
    CachedStatement Take(sqlite3* db, const std::string& sql);
    /// Finalizes every idle statement and forgets the connection (schema changes, closing).
    void Clear();

private:
    friend class CachedStatement;
    void GiveBack(CachedStatement::Entry entry);

    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, SqliteStatement> idle_;
};

/// Binds the parameters of a translated statement (?1, ?2, ...) in order.
void BindParameters(sqlite3_stmt* statement, const std::vector<SqlParameter>& parameters);

} // namespace tl
