#pragma once

#include "db/JetTranslator.h"
#include "db/SqlTemplate.h"
#include "db/SqliteHandles.h"
#include "db/StatementCache.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>

/// A connection to one database file, opened by an ODBC-style connection string whose DBQ= names
/// the file by its Windows path (the other attributes are kept with the string and have no
/// effect). Statements are in the Access (Jet) dialect and translated for SQLite.
///
/// Not copyable; the process-wide connections live for the whole run and recordsets point at them.
/// Moving hands the connection over with its compiled statements (the run state does so to set a
/// connection aside); a statement lent out at the time is finalized when it comes back.
class CDatabase {
public:
    static constexpr unsigned openReadOnly = 0x0004;

    CDatabase() = default;
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;
    CDatabase(CDatabase&& other) noexcept = default;
    /// Closes this connection first, then takes the other one's.
    CDatabase& operator=(CDatabase&& other) noexcept;
    /// Closes the connection (rolling back a transaction still open).
    ~CDatabase() = default;

    /// Opens the file named by DBQ= read-write (read-only with openReadOnly); the file must exist.
    /// On failure throws CDBException ("Could not find file '<path>'.", "Unrecognized database
    /// format '<path>'." or the engine's text) and leaves the system error code (win::GetLastError)
    /// saying why; the connection stays closed.
    void OpenEx(std::string_view connect, unsigned options = 0);
    /// Closes the connection; an open transaction is rolled back. Does nothing when closed.
    void Close();
    bool IsOpen() const { return static_cast<bool>(db_); }
    /// The connection string given to OpenEx, unchanged.
    const std::string& GetConnect() const { return connect_; }

    /// Transactions do not nest: beginning a second one, or committing without one, throws
    /// CDBException. A failed commit throws and leaves nothing of the transaction's work.
    void BeginTrans();
    void CommitTrans();
    /// Undoes the open transaction; does nothing when there is none (the engine may already have
    /// undone it after a failure). Never throws.
    void Rollback() noexcept;
    bool IsInTransaction() const;

    /// Runs exactly one statement of the Access dialect. Throws CDBException with the engine's text
    /// when it fails; a failed statement changes nothing. Text after the statement is refused.
    void ExecuteSQL(std::string_view sql);

    /// Runs one statement given as a template of the Access dialect and the values of its slots
    /// (db/JetLexer.h: '%s', %d, unquoted %s), exactly as ExecuteSQL runs the text that formatting
    /// the template gives with every text between quotes passed through SqlQuote: the same rows,
    /// the same failures with the same texts. The template is translated once per connection
    /// object and the values are bound, so no value is ever read as part of the statement. Throws
    /// CDBException as ExecuteSQL does, and before running anything when the template is not one
    /// data statement or the values do not fit its slots (see tl::CanBindTemplateValues: an
    /// unquoted %s takes only a whole-number literal).
    void ExecuteSQL(std::string_view jetTemplate, std::initializer_list<tl::SqlValue> values);

    /// The translation of a statement template (tl::TranslateJetTemplate), made once and kept.
    /// Throws CDBException as TranslateJetTemplate does.
    const tl::TranslatedSql& TranslateTemplate(std::string_view jetTemplate);

    /// The engine connection, for recordsets. Throws CDBException when the database is not open.
    sqlite3* Handle() const;

    /// The connection's compiled statements, for recordsets.
    tl::StatementCache& Statements() { return statements_; }

private:
    // Templates are program texts, so the few kept are looked up by their text without a copy.
    static constexpr std::size_t kMaxTemplates = 256;
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    tl::SqliteConnection db_;
    std::string connect_;
    std::unordered_map<std::string, tl::TranslatedSql, TextHash, std::equal_to<>> templates_;
    // After db_, so that its statements are finalized before the connection closes.
    tl::StatementCache statements_;
};

/// Rolls the database's transaction back when it goes out of scope without Commit. Begins the
/// transaction when constructed (throws CDBException as BeginTrans does).
class CTransaction {
public:
    explicit CTransaction(CDatabase& db) : db_(db) { db_.BeginTrans(); }
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    ~CTransaction() {
        if (!committed_)
            db_.Rollback();
    }
    /// Commits; throws CDBException when the engine cannot (the work is then undone).
    void Commit() {
        committed_ = true;
        db_.CommitTrans();
    }

private:
    CDatabase& db_;
    bool committed_ = false;
};
