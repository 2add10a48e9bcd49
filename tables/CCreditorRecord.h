#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of CreditorTable in the creditor names database (theCreditorDb), its 11 fields in the table's column
/// order. A well-known creditor; the zip code is two numbers, Zip and PlusFour (0 when absent).
class CCreditorRecord : public CRecordset {
public:
    explicit CCreditorRecord(CDatabase* db) : CRecordset(db) {}

    std::string CreditorName;
    std::string Address1;
    std::string Address2;
    std::string City;
    std::string State;
    std::int32_t Zip = 0;
    std::int32_t PlusFour = 0;
    std::string Alias1;
    std::string Alias2;
    std::string Alias3;
    std::string Country;

    /// "[CreditorTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
