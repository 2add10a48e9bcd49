#pragma once

#include "db/JetLexer.h"

#include <cstdint>
#include <span>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace tl {

/// The value of one slot of a statement template (db/JetLexer.h): a text or a whole number. It
/// holds no copy, so the text must outlive the call that it is given to.
class SqlValue {
public:
    SqlValue(std::string_view text) : text_(text) {}
    SqlValue(const std::string& text) : text_(text) {}
    SqlValue(const char* text) : text_(text) {}
    SqlValue(std::int32_t number) : number_(number), isText_(false) {}

    bool IsText() const { return isText_; }
    /// The text as a formatted statement would carry it: up to its first NUL character.
    std::string_view Text() const { return text_.substr(0, text_.find('\0')); }
    std::int32_t Number() const { return number_; }

private:
    std::string_view text_;
    std::int32_t number_ = 0;
    bool isText_ = true;
};

/// Checks values against the slots of a translated template: one value per slot, a text for '%s'
/// and for an unquoted %s, a number for %d. An unquoted %s stands in the place of a number, so it
/// takes only a whole-number literal (an optional sign, then digits). Throws CDBException
/// otherwise. Returns false when a value can only be carried in the statement's text (a literal
/// of more digits than a bound whole number holds); the caller then runs FormatTemplate's text.
bool CanBindTemplateValues(const std::vector<JetSlot>& slots, std::span<const SqlValue> values);

/// Binds checked values to the parameters ?1, ?2, ... as the formatted statement would carry them.
/// With copyText the engine keeps its own copy of each text, for a statement that outlives them.
void BindTemplateValues(sqlite3_stmt* statement, const std::vector<JetSlot>& slots,
                        std::span<const SqlValue> values, bool copyText);

/// The statement that formatting the template with checked values gives: each text between quotes
/// passed through SqlQuote, a number in decimal, an unquoted text as it is, "%%" as "%".
std::string FormatTemplate(std::string_view jetTemplate, const std::vector<JetSlot>& slots,
                           std::span<const SqlValue> values);

} // namespace tl
