#include "db/CRecordset.h"

#include "db/CDBException.h"
#include "db/CDatabase.h"
#include "db/JetLexer.h"
#include "db/JetTranslator.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

namespace {

// Cuts text to at most maxChars characters, counting as the engine's length() does: every byte
// except a UTF-8 continuation byte starts a character, so single-byte text counts its bytes.
void CutToCharacters(std::string& text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80 && byte <= 0xBF)
            continue;
        if (++chars > maxChars) {
            text.resize(i);
            return;
        }
    }
}

[[noreturn]] void FailColumn(const FieldBinding& field, const char* problem) {
    ThrowDBException(tl::Format("%s reading field %s.", problem, field.name));
}

std::int64_t ReadInteger(sqlite3_stmt* statement, int column, const FieldBinding& field) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
        return sqlite3_column_int64(statement, column);
    case SQLITE_FLOAT: {
        const double value = sqlite3_column_double(statement, column);
        if (!(value > -9.3e18 && value < 9.3e18))
            FailColumn(field, "Numeric value out of range");
        return static_cast<std::int64_t>(value);
    }
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        const auto* end = text + sqlite3_column_bytes(statement, column);
        std::int64_t value = 0;
        const auto [stop, ec] = std::from_chars(text, end, value);
        if (ec != std::errc() || stop != end)
            FailColumn(field, "Data type mismatch");
        return value;
    }
    default:
        FailColumn(field, "Data type mismatch");
    }
}

std::int32_t ReadNumber(sqlite3_stmt* statement, int column, const FieldBinding& field) {
    const std::int64_t value = ReadInteger(statement, column, field);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        FailColumn(field, "Numeric value out of range");
    return static_cast<std::int32_t>(value);
}

