#include "db/CDatabase.h"
#include "db/DatabaseHandles.h"
#include "db/SqlText.h"
#include "import/ImportFields.h"
#include "import/ReferenceImporters.h"
#include "platform/Format.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> kProvisionColumns = {"ID", "Description", "Text", "District",
                                                               "Type"};
enum ProvisionField { ProvisionId, Description, ProvisionText, District, Type };

constexpr std::array<std::string_view, 5> kPlanTextColumns = {"District", "Treatment", "Usage", "Text",
                                                              "Desc"};
enum PlanTextField { PlanDistrict, Treatment, Usage, PlanText, PlanDesc };

// Runs one statement in its own transaction; a failure of any kind undoes it and is passed over.
template <typename MakeStatement>
void ExecuteAlone(MakeStatement makeStatement) {
    try {
        CTransaction transaction(theMainDb);
        theMainDb.ExecuteSQL(makeStatement());
        transaction.Commit();
    } catch (...) {
    }
}

bool Fetch(const std::string& path, std::span<const std::string_view> columns, ImportRecords& records) {
    CImportProxy proxy;
    return proxy.QueryFile(path, columns, records);
}

} // namespace

bool ImportChap13Provisions(const std::string& path) {
    ImportRecords records;
    if (!Fetch(path, kProvisionColumns, records))
        return false;
    for (ImportRecord& record : records) {
        NormaliseRecord(record, kProvisionColumns.size());
        ExecuteAlone([&record] {
            return tl::Format("INSERT INTO Chap13Provisions VALUES('%s', '%s', '%s')",
                              SqlQuote(record[ProvisionId]).c_str(), SqlQuote(record[Description]).c_str(),
                              SqlQuote(record[ProvisionText]).c_str());
        });
        ExecuteAlone([&record] {
            // The type stands unquoted in the statement (the column is a number), so it must be one.
            const std::optional<std::string> type = IntegerLiteral(record[Type]);
            if (!type)
                ThrowNotANumber("Type", record[Type]);
            return tl::Format(
                "INSERT INTO Chap13ProvisionsByState (ProvisionId, ProvisionDistrict, ProvisionType) "
                "VALUES('%s', '%s', %s)",
                SqlQuote(record[ProvisionId]).c_str(), SqlQuote(record[District]).c_str(), type->c_str());
        });
    }
    return true;
}

bool ImportChap13PlanText(const std::string& path) {
    ImportRecords records;
    if (!Fetch(path, kPlanTextColumns, records))
        return false;
    for (ImportRecord& record : records) {
        NormaliseRecord(record, kPlanTextColumns.size());
        ExecuteAlone([&record] {
            return tl::Format("INSERT INTO Chap13PlanText ([District], [Treatment], [Usage], [Text], [Desc]) "
                              "VALUES('%s', %d, %d, '%s', '%s')",
                              SqlQuote(record[PlanDistrict]).c_str(), LeadingInteger(record[Treatment]),
                              LeadingInteger(record[Usage]), SqlQuote(record[PlanText]).c_str(),
                              SqlQuote(record[PlanDesc]).c_str());
        });
    }
    return true;
}
