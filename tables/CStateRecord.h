#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of StateTable in the places database (thePlacesDb), its 3 fields in the table's column order.
/// A state: two-letter code, name and region number.
class CStateRecord : public CRecordset {
public:
    explicit CStateRecord(CDatabase* db) : CRecordset(db) {}

    std::string StateCode;
    std::string StateName;
    std::int32_t Region = 0;

    /// "[StateTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
