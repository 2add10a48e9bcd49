#include "db/JetTranslator.h"

#include "db/CDBException.h"
#include "db/JetDdl.h"
#include "db/JetLexer.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"

#include <array>
#include <optional>
#include <utility>

namespace tl {

namespace {

// Words that the data-manipulation statements of the dialect use as keywords. Every other bare
// word is a name and is quoted, so names that SQLite reserves (Default, trigger) work as in Jet.
constexpr std::array kKeywords = {
    "ALL",    "AND", "AS",    "ASC",    "BETWEEN", "BY",  "DELETE", "DESC",   "DISTINCT", "FROM", "GROUP",
    "HAVING", "IN",  "INNER", "INSERT", "INTO",    "IS",  "JOIN",   "LEFT",   "LIKE",     "NOT",  "NULL",
    "ON",     "OR",  "ORDER", "RIGHT",  "SELECT",  "SET", "UPDATE", "VALUES", "WHERE",
};

// Functions of the dialect that may appear in expressions, with their SQLite names.
constexpr std::array<std::pair<const char*, const char*>, 8> kFunctions = {{
    {"COUNT", "COUNT"},
    {"MIN", "MIN"},
    {"MAX", "MAX"},
    {"SUM", "SUM"},
    {"AVG", "AVG"},
    {"UCASE", "upper"},
    {"LCASE", "lower"},
    {"LEN", "length"},
}};

bool IsKeyword(std::string_view upper) {
    for (const char* keyword : kKeywords) {
        if (upper == keyword)
            return true;
    }
    return false;
}

std::string FunctionName(const std::string& word) {
    const std::string upper = ToUpper(word);
    for (const auto& [jet, sqlite] : kFunctions) {
        if (upper == jet)
            return sqlite;
    }
    ThrowDBException(Format("Undefined function '%s' in expression.", word.c_str()));
}

// A word in a position where only a name can stand (after INTO, FROM, UPDATE, JOIN).
bool NameExpected(const std::vector<JetToken>& tokens, std::size_t i) {
    if (i == 0)
        return false;
    const JetToken& before = tokens[i - 1];
    return before.IsWord("INTO") || before.IsWord("FROM") || before.IsWord("UPDATE") || before.IsWord("JOIN");
}

std::string TranslateToken(const std::vector<JetToken>& tokens, std::size_t i) {
    const JetToken& token = tokens[i];
    switch (token.type) {
    case JetToken::Type::Bracketed:
        return QuoteIdentifier(token.text);
    case JetToken::Type::String:
        return QuoteLiteral(token.text);
    case JetToken::Type::Number:
        return token.text;
    case JetToken::Type::Symbol:
        return token.text == "&" ? "||" : token.text;
    case JetToken::Type::Slot:
        return token.text;
    case JetToken::Type::Word:
        break;
    }
    if (NameExpected(tokens, i))
        return QuoteIdentifier(token.text);
    const std::string upper = ToUpper(token.text);
    if (upper == "TRUE")
        return "-1";
    if (upper == "FALSE")
        return "0";
    if (IsKeyword(upper))
        return upper;
    if (i + 1 < tokens.size() && tokens[i + 1].IsSymbol("("))
        return FunctionName(token.text);
    return QuoteIdentifier(token.text);
}

bool IsName(const JetToken& token) {
    return token.type == JetToken::Type::Bracketed ||
           (token.type == JetToken::Type::Word && !IsKeyword(ToUpper(token.text)));
}

// Fills the select fields when the statement reads plain columns of one table, so that its rows
// can be edited: SELECT <* | name, ...> FROM <table> followed by nothing, WHERE or ORDER BY.
void DescribeSimpleSelect(const std::vector<JetToken>& tokens, const std::vector<std::string>& out,
                          TranslatedSql& result) {
    std::size_t i = 1;
    std::string columns;
    if (i < tokens.size() && tokens[i].IsSymbol("*")) {
        columns = "*";
        ++i;
    } else {
        while (i < tokens.size() && IsName(tokens[i])) {
            columns += (columns.empty() ? "" : ", ") + out[i];
            ++i;
            if (i >= tokens.size() || !tokens[i].IsSymbol(","))
                break;
            ++i;
        }
    }
    if (columns.empty() || i + 1 >= tokens.size() || !tokens[i].IsWord("FROM") || !IsName(tokens[i + 1]))
        return;
    const std::size_t tableIndex = i + 1;
    const std::size_t after = tableIndex + 1;
    if (after < tokens.size() && !tokens[after].IsWord("WHERE") && !tokens[after].IsWord("ORDER"))
        return;
    result.selectTable = out[tableIndex];
    result.selectColumns = columns;
    result.sqlWithRowid = "SELECT rowid,";
    for (std::size_t k = 1; k < out.size(); ++k)
        result.sqlWithRowid += " " + out[k];
}

// Whether a literal of the dialect can stand as a parameter with the same meaning: text always;
// a whole number only where it is a value (not a column position as in ORDER BY 1) and fits.
bool IsValuePosition(const std::vector<JetToken>& tokens, std::size_t i, bool inOrderOrGroup) {
    if (inOrderOrGroup || i == 0)
        return false;
    const JetToken& before = tokens[i - 1];
    for (const char* symbol : {"(", ",", "=", "<", ">", "<=", ">=", "<>"}) {
        if (before.IsSymbol(symbol))
            return true;
    }
    return false;
}

std::optional<SqlParameter> AsParameter(const std::vector<JetToken>& tokens, std::size_t i,
                                        bool inOrderOrGroup) {
    const JetToken& token = tokens[i];
    if (token.type == JetToken::Type::String)
        return SqlParameter{true, token.text, 0};
    if (token.type != JetToken::Type::Number || token.text.size() > 18 ||
        token.text.find_first_not_of("0123456789") != std::string::npos ||
        !IsValuePosition(tokens, i, inOrderOrGroup))
        return std::nullopt;
    return SqlParameter{false, {}, std::stoll(token.text)};
}

bool StartsOrderOrGroup(const std::vector<JetToken>& tokens, std::size_t i) {
    return tokens[i].IsWord("BY") && i > 0 &&
           (tokens[i - 1].IsWord("ORDER") || tokens[i - 1].IsWord("GROUP"));
}

void Parameterize(const std::vector<JetToken>& tokens, const std::vector<std::string>& out,
                  TranslatedSql& result) {
    bool inOrderOrGroup = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (StartsOrderOrGroup(tokens, i))
            inOrderOrGroup = true;
        if (out[i].empty())
            continue;
        if (!result.parameterizedSql.empty())
            result.parameterizedSql += ' ';
        std::optional<SqlParameter> parameter = AsParameter(tokens, i, inOrderOrGroup);
        if (!parameter) {
            result.parameterizedSql += out[i];
            continue;
        }
        result.parameterizedSql += '?';
        result.parameters.push_back(std::move(*parameter));
    }
    if (result.parameters.empty())
        result.parameterizedSql.clear();
}

// A number slot must stand where the formatted statement would carry a whole number as a value
// (a text slot is a value wherever it stands, as every string is).
void CheckSlotPositions(const std::vector<JetToken>& tokens, const std::vector<JetSlot>& slots) {
    bool inOrderOrGroup = false;
    std::size_t slot = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (StartsOrderOrGroup(tokens, i))
            inOrderOrGroup = true;
        if (tokens[i].type != JetToken::Type::Slot)
            continue;
        if (slots[slot++] != JetSlot::QuotedText && !IsValuePosition(tokens, i, inOrderOrGroup))
            ThrowDBException("Invalid value slot in statement template.");
    }
}

