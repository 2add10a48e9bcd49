#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of CourtTable in the places database (thePlacesDb), its 5 fields in the table's column order.
/// A bankruptcy court office: district text, office number, court name and office name.
class CCourtRecord : public CRecordset {
public:
    explicit CCourtRecord(CDatabase* db) : CRecordset(db) {}

    std::int32_t CourtIndex = 0;
    std::string District;
    std::int32_t Office = 0;
    std::string CourtName;
    std::string OfficeName;

    /// "[CourtTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
