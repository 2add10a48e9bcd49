#include "app/UserInterface.h"
#include "import/FileTransaction.h"
#include "import/ImportFields.h"
#include "import/ReferenceImporters.h"
#include "platform/Format.h"
#include "tables/CTrusteeRecord.h"
#include "tables/DatabaseHandles.h"

#include <array>
#include <optional>
#include <string_view>

namespace {

constexpr char kSourceName[] = "TrusteeImport";

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

// Adds the trustee unless its name is already in the table (or came earlier in the file).
void StoreTrustee(ImportRecord& record) {
    NormaliseRecord(record, kColumns.size());
    if (!IsKnownTrustee(record[TrusteeName]))
        InsertTrustee(record);
}

} // namespace

bool ImportTrustees(const std::string& path) {
    // Each record is stored as soon as it has arrived, while the proxy sends the next.
    FileTransaction file(theMainDb);
    {
        CImportProxy proxy;
        const bool answered = proxy.QueryFile(
            path, kColumns, [&file](ImportRecord& record) { file.Run([&record] { StoreTrustee(record); }); });
        if (!answered)
            return false;
    }
    // A file without records still opens and commits its transaction.
    if (const std::optional<std::string> failure = file.Commit())
        AppMessageBox(tl::Format("%s[%d] - %s", kSourceName, __LINE__, failure->c_str()),
                      win::MB_ICONINFORMATION);
    return true;
}
