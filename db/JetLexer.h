#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tl {

/// One token of a statement in the Access (Jet) dialect.
struct JetToken {
    enum class Type {
        Word,      ///< keyword or bare name; text as written
        Bracketed, ///< [name]; text without the brackets
        String,    ///< 'text' or "text"; text with the doubled quotes undone
        Number,    ///< decimal literal as written
        Symbol,    ///< ( ) , * = < > <= >= <> + - / & .
    };
    Type type;
    std::string text;

    bool IsWord(std::string_view upperWord) const;
    bool IsSymbol(std::string_view symbol) const { return type == Type::Symbol && text == symbol; }
};

/// Splits one statement into tokens. A single ";" may end it; anything after that ";" is refused
/// ("Characters found after end of SQL statement."), so one statement never carries a second.
/// Throws CDBException for an unterminated string or name and for characters that the dialect
/// does not know (parameters, comments, control characters).
std::vector<JetToken> TokenizeJet(std::string_view sql);

/// "name" with embedded double quotes doubled: an SQLite identifier.
std::string QuoteIdentifier(std::string_view name);

/// 'text' with embedded single quotes doubled: an SQLite string literal.
std::string QuoteLiteral(std::string_view text);

} // namespace tl
