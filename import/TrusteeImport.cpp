#include "app/UserInterface.h"
#include "db/CTrusteeRecord.h"
#include "db/DatabaseHandles.h"
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

enum Field {
    TrusteeName,
    FullName,
    Address1,
    Address2,
    City,
    State,
    ZipCode,
    Telephone,
    Fax,
    Email,
    Ch13,
    Ch13Select,
    Ch13Id
};

// The statements are templates of the Access dialect: translated once, the values bound.
constexpr char kFindTrustee[] = "SELECT * FROM TrusteeTable WHERE TrusteeName = '%s'";
constexpr char kInsertTrustee[] = "INSERT INTO TrusteeTable VALUES('%s', '%s', '%s', '%s', '%s', '%s', '%s', "
                                  "'%s', '%s', '%s', %s, '%s', '%s')";

bool IsKnownTrustee(const std::string& name) {
    CTrusteeRecord existing(&theMainDb);
    existing.Open(CRecordset::snapshot, kFindTrustee, {name}, CRecordset::readOnly);
    return !existing.IsEOF();
}

void InsertTrustee(const ImportRecord& record) {
    // Ch13 stands unquoted in the statement (the column is a number), so it must be one.
    if (!IntegerLiteral(record[Ch13]))
        ThrowNotANumber("Ch13", record[Ch13]);
    theMainDb.ExecuteSQL(kInsertTrustee,
                         {record[TrusteeName], record[FullName], record[Address1], record[Address2],
                          record[City], record[State], record[ZipCode], record[Telephone], record[Fax],
                          record[Email], record[Ch13], record[Ch13Select], record[Ch13Id]});
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
