#include "db/JetLexer.h"

#include "db/CDBException.h"
#include "platform/TextUtil.h"

namespace tl {

namespace {

bool IsWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsWordChar(unsigned char c) {
    return IsWordStart(c) || IsDigit(c);
}
bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A character that would run together with a value placed next to it into one token.
bool JoinsValue(unsigned char c) {
    return IsWordChar(c) || c == '.';
}

[[noreturn]] void FailSlot() {
    ThrowDBException("Invalid value slot in statement template.");
}

class Lexer {
public:
    /// With slots, the text is a statement template and its value slots are collected there.
    Lexer(std::string_view sql, std::vector<JetSlot>* slots) : sql_(sql), slots_(slots) {}

    std::vector<JetToken> Run() {
        std::vector<JetToken> tokens;
        while (SkipBlanks()) {
            const unsigned char c = Peek();
            if (c == ';') {
                ++pos_;
                if (SkipBlanks())
                    ThrowDBException("Characters found after end of SQL statement.");
                break;
            }
            tokens.push_back(Next(c));
        }
        return tokens;
    }

private:
    unsigned char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < sql_.size() ? static_cast<unsigned char>(sql_[pos_ + ahead]) : 0;
    }

    // Skips blanks; false at the end of the text.
    bool SkipBlanks() {
        while (pos_ < sql_.size() && IsBlank(Peek()))
            ++pos_;
        return pos_ < sql_.size();
    }

    JetToken Next(unsigned char c) {
        if (slots_ != nullptr && c == '%')
            return UnquotedSlot();
        if (IsWordStart(c))
            return Take(JetToken::Type::Word, [](unsigned char ch) { return IsWordChar(ch); });
        if (IsDigit(c) || (c == '.' && IsDigit(Peek(1))))
            return NumberToken();
        if (c == '[')
            return Bracketed();
        if (c == '\'' || c == '"')
            return Quoted(static_cast<char>(c));
        return SymbolToken(c);
    }

    template <class Pred>
    JetToken Take(JetToken::Type type, Pred pred) {
        const std::size_t start = pos_;
        while (pos_ < sql_.size() && pred(Peek()))
            ++pos_;
        return {type, std::string(sql_.substr(start, pos_ - start))};
    }

    JetToken NumberToken() {
        const std::size_t start = pos_;
        while (IsDigit(Peek()))
            ++pos_;
        if (Peek() == '.') {
            ++pos_;
            while (IsDigit(Peek()))
                ++pos_;
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            pos_ += 2;
            while (IsDigit(Peek()))
                ++pos_;
        }
        if (IsWordChar(Peek()) || Peek() == '.')
            ThrowDBException("Syntax error in number in query expression.");
        return {JetToken::Type::Number, std::string(sql_.substr(start, pos_ - start))};
    }

    JetToken Bracketed() {
        const std::size_t close = sql_.find(']', pos_ + 1);
        if (close == std::string_view::npos)
            ThrowDBException("Invalid bracketing of name.");
        std::string name(sql_.substr(pos_ + 1, close - pos_ - 1));
        if (name.empty() || name.find_first_of(std::string_view("[\0", 2)) != std::string::npos)
            ThrowDBException("Invalid bracketing of name.");
        if (slots_ != nullptr && name.find('%') != std::string::npos)
            FailSlot();
        pos_ = close + 1;
        return {JetToken::Type::Bracketed, std::move(name)};
    }

    JetToken Quoted(char quote) {
        std::string text;
        for (++pos_; pos_ < sql_.size(); ++pos_) {
            const char ch = sql_[pos_];
            if (ch == '\0')
                break;
            if (slots_ != nullptr && ch == '%') {
                if (Peek(1) == '%') {
                    text += ch;
                    ++pos_;
                    continue;
                }
                // Only a whole single-quoted string can be a text slot: its value is bound as it is,
                // where the formatted statement would carry it with its quotes doubled.
                if (quote != '\'' || !text.empty() || sql_.substr(pos_, 3) != "%s'" || Peek(3) == '\'')
                    FailSlot();
                pos_ += 3;
                return AddSlot(JetSlot::QuotedText);
            }
            if (ch != quote) {
                text += ch;
                continue;
            }
            if (Peek(1) == static_cast<unsigned char>(quote)) {
                text += ch;
                ++pos_;
                continue;
            }
            ++pos_;
            return {JetToken::Type::String, std::move(text)};
        }
        ThrowDBException("Syntax error in string in query expression.");
    }

    // %d or %s outside quotes; the value must stand as a token of its own.
    JetToken UnquotedSlot() {
        const unsigned char directive = Peek(1);
        if ((directive != 'd' && directive != 's') ||
            (pos_ > 0 && JoinsValue(static_cast<unsigned char>(sql_[pos_ - 1]))) || JoinsValue(Peek(2)))
            FailSlot();
        pos_ += 2;
        return AddSlot(directive == 'd' ? JetSlot::Number : JetSlot::NumberText);
    }

    JetToken AddSlot(JetSlot kind) {
        slots_->push_back(kind);
        return {JetToken::Type::Slot, "?" + std::to_string(slots_->size())};
    }

    JetToken SymbolToken(unsigned char c) {
        static constexpr std::string_view kPairs[] = {"<=", ">=", "<>"};
        for (std::string_view pair : kPairs) {
            if (sql_.substr(pos_, 2) == pair) {
                pos_ += 2;
                return {JetToken::Type::Symbol, std::string(pair)};
            }
        }
        static constexpr std::string_view kSingles = "(),*=<>+-/&.";
        if (kSingles.find(static_cast<char>(c)) == std::string_view::npos)
            ThrowDBException("Invalid character in SQL statement.");
        ++pos_;
        return {JetToken::Type::Symbol, std::string(1, static_cast<char>(c))};
    }

    std::string_view sql_;
    std::vector<JetSlot>* slots_;
    std::size_t pos_ = 0;
};

} // namespace

bool JetToken::IsWord(std::string_view upperWord) const {
    return type == Type::Word && EqualsNoCase(text, upperWord);
}

std::vector<JetToken> TokenizeJet(std::string_view sql) {
    return Lexer(sql, nullptr).Run();
}

std::vector<JetToken> TokenizeJetTemplate(std::string_view jetTemplate, std::vector<JetSlot>& slots) {
    return Lexer(jetTemplate, &slots).Run();
}

std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string QuoteLiteral(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted + '\'';
}

} // namespace tl
