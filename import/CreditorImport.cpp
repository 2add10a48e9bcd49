#include "app/UserInterface.h"
#include "db/CCreditorRecord.h"
#include "db/DatabaseHandles.h"
#include "db/ZipCode.h"
#include "import/ImportFields.h"
#include "import/ReferenceImporters.h"
#include "platform/CException.h"
#include "platform/Format.h"

#include <array>
#include <string_view>

namespace {

constexpr char kSourceName[] = "CreditorImport";
constexpr std::size_t kMaxMessage = 511;

constexpr std::array<std::string_view, 10> kColumns = {"Name",    "Address1", "Address2", "City",   "State",
                                                       "Zipcode", "Country",  "Alias1",   "Alias2", "Alias3"};

enum Field { Name, Address1, Address2, City, State, Zipcode, Country, Alias1, Alias2, Alias3 };

// The statements are templates of the Access dialect: translated once, the values bound.
constexpr char kFindCreditor[] = "SELECT * FROM CreditorTable WHERE CreditorName = '%s'";
constexpr char kInsertCreditor[] =
    "INSERT INTO CreditorTable VALUES('%s', '%s', '%s', '%s', '%s', %d, %d, '%s', '%s', '%s', '%s')";

bool IsKnownCreditor(const std::string& name) {
    CCreditorRecord existing(&theCreditorDb);
    existing.Open(CRecordset::snapshot, kFindCreditor, {name}, CRecordset::readOnly);
    return !existing.IsEOF();
}

void InsertCreditor(const ImportRecord& record) {
    std::int32_t zip = 0;
    std::int32_t plusFour = 0;
    ParseZip(record[Zipcode], zip, plusFour);
    theCreditorDb.ExecuteSQL(kInsertCreditor, {record[Name], record[Address1], record[Address2], record[City],
                                               record[State], zip, plusFour, record[Alias1], record[Alias2],
                                               record[Alias3], record[Country]});
}

} // namespace

bool ImportCreditors(const std::string& path) {
    ImportRecords records;
    {
        CImportProxy proxy;
        if (!proxy.QueryFile(path, kColumns, records))
            return false;
    }
    if (records.empty())
        return true;
    try {
        CTransaction transaction(theCreditorDb);
        for (ImportRecord& record : records) {
            NormaliseRecord(record, kColumns.size());
            if (!IsKnownCreditor(record[Name]))
                InsertCreditor(record);
        }
        transaction.Commit();
    } catch (const CException& e) {
        AppMessageBox(
            tl::Format("%s[%d] - %s", kSourceName, __LINE__, e.GetErrorMessage(kMaxMessage).c_str()),
            win::MB_ICONINFORMATION);
    }
    return true;
}
