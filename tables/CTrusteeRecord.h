#pragma once

#include "db/CRecordset.h"

#include <string>

/// A row of TrusteeTable in the main database (theMainDb), its 13 fields in the table's column order.
/// A bankruptcy trustee.
class CTrusteeRecord : public CRecordset {
public:
    explicit CTrusteeRecord(CDatabase* db) : CRecordset(db) {}

    std::string TrusteeName;
    std::string FullName;
    std::string Address1;
    std::string Address2;
    std::string City;
    std::string State;
    std::string ZipCode;
    std::string Telephone;
    std::string Fax;
    std::string Email;
    int Ch13 = 0;
    std::string Ch13Select;
    std::string Ch13Id;

    /// "[TrusteeTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