// Dates are kept as "YYYY-MM-DD HH:MM:SS" in local time.
std::time_t ReadDate(sqlite3_stmt* statement, int column, const FieldBinding& field) {
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return 0;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    std::tm parts{};
    const int read = std::sscanf(text, "%d-%d-%d %d:%d:%d", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                                 &parts.tm_hour, &parts.tm_min, &parts.tm_sec);
    if (read != 3 && read != 6)
        FailColumn(field, "Invalid date and time");
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

std::string FormatDate(std::time_t value) {
    std::tm parts{};
    localtime_r(&value, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

bool StartsWithSelect(std::string_view sql) {
    const std::size_t start = sql.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return false;
    sql.remove_prefix(start);
    return tl::StartsWithNoCase(sql, "SELECT") &&
           (sql.size() == 6 || !std::isalnum(static_cast<unsigned char>(sql[6])));
}

} // namespace

sqlite3* CRecordset::BeginOpen() {
    if (open_)
        ThrowDBException("The recordset is already open.");
    if (m_pDatabase == nullptr)
        ThrowDBException("The recordset has no database.");
    sqlite3* db = m_pDatabase->Handle();
    CFieldExchange fx;
    DoFieldExchange(fx);
    fields_ = fx.TakeFields();
    return db;
}

void CRecordset::Open(int openType, std::string_view sql, unsigned options) {
    (void)openType; // both types read the current row when moved to (see the class comment)
    sqlite3* db = BeginOpen();
    std::string jet(sql.empty() ? GetDefaultSQL() : std::string(sql));
    if (!StartsWithSelect(jet)) {
        std::string names;
        for (const FieldBinding& field : fields_)
            names += (names.empty() ? "" : ",") + std::string(field.name);
        jet = "SELECT " + names + " FROM " + jet;
    }
    const tl::TranslatedSql translated = tl::TranslateJetSql(jet);
    OpenTranslated(db, translated, options,
                   [&translated](sqlite3_stmt* query) { tl::BindParameters(query, translated.parameters); });
}

void CRecordset::Open(int openType, std::string_view sqlTemplate, std::initializer_list<tl::SqlValue> values,
                      unsigned options) {
    sqlite3* db = BeginOpen();
    const tl::TranslatedSql& translated = m_pDatabase->TranslateTemplate(sqlTemplate);
    if (!tl::CanBindTemplateValues(translated.slots, values)) {
        Open(openType, tl::FormatTemplate(sqlTemplate, translated.slots, values), options);
        return;
    }
    // The query outlives the values (it is stepped again by MoveNext), so the engine copies them.
    OpenTranslated(db, translated, options, [&translated, &values](sqlite3_stmt* query) {
        tl::BindTemplateValues(query, translated.slots, values, true);
    });
}

void CRecordset::OpenTranslated(sqlite3* db, const tl::TranslatedSql& translated, unsigned options,
                                const Binder& bind) {
    if (translated.kind != tl::TranslatedSql::Kind::Plain || !StartsWithSelect(translated.sql))
        ThrowDBException("A recordset needs a SELECT statement.");
    deleted_ = false;
    editing_ = false;
    if ((options & readOnly) == 0 && !translated.selectTable.empty())
        OpenForUpdate(db, translated, bind);
    else if (!translated.parameters.empty())
        OpenForward(db, translated.parameterizedSql, bind);
    else
        OpenForward(db, translated.sql, bind);
    open_ = true;
    bof_ = eof_;
}

void CRecordset::OpenForUpdate(sqlite3* db, const tl::TranslatedSql& translated, const Binder& bind) {
    const tl::SqliteStatement query = tl::Prepare(db, translated.sqlWithRowid);
    CheckColumnCount(query.get(), 1);
    // Only a template's slots are parameters here; the text of a plain statement keeps its values.
    if (!translated.slots.empty())
        bind(query.get());
    std::vector<std::string> names;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        names.emplace_back(sqlite3_column_name(query.get(), static_cast<int>(i) + 1));
    std::vector<std::int64_t> rowIds;
    int rc;
    while ((rc = sqlite3_step(query.get())) == SQLITE_ROW)
        rowIds.push_back(sqlite3_column_int64(query.get(), 0));
    if (rc != SQLITE_DONE)
        ThrowDBException(db, rc);
    const std::string& table = translated.selectTable;
    fetch_ =
        tl::Prepare(db, "SELECT rowid, " + translated.selectColumns + " FROM " + table + " WHERE rowid = ?1");
    table_ = table;
    columnNames_ = std::move(names);
    rowIds_ = std::move(rowIds);
    current_ = 0;
    eof_ = rowIds_.empty();
    if (!eof_)
        FetchCurrent();
}

void CRecordset::OpenForward(sqlite3* db, const std::string& sql, const Binder& bind) {
    tl::CachedStatement query = m_pDatabase->Statements().Take(db, sql);
    CheckColumnCount(query.get(), 0);
    bind(query.get());
    cursor_ = std::move(query);
    StepForward();
}

void CRecordset::CheckColumnCount(sqlite3_stmt* statement, int firstColumn) const {
    const int columns = sqlite3_column_count(statement) - firstColumn;
    if (columns < static_cast<int>(fields_.size()))
        ThrowDBException(tl::Format("The statement yields %d columns; the recordset binds %zu fields.",
                                    columns, fields_.size()));
}

void CRecordset::Close() {
    cursor_.reset();
    fetch_.reset();
    table_.clear();
    columnNames_.clear();
    rowIds_.clear();
    open_ = false;
    editing_ = false;
    eof_ = true;
}

void CRecordset::MoveNext() {
    if (IsEOF())
        ThrowDBException("Attempt to scroll past end or before beginning of data.");
    editing_ = false;
    bof_ = false;
    if (cursor_) {
        StepForward();
        return;
    }
    if (++current_ >= rowIds_.size()) {
        eof_ = true;
        return;
    }
    FetchCurrent();
}

void CRecordset::StepForward() {
    const int rc = sqlite3_step(cursor_.get());
    if (rc == SQLITE_ROW) {
        eof_ = false;
        LoadFields(cursor_.get(), 0);
        return;
    }
    eof_ = true;
    if (rc != SQLITE_DONE)
        ThrowDBException(m_pDatabase->Handle(), rc);
    cursor_.reset();
}

void CRecordset::FetchCurrent() {
    sqlite3_stmt* fetch = fetch_.get();
    sqlite3_reset(fetch);
    sqlite3_bind_int64(fetch, 1, rowIds_[current_]);
    const int rc = sqlite3_step(fetch);
    deleted_ = rc == SQLITE_DONE;
    if (rc == SQLITE_ROW)
        LoadFields(fetch, 1);
    else if (rc != SQLITE_DONE)
        ThrowDBException(sqlite3_db_handle(fetch), rc);
    sqlite3_reset(fetch);
}

void CRecordset::LoadFields(sqlite3_stmt* statement, int firstColumn) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldBinding& field = fields_[i];
        const int column = firstColumn + static_cast<int>(i);
        switch (field.kind) {
        case FieldKind::Text: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            field.text->assign(text != nullptr ? text : "",
                               text != nullptr ? sqlite3_column_bytes(statement, column) : 0);
            CutToCharacters(*field.text, field.maxLength);
            break;
        }
        case FieldKind::Long:
        case FieldKind::Int:
            *field.number = ReadNumber(statement, column, field);
            break;
        case FieldKind::Bool:
            *field.flag = ReadInteger(statement, column, field) != 0;
            break;
        case FieldKind::Date:
            *field.time = ReadDate(statement, column, field);
            break;
        }
    }
}

