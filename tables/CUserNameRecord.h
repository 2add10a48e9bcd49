#pragma once

#include "db/CRecordset.h"

#include <string>

/// A row of UserName in the main database (theMainDb), its 10 fields in the table's column order.
/// The firm's own row: its name, the password text (read up to 4096 characters) and its address.
class CUserNameRecord : public CRecordset {
public:
    explicit CUserNameRecord(CDatabase* db) : CRecordset(db) {}

    std::string UserName;
    std::string Password;
    std::string Address1;
    std::string Address2;
    std::string City;
    std::string State;
    std::string Zipcode;
    std::string Phone;
    std::string Fax;
    std::string EMail;

    /// "[UserName]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
