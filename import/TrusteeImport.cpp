#include "app/UserInterface.h"
#include "db/CTrusteeRecord.h"
#include "db/DatabaseHandles.h"
#include "db/SqlText.h"
#include "import/ImportFields.h"
#include "import/ReferenceImporters.h"
#include "platform/CException.h"
#include "platform/Format.h"

#include <array>
#include <string_view>

namespace {

constexpr char kSourceName[] = "TrusteeImport";
constexpr std::size_t kMaxMessage = 511;

constexpr std::array<std::string_view, 13> kColumns = {
    "TrusteeName", "FullName", "Address1", "Address2", "City",       "State", "ZipCode",
    "Telephone",   "Fax",      "Email",    "Ch13",     "Ch13Select", "Ch13Id"};

enum Field { TrusteeName, FullName, Address1, Address2, City, State, ZipCode, Telephone, Fax, Email, Ch13 };

bool IsKnownTrustee(const std::string& name) {
    CTrusteeRecord existing(&theMainDb);
    existing.Open(CRecordset::snapshot,
                  tl::Format("SELECT * FROM TrusteeTable WHERE TrusteeName = '%s'", SqlQuote(name).c_str()),
                  CRecordset::readOnly);
    return !existing.IsEOF();
}

void InsertTrustee(const ImportRecord& record) {
    // Ch13 stands unquoted in the statement (the column is a number), so it must be one.
    const std::optional<std::string> ch13 = IntegerLiteral(record[Ch13]);
    if (!ch13)
        ThrowNotANumber("Ch13", record[Ch13]);
    std::string values;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (i > 0)
            values += ", ";
        values += i == Ch13 ? *ch13 : "'" + SqlQuote(record[i]) + "'";
    }
    theMainDb.ExecuteSQL("INSERT INTO TrusteeTable VALUES(" + values + ")");
}

} // namespace

bool ImportTrustees(const std::string& path) {
    ImportRecords records;
    {
        CImportProxy proxy;
        if (!proxy.QueryFile(path, kColumns, records))
            return false;
    }
    try {
        CTransaction transaction(theMainDb);
        for (ImportRecord& record : records) {
            NormaliseRecord(record, kColumns.size());
            if (!IsKnownTrustee(record[TrusteeName]))
                InsertTrustee(record);
        }
        transaction.Commit();
    } catch (const CException& e) {
        AppMessageBox(
            tl::Format("%s[%d] - %s", kSourceName, __LINE__, e.GetErrorMessage(kMaxMessage).c_str()),
            win::MB_ICONINFORMATION);
    }
    return true;
}
