#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of CheckListTable in the main database (theMainDb), its 11 fields in the table's column order.
/// One checklist item; the texts, descriptions and district lists are read up to 2048 characters.
class CChecklistRecord : public CRecordset {
public:
    explicit CChecklistRecord(CDatabase* db) : CRecordset(db) {}

    std::string ID;
    std::string beforeafter;
    std::string subsidiary;
    std::string text;
    std::string desc;
    std::int32_t flagslo = 0;
    std::int32_t flagshi = 0;
    std::int32_t resideslo = 0;
    std::int32_t resideshi = 0;
    std::string districts;
    std::string trigger;

    /// "[CheckListTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
