#include "db/SqlTemplate.h"

#include "db/CDBException.h"
#include "db/SqlText.h"
#include "platform/Format.h"

namespace tl {

namespace {

// A bound whole number holds any literal of this many digits; a longer one is left to the engine's
// own reading of the statement text.
constexpr std::size_t kMaxBoundDigits = 18;

std::string_view Digits(std::string_view literal) {
    if (!literal.empty() && (literal[0] == '-' || literal[0] == '+'))
        literal.remove_prefix(1);
    return literal;
}

bool IsWholeNumberLiteral(std::string_view text) {
    const std::string_view digits = Digits(text);
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

std::int64_t LiteralValue(std::string_view literal) {
    std::int64_t value = 0;
    for (const char digit : Digits(literal))
        value = value * 10 + (digit - '0');
    return literal[0] == '-' ? -value : value;
}

[[noreturn]] void FailValue(std::size_t slot, const char* problem) {
    ThrowDBException(Format("Value %zu of the statement template %s.", slot + 1, problem));
}

} // namespace

bool CanBindTemplateValues(const std::vector<JetSlot>& slots, std::span<const SqlValue> values) {
    if (values.size() != slots.size())
        ThrowDBException(
            Format("The statement template takes %zu values; %zu were given.", slots.size(), values.size()));
    bool bindable = true;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const SqlValue& value = values[i];
        if (value.IsText() != (slots[i] != JetSlot::Number))
            FailValue(i, value.IsText() ? "is a text where a number belongs"
                                        : "is a number where a text belongs");
        if (slots[i] != JetSlot::NumberText)
            continue;
        const std::string_view text = value.Text();
        if (!IsWholeNumberLiteral(text))
            ThrowDBException(Format("The value '%.*s' is not a whole number.", static_cast<int>(text.size()),
                                    text.data()));
        bindable = bindable && Digits(text).size() <= kMaxBoundDigits;
    }
    return bindable;
}

void BindTemplateValues(sqlite3_stmt* statement, const std::vector<JetSlot>& slots,
                        std::span<const SqlValue> values, bool copyText) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        const SqlValue& value = values[i];
        switch (slots[i]) {
        case JetSlot::QuotedText: {
            // An empty view may have no data at all, which the engine would bind as NULL.
            const std::string_view text = value.Text();
            sqlite3_bind_text(statement, index, text.empty() ? "" : text.data(),
                              static_cast<int>(text.size()), copyText ? SQLITE_TRANSIENT : SQLITE_STATIC);
            break;
        }
        case JetSlot::Number:
            sqlite3_bind_int64(statement, index, value.Number());
            break;
        case JetSlot::NumberText:
            sqlite3_bind_int64(statement, index, LiteralValue(value.Text()));
            break;
        }
    }
}

std::string FormatTemplate(std::string_view jetTemplate, const std::vector<JetSlot>& slots,
                           std::span<const SqlValue> values) {
    std::string text;
    std::size_t slot = 0;
    for (std::size_t i = 0; i < jetTemplate.size(); ++i) {
        if (jetTemplate[i] != '%' || i + 1 == jetTemplate.size()) {
            text += jetTemplate[i];
            continue;
        }
        ++i;
        if (jetTemplate[i] == '%') {
            text += '%';
            continue;
        }
        const SqlValue& value = values[slot];
        switch (slots[slot++]) {
        case JetSlot::QuotedText:
            text += SqlQuote(value.Text());
            break;
        case JetSlot::Number:
            text += std::to_string(value.Number());
            break;
        case JetSlot::NumberText:
            text += value.Text();
            break;
        }
    }
    return text;
}

} // namespace tl
