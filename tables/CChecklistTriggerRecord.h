#pragma once

#include "db/CRecordset.h"

#include <string>

/// A row of CheckListTriggerTable in the main database (theMainDb), its 2 fields in the table's column order.
/// A named checklist trigger condition.
class CChecklistTriggerRecord : public CRecordset {
public:
    explicit CChecklistTriggerRecord(CDatabase* db) : CRecordset(db) {}

    std::string trigger;
    std::string description;

    /// "[CheckListTriggerTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
