#include "app/UserInterface.h"
#include "import/FileTransaction.h"
#include "import/ImportFields.h"
#include "import/ReferenceImporters.h"
#include "platform/Format.h"
#include "tables/CCreditorRecord.h"
#include "tables/DatabaseHandles.h"
#include "tables/ZipCode.h"

#include <array>
#include <optional>
#include <string_view>

namespace {

constexpr char kSourceName[] = "CreditorImport";

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

// Adds the creditor unless its name is already in the table (or came earlier in the file).
void StoreCreditor(ImportRecord& record) {
    NormaliseRecord(record, kColumns.size());
    if (!IsKnownCreditor(record[Name]))
        InsertCreditor(record);
}

} // namespace

bool ImportCreditors(const std::string& path) {
    // Each record is stored as soon as it has arrived, while the proxy sends the next.
    FileTransaction file(theCreditorDb);
    bool anyRecord = false;
    {
        CImportProxy proxy;
        const bool answered = proxy.QueryFile(path, kColumns, [&file, &anyRecord](ImportRecord& record) {
            anyRecord = true;
            file.Run([&record] { StoreCreditor(record); });
        });
        if (!answered)
            return false;
    }
    if (!anyRecord)
        return true;
    if (const std::optional<std::string> failure = file.Commit())
        AppMessageBox(tl::Format("%s[%d] - %s", kSourceName, __LINE__, failure->c_str()),
                      win::MB_ICONINFORMATION);
    return true;
}
