#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <ctime>
#include <string>

/// A row of EventTable in the main database (theMainDb), its 8 fields in the table's column order.
/// A calendar event; place and description are read up to 4096 characters. DateTime is 0 (not set)
/// until a row is read.
class CEventRecord : public CRecordset {
public:
    explicit CEventRecord(CDatabase* db) : CRecordset(db) {}

    std::int32_t EventNumber = 0;
    std::time_t DateTime = 0;
    std::string Place;
    std::string Description;
    std::int32_t Client = 0;
    std::int32_t BankruptcyCase = 0;
    std::int32_t AdversaryCase = 0;
    std::string Guid;

    /// "[EventTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
