#include "db/JetDdl.h"

#include "db/CDBException.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <cstdlib>

namespace tl {

namespace {

// One column as the dialect declares it.
struct JetColumn {
    std::string name;
    std::string type; // upper case
    long size = -1;   // TEXT(n); -1 when not given
    bool primaryKey = false;
    bool notNull = false;
    bool unique = false;
};

// Walks the tokens of one statement; every failure is the statement's syntax error.
class Cursor {
public:
    Cursor(const std::vector<JetToken>& tokens, const char* syntaxError)
        : tokens_(tokens), syntaxError_(syntaxError) {}

    bool AtEnd() const { return pos_ >= tokens_.size(); }
    const JetToken* Peek() const { return AtEnd() ? nullptr : &tokens_[pos_]; }
    bool TakeWord(std::string_view upper) {
        if (AtEnd() || !tokens_[pos_].IsWord(upper))
            return false;
        ++pos_;
        return true;
    }
    bool TakeSymbol(std::string_view symbol) {
        if (AtEnd() || !tokens_[pos_].IsSymbol(symbol))
            return false;
        ++pos_;
        return true;
    }
    void ExpectWord(std::string_view upper) {
        if (!TakeWord(upper))
            Fail();
    }
    void ExpectSymbol(std::string_view symbol) {
        if (!TakeSymbol(symbol))
            Fail();
    }
    void ExpectEnd() const {
        if (!AtEnd())
            Fail();
    }
    /// A bare or bracketed name.
    std::string Name() {
        if (AtEnd())
            Fail();
        const JetToken& token = tokens_[pos_];
        if (token.type != JetToken::Type::Word && token.type != JetToken::Type::Bracketed)
            Fail();
        ++pos_;
        return token.text;
    }
    long Number() {
        if (AtEnd() || tokens_[pos_].type != JetToken::Type::Number)
            Fail();
        return std::strtol(tokens_[pos_++].text.c_str(), nullptr, 10);
    }
    [[noreturn]] void Fail() const { ThrowDBException(syntaxError_); }

private:
    const std::vector<JetToken>& tokens_;
    const char* syntaxError_;
    std::size_t pos_ = 0;
};

bool IsTextType(std::string_view type) {
    return type == "TEXT" || type == "VARCHAR" || type == "CHAR" || type == "CHARACTER" || type == "STRING";
}

JetColumn ParseColumn(Cursor& in) {
    JetColumn column;
    column.name = in.Name();
    column.type = ToUpper(in.Name());
    if (in.TakeSymbol("(")) {
        column.size = in.Number();
        in.ExpectSymbol(")");
        if (!IsTextType(column.type))
            in.Fail();
    }
    for (;;) {
        if (in.TakeWord("CONSTRAINT")) {
            in.Name(); // the index's name: SQLite names its own
            if (!in.Peek() || !(in.Peek()->IsWord("PRIMARY") || in.Peek()->IsWord("UNIQUE")))
                in.Fail();
        } else if (in.TakeWord("PRIMARY")) {
            in.ExpectWord("KEY");
            column.primaryKey = true;
        } else if (in.TakeWord("UNIQUE")) {
            column.unique = true;
        } else if (in.TakeWord("NOT")) {
            in.ExpectWord("NULL");
            column.notNull = true;
        } else if (!in.TakeWord("NULL")) {
            return column;
        }
    }
}

std::string Check(const std::string& label, std::string_view what, const std::string& expression) {
    return " CONSTRAINT " + QuoteIdentifier(label + std::string(what)) + " CHECK (" + expression + ")";
}

std::string Keys(const JetColumn& column) {
    std::string keys;
    if (column.notNull || column.primaryKey)
        keys += " NOT NULL";
    if (column.primaryKey)
        keys += " PRIMARY KEY";
    if (column.unique)
        keys += " UNIQUE";
    return keys;
}

std::string IntegerColumn(const std::string& q, const std::string& label, const JetColumn& column, long low,
                          long high, const char* what) {
    return q + " INTEGER" + Keys(column) +
           Check(label, what, Format("%s BETWEEN %ld AND %ld", q.c_str(), low, high));
}

// The SQLite definition of a column; label ("Table.Column") names its constraints.
std::string SqliteColumn(std::string_view table, const JetColumn& column) {
    const std::string q = QuoteIdentifier(column.name);
    const std::string label = std::string(table) + "." + column.name;
    const std::string& type = column.type;
    if (type == "COUNTER" || type == "AUTOINCREMENT") {
        if (!column.primaryKey)
            ThrowDBException(
                Format("Field '%s' is a COUNTER that is not the primary key; this is not supported.",
                       label.c_str()));
        return q + " INTEGER PRIMARY KEY AUTOINCREMENT";
    }
    if (type == "INTEGER" || type == "INT" || type == "LONG" || type == "INTEGER4")
        return IntegerColumn(q, label, column, -2147483647L - 1, 2147483647L, " is a 32-bit integer");
    if (type == "SMALLINT" || type == "SHORT" || type == "INTEGER2")
        return IntegerColumn(q, label, column, -32768, 32767, " is a 16-bit integer");
    if (type == "BYTE" || type == "INTEGER1")
        return IntegerColumn(q, label, column, 0, 255, " is a byte");
    if (IsTextType(type)) {
        const long size = column.size < 0 ? 255 : column.size;
        if (size < 1 || size > 255)
            ThrowDBException(Format("Size of field '%s' is too long.", column.name.c_str()));
        return q + " TEXT COLLATE NOCASE" + Keys(column) +
               Check(label, Format(" holds at most %ld characters", size),
                     Format("length(%s) <= %ld", q.c_str(), size));
    }
    if (type == "MEMO" || type == "LONGTEXT" || type == "LONGCHAR" || type == "NOTE")
        return q + " TEXT COLLATE NOCASE" + Keys(column);
    if (type == "YESNO" || type == "BIT" || type == "LOGICAL" || type == "BOOLEAN") {
        // A Jet Yes/No field is never Null: a Null becomes No.
        return q + " INTEGER NOT NULL ON CONFLICT REPLACE DEFAULT 0" + Keys(column) +
               Check(label, " is Yes (-1) or No (0)", q + " IN (0, -1)");
    }
    if (type == "DATETIME" || type == "DATE" || type == "TIME" || type == "TIMESTAMP")
        return q + " TEXT" + Keys(column) +
               Check(label, " is a date and time", q + " IS NULL OR datetime(" + q + ") IS NOT NULL");
    if (type == "DOUBLE" || type == "FLOAT" || type == "FLOAT8" || type == "NUMBER" || type == "SINGLE" ||
        type == "REAL" || type == "FLOAT4")
        return q + " REAL" + Keys(column);
    ThrowDBException(
        Format("Syntax error in field definition: unknown data type '%s'.", column.type.c_str()));
}

} // namespace

TranslatedSql TranslateCreateTable(const std::vector<JetToken>& tokens) {
    Cursor in(tokens, "Syntax error in CREATE TABLE statement.");
    in.ExpectWord("CREATE");
    in.ExpectWord("TABLE");
    const std::string table = in.Name();
    in.ExpectSymbol("(");
    std::string columns;
    do {
        if (!columns.empty())
            columns += ", ";
        columns += SqliteColumn(table, ParseColumn(in));
    } while (in.TakeSymbol(","));
    in.ExpectSymbol(")");
    in.ExpectEnd();
    TranslatedSql result;
    result.sql = "CREATE TABLE " + QuoteIdentifier(table) + " (" + columns + ") STRICT";
    return result;
}

TranslatedSql TranslateAlterTable(const std::vector<JetToken>& tokens) {
    Cursor in(tokens, "Syntax error in ALTER TABLE statement.");
    in.ExpectWord("ALTER");
    in.ExpectWord("TABLE");
    const std::string table = in.Name();
    TranslatedSql result;
    if (in.TakeWord("ADD")) {
        in.TakeWord("COLUMN");
        const std::string definition = SqliteColumn(table, ParseColumn(in));
        in.ExpectEnd();
        result.sql = "ALTER TABLE " + QuoteIdentifier(table) + " ADD COLUMN " + definition;
    } else if (in.TakeWord("DROP")) {
        in.TakeWord("COLUMN");
        const std::string column = in.Name();
        in.ExpectEnd();
        result.sql = "ALTER TABLE " + QuoteIdentifier(table) + " DROP COLUMN " + QuoteIdentifier(column);
    } else {
        in.ExpectWord("ALTER");
        in.TakeWord("COLUMN");
        const JetColumn column = ParseColumn(in);
        in.ExpectEnd();
        result.kind = TranslatedSql::Kind::AlterColumn;
        result.table = table;
        result.column = column.name;
        result.columnDefinition = SqliteColumn(table, column);
    }
    return result;
}

TranslatedSql TranslateDropTable(const std::vector<JetToken>& tokens) {
    Cursor in(tokens, "Syntax error in DROP TABLE or DROP INDEX.");
    in.ExpectWord("DROP");
    in.ExpectWord("TABLE");
    const std::string table = in.Name();
    in.ExpectEnd();
    TranslatedSql result;
    result.sql = "DROP TABLE " + QuoteIdentifier(table);
    return result;
}

} // namespace tl
