#pragma once

#include "db/CRecordset.h"

#include <cstdint>
#include <string>

/// A row of EcfTable in the main database (theMainDb), its 5 fields in the table's column order.
/// An electronic filing login of an attorney for one district; the password is stored encrypted.
class CEcfRecord : public CRecordset {
public:
    explicit CEcfRecord(CDatabase* db) : CRecordset(db) {}

    std::int32_t AttorneyNumber = 0;
    std::string District;
    std::string UserName;
    std::string Password;
    std::string BarNumber;

    /// "[EcfTable]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
