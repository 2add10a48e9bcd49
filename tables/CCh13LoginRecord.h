#pragma once

#include "db/CRecordset.h"

#include <string>

/// A row of Ch13Login in the main database (theMainDb), its 4 fields in the table's column order.
/// A chapter 13 trustee login of an attorney. Attorney is -1 (no attorney) until a row is read.
class CCh13LoginRecord : public CRecordset {
public:
    explicit CCh13LoginRecord(CDatabase* db) : CRecordset(db) {}

    std::string TrusteeName;
    std::string UserName;
    std::string Password;
    int Attorney = -1;

    /// "[Ch13Login]".
    std::string GetDefaultSQL() const override;
    void DoFieldExchange(CFieldExchange& fx) override;
};
