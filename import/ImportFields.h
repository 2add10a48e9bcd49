#pragma once

#include "import/CImportProxy.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// Pads a record with empty fields to count fields (longer records are left as they are).
void PadRecord(ImportRecord& record, std::size_t count);

/// The normalised record of the creditor, trustee and chapter 13 importers: padded to count
/// fields with one blank, and every empty field replaced by one blank, so no value they write is
/// the empty string.
void NormaliseRecord(ImportRecord& record, std::size_t count);

/// The number at the start of a text as the C run-time's atoi and _atoi64 read it: blanks skipped,
/// an optional sign, then digits up to the first other character; 0 when there are none. Digits
/// beyond the range wrap around in two's complement.
std::int64_t LeadingInteger64(std::string_view text);
std::int32_t LeadingInteger(std::string_view text);

/// The text itself when it is an integer literal (an optional sign and at least one digit,
/// nothing else), for placing it unquoted into a statement; nullopt otherwise.
std::optional<std::string> IntegerLiteral(std::string_view text);

/// The exception a value raises that cannot go unquoted into a statement in the place of a number.
[[noreturn]] void ThrowNotANumber(std::string_view column, std::string_view value);
