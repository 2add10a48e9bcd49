#pragma once

#include "db/CFieldExchange.h"
#include "db/SqlTemplate.h"
#include "db/SqliteHandles.h"
#include "db/StatementCache.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class CDatabase;

/// Rows of a query bound field by field, in exchange order, to the members of a derived class
/// (DoFieldExchange): the n-th field receives the n-th column of the result. Fields of a NULL
/// column read as the empty text, 0 or false.
///
/// A recordset opened on "SELECT <* or names> FROM <one table> [WHERE ...] [ORDER BY ...]" without
/// readOnly can edit its rows: it keeps the row ids of the result and reads the current row again
/// whenever it moves, so a row that someone deleted meanwhile shows as deleted. Every other
/// recordset reads forward through the result. Snapshot and dynaset behave alike here.
class CRecordset {
public:
    enum OpenType { useDefaultType = -1, dynaset = 0, snapshot = 1 };
    enum OpenOptions : unsigned { none = 0, readOnly = 0x0004 };

    /// The recordset works on db, which must outlive it.
    explicit CRecordset(CDatabase* db) : m_pDatabase(db) {}
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;
    virtual ~CRecordset() { Close(); }

    /// Runs the statement (the default SQL when sql is empty) and reads the first row. A text that
    /// does not begin with SELECT is a table name: its bound fields are selected by name. Throws
    /// CDBException when the database is not open, the statement fails, or it yields fewer
    /// columns than the recordset binds.
    void Open(int openType = useDefaultType, std::string_view sql = {}, unsigned options = none);
    /// Opens a SELECT statement given as a template of the Access dialect and the values of its
    /// slots, exactly as Open does with the text that formatting the template gives with every text
    /// between quotes passed through SqlQuote (see CDatabase::ExecuteSQL with values). The template
    /// is translated once per connection object and the values are bound. Throws CDBException as
    /// Open does, and before running anything when the values do not fit the template's slots.
    void Open(int openType, std::string_view sqlTemplate, std::initializer_list<tl::SqlValue> values,
              unsigned options = none);
    /// Ends the query; field values stay as they are. Does nothing when not open.
    void Close();
    bool IsOpen() const { return open_; }

    bool IsBOF() const { return open_ && bof_; }
    /// True when the recordset is empty or has been moved past its last row.
    bool IsEOF() const { return !open_ || eof_; }
    /// Reads the next row; an edit in progress is dropped. Throws CDBException at the end or when
    /// the engine fails.
    void MoveNext();
    /// True when the current row was deleted after the recordset was opened.
    bool IsDeleted() const { return deleted_; }
    bool CanUpdate() const { return open_ && !table_.empty(); }

    /// Starts changing the current row. Throws CDBException when the recordset cannot be
    /// updated or stands on no row.
    void Edit();
    /// Writes the fields changed since Edit to the current row; false when none changed. Throws
    /// CDBException when the engine refuses the change (a too-long text, a wrong type, a duplicate
    /// key): the row is unchanged and the edit stays open for CancelUpdate.
    bool Update();
    /// Drops the edit in progress, giving the fields back the values they had at Edit.
    void CancelUpdate();

    virtual std::string GetDefaultConnect() const { return "ODBC;DSN=MS Access Database"; }
    /// The bracketed table name the recordset reads when opened without a statement.
    virtual std::string GetDefaultSQL() const = 0;
    /// Binds the fields in exchange order.
    virtual void DoFieldExchange(CFieldExchange& fx) = 0;

protected:
    CDatabase* m_pDatabase;
    OpenType m_nDefaultType = snapshot;

private:
    struct FieldValue {
        std::string text;
        std::int64_t number = 0;
        bool operator==(const FieldValue&) const = default;
    };

    // Binds a query's values before its first step.
    using Binder = std::function<void(sqlite3_stmt*)>;

    sqlite3* BeginOpen();
    void OpenTranslated(sqlite3* db, const tl::TranslatedSql& translated, unsigned options,
                        const Binder& bind);
    void OpenForUpdate(sqlite3* db, const tl::TranslatedSql& translated, const Binder& bind);
    void OpenForward(sqlite3* db, const std::string& sql, const Binder& bind);
    void CheckColumnCount(sqlite3_stmt* statement, int firstColumn) const;
    void FetchCurrent();
    void StepForward();
    void LoadFields(sqlite3_stmt* statement, int firstColumn);
    std::vector<FieldValue> CaptureValues() const;
    void RestoreValues(const std::vector<FieldValue>& values);

    std::vector<FieldBinding> fields_;
    bool open_ = false;
    bool bof_ = true;
    bool eof_ = true;
    bool deleted_ = false;
    bool editing_ = false;

    // Read forward, on a statement lent by the database's cache.
    tl::CachedStatement cursor_;
    // Editable: the table, its column names by field, the result's row ids and the current one.
    std::string table_;
    std::vector<std::string> columnNames_;
    std::vector<std::int64_t> rowIds_;
    std::size_t current_ = 0;
    tl::SqliteStatement fetch_;
    std::vector<FieldValue> editValues_;
};
