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
        Slot,      ///< a value slot of a statement template; text is its parameter, "?1", "?2", ...
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

/// The value slots of a statement template: the statement as it would be formatted printf-style,
/// with '%s' for a text between single quotes, %d for a whole number, and %s outside quotes for a
/// text that stands unquoted in the place of a number. "%%" is a percent sign.
enum class JetSlot {
    QuotedText, ///< '%s', the whole of a single-quoted string
    Number,     ///< %d
    NumberText, ///< %s outside quotes
};

/// Splits a statement template into tokens as TokenizeJet does, each value slot becoming one Slot
/// token, and appends the slots' kinds in order to slots. Throws CDBException as TokenizeJet does,
/// and for any other use of "%" (another directive, a slot inside a longer string or a name, a slot
/// joined to the text before or after it).
std::vector<JetToken> TokenizeJetTemplate(std::string_view jetTemplate, std::vector<JetSlot>& slots);

/// "name" with embedded double quotes doubled: an SQLite identifier.
std::string QuoteIdentifier(std::string_view name);

/// 'text' with embedded single quotes doubled: an SQLite string literal.
std::string QuoteLiteral(std::string_view text);

} // namespace tl
