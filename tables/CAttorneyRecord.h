#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of AttorneyTable in the main database (theMainDb), its 16 fields in the table's column order.
/// One attorney of the firm. The sixteenth field is exchanged as [Password] but receives the table's
/// sixteenth column, PacerPassword: it holds the PACER password.
class CAttorneyRecord : public CRecordset {
public:
    explicit CAttorneyRecord(CDatabase* db) : CRecordset(db) {}

    std::int32_t AttorneyNumber = 0;
    std::string Name;
    std::string Initials;
    std::string Address1;
    std::string Address2;
    std::string City;
    std::string State;
    std::string Zipcode;
    std::string Telephone;
    std::string email;
    std::string Firm;
    std::string Fax;
    std::string Chap13Annex;
    bool Default = false;
    std::string PacerId;
    std::string Password;

    /// "[AttorneyTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
