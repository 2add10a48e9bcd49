#include "db/CDatabase.h"
#include "import/ImportFields.h"
#include "import/ReferenceImporters.h"
#include "tables/DatabaseHandles.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> kProvisionColumns = {"ID", "Description", "Text", "District",
                                                               "Type"};
enum ProvisionField { ProvisionId, Description, ProvisionText, District, Type };

constexpr std::array<std::string_view, 5> kPlanTextColumns = {"District", "Treatment", "Usage", "Text",
                                                              "Desc"};
enum PlanTextField { PlanDistrict, Treatment, Usage, PlanText, PlanDesc };

// The statements are templates of the Access dialect: translated once, the values bound.
constexpr char kInsertProvision[] = "INSERT INTO Chap13Provisions VALUES('%s', '%s', '%s')";
constexpr char kInsertProvisionLink[] = "INSERT INTO Chap13ProvisionsByState (ProvisionId, "
                                        "ProvisionDistrict, ProvisionType) VALUES('%s', '%s', %s)";
constexpr char kInsertPlanText[] =
    "INSERT INTO Chap13PlanText ([District], [Treatment], [Usage], [Text], [Desc]) "
    "VALUES('%s', %d, %d, '%s', '%s')";

// Runs one statement in its own transaction; a failure of any kind undoes it and is passed over.
template <typename Execute>
void ExecuteAlone(Execute execute) {
    try {
        CTransaction transaction(theMainDb);
        execute();
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
            theMainDb.ExecuteSQL(kInsertProvision,
                                 {record[ProvisionId], record[Description], record[ProvisionText]});
        });
        ExecuteAlone([&record] {
            // The type stands unquoted in the statement (the column is a number), so it must be one.
            if (!IntegerLiteral(record[Type]))
                ThrowNotANumber("Type", record[Type]);
            theMainDb.ExecuteSQL(kInsertProvisionLink, {record[ProvisionId], record[District], record[Type]});
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
            theMainDb.ExecuteSQL(kInsertPlanText,
                                 {record[PlanDistrict], LeadingInteger(record[Treatment]),
                                  LeadingInteger(record[Usage]), record[PlanText], record[PlanDesc]});
        });
    }
    return true;
}
