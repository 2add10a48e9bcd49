#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of ZipCodeTable in the places database (thePlacesDb), its 8 fields in the table's column order.
/// A five-digit zip code with its city, state, county and bankruptcy court.
class CZipcodeRecord : public CRecordset {
public:
    explicit CZipcodeRecord(CDatabase* db) : CRecordset(db) {}

    std::int32_t ZipCode = 0;
    std::string City;
    std::string State;
    std::int32_t CountyCode = 0;
    std::string CourtName;
    std::int32_t CourtDistrict = 0;
    std::int32_t CourtOffice = 0;
    std::int32_t CourtIndex = 0;

    /// "[ZipCodeTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