// Templates keep their literals in the text and carry their slots as ?1, ?2, ...
TranslatedSql TranslateDml(const std::vector<JetToken>& tokens, bool isTemplate) {
    std::vector<std::string> out;
    out.reserve(tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        // Jet's "DELETE * FROM" names no columns.
        if (i == 1 && tokens[0].IsWord("DELETE") && tokens[i].IsSymbol("*")) {
            out.emplace_back();
            continue;
        }
        out.push_back(TranslateToken(tokens, i));
    }
    TranslatedSql result;
    for (const std::string& part : out) {
        if (part.empty())
            continue;
        // Tokens are joined by blanks, so no two symbols ever meet to form a comment.
        if (!result.sql.empty())
            result.sql += ' ';
        result.sql += part;
    }
    if (tokens[0].IsWord("SELECT"))
        DescribeSimpleSelect(tokens, out, result);
    if (!isTemplate)
        Parameterize(tokens, out, result);
    return result;
}

bool IsDataStatement(const JetToken& first) {
    return first.IsWord("SELECT") || first.IsWord("INSERT") || first.IsWord("UPDATE") ||
           first.IsWord("DELETE");
}

[[noreturn]] void FailNotAStatement() {
    ThrowDBException(
        "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
}

} // namespace

TranslatedSql TranslateJetSql(std::string_view jetSql) {
    const std::vector<JetToken> tokens = TokenizeJet(jetSql);
    if (tokens.empty())
        FailNotAStatement();
    const JetToken& first = tokens[0];
    const auto schemaChange = [](TranslatedSql translated) {
        translated.changesSchema = true;
        return translated;
    };
    if (first.IsWord("CREATE"))
        return schemaChange(TranslateCreateTable(tokens));
    if (first.IsWord("ALTER"))
        return schemaChange(TranslateAlterTable(tokens));
    if (first.IsWord("DROP"))
        return schemaChange(TranslateDropTable(tokens));
    if (IsDataStatement(first))
        return TranslateDml(tokens, false);
    FailNotAStatement();
}

TranslatedSql TranslateJetTemplate(std::string_view jetTemplate) {
    std::vector<JetSlot> slots;
    const std::vector<JetToken> tokens = TokenizeJetTemplate(jetTemplate, slots);
    if (tokens.empty() || !IsDataStatement(tokens[0]))
        FailNotAStatement();
    CheckSlotPositions(tokens, slots);
    TranslatedSql result = TranslateDml(tokens, true);
    result.slots = std::move(slots);
    return result;
}

} // namespace tl
