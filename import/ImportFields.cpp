#include "import/ImportFields.h"

#include "db/CDBException.h"
#include "platform/Format.h"

#include <algorithm>
#include <sqlite3.h>

void PadRecord(ImportRecord& record, std::size_t count) {
    if (record.size() < count)
        record.resize(count);
}

void NormaliseRecord(ImportRecord& record, std::size_t count) {
    record.resize(std::max(record.size(), count));
    for (std::string& field : record) {
        if (field.empty())
            field.push_back(' ');
    }
}

std::int64_t LeadingInteger64(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint64_t>(text[i] - '0');
    return static_cast<std::int64_t>(negative ? 0u - value : value);
}

std::int32_t LeadingInteger(std::string_view text) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(LeadingInteger64(text))));
}

std::optional<std::string> IntegerLiteral(std::string_view text) {
    std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    }
    return std::string(text);
}

void ThrowNotANumber(std::string_view column, std::string_view value) {
    throw CDBException(SQLITE_MISMATCH, tl::Format("The value '%.*s' of %.*s is not a whole number.",
                                                   static_cast<int>(value.size()), value.data(),
                                                   static_cast<int>(column.size()), column.data()));
}