std::vector<CRecordset::FieldValue> CRecordset::CaptureValues() const {
    std::vector<FieldValue> values(fields_.size());
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldBinding& field = fields_[i];
        switch (field.kind) {
        case FieldKind::Text:
            values[i].text = *field.text;
            break;
        case FieldKind::Long:
        case FieldKind::Int:
            values[i].number = *field.number;
            break;
        case FieldKind::Bool:
            values[i].number = *field.flag ? -1 : 0;
            break;
        case FieldKind::Date:
            values[i].number = *field.time;
            break;
        }
    }
    return values;
}

void CRecordset::RestoreValues(const std::vector<FieldValue>& values) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const FieldBinding& field = fields_[i];
        switch (field.kind) {
        case FieldKind::Text:
            *field.text = values[i].text;
            break;
        case FieldKind::Long:
        case FieldKind::Int:
            *field.number = static_cast<std::int32_t>(values[i].number);
            break;
        case FieldKind::Bool:
            *field.flag = values[i].number != 0;
            break;
        case FieldKind::Date:
            *field.time = static_cast<std::time_t>(values[i].number);
            break;
        }
    }
}

void CRecordset::Edit() {
    if (!CanUpdate())
        ThrowDBException("The recordset cannot be updated.");
    if (IsEOF() || deleted_)
        ThrowDBException("No current record.");
    editValues_ = CaptureValues();
    editing_ = true;
}

bool CRecordset::Update() {
    if (!editing_)
        ThrowDBException("Update without a prior Edit.");
    sqlite3* db = m_pDatabase->Handle();
    const std::vector<FieldValue> values = CaptureValues();
    std::vector<std::size_t> changed;
    std::string assignments;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (values[i] == editValues_[i])
            continue;
        changed.push_back(i);
        assignments += tl::Format("%s%s = ?%zu", assignments.empty() ? "" : ", ",
                                  tl::QuoteIdentifier(columnNames_[i]).c_str(), changed.size());
    }
    if (changed.empty()) {
        editing_ = false;
        return false;
    }
    const tl::SqliteStatement update =
        tl::Prepare(db, "UPDATE " + table_ + " SET " + assignments +
                            tl::Format(" WHERE rowid = ?%zu", changed.size() + 1));
    for (std::size_t k = 0; k < changed.size(); ++k) {
        const FieldBinding& field = fields_[changed[k]];
        const FieldValue& value = values[changed[k]];
        const int index = static_cast<int>(k) + 1;
        if (field.kind == FieldKind::Text)
            sqlite3_bind_text(update.get(), index, value.text.data(), static_cast<int>(value.text.size()),
                              SQLITE_TRANSIENT);
        else if (field.kind == FieldKind::Date && value.number == 0)
            sqlite3_bind_null(update.get(), index);
        else if (field.kind == FieldKind::Date)
            sqlite3_bind_text(update.get(), index, FormatDate(static_cast<std::time_t>(value.number)).c_str(),
                              -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_int64(update.get(), index, value.number);
    }
    sqlite3_bind_int64(update.get(), static_cast<int>(changed.size()) + 1, rowIds_[current_]);
    tl::StepToEnd(db, update.get());
    editing_ = false;
    return sqlite3_changes(db) > 0;
}

void CRecordset::CancelUpdate() {
    if (!editing_)
        return;
    RestoreValues(editValues_);
    editing_ = false;
}
