#include "tables/DatabaseSchema.h"

#include "tables/CAttorneyRecord.h"
#include "tables/CCh13LoginRecord.h"
#include "tables/CChecklistRecord.h"
#include "tables/CChecklistTriggerRecord.h"
#include "tables/CCreditorRecord.h"
#include "tables/CEcfRecord.h"
#include "tables/CEventRecord.h"
#include "tables/CTrusteeRecord.h"
#include "tables/CUserNameRecord.h"
#include "tests/db/DatabaseTestSupport.h"

#include <gtest/gtest.h>

using tltest::DatabaseTest;

namespace {

class DatabaseSchemaTest : public DatabaseTest {
protected:
    // The bound field names of a recordset without their brackets, in exchange order.
    static std::vector<std::string> FieldNames(CRecordset& record) {
        CFieldExchange fx;
        record.DoFieldExchange(fx);
        std::vector<std::string> names;
        for (const FieldBinding& field : fx.Fields()) {
            const std::string name = field.name;
            names.push_back(name.substr(1, name.size() - 2));
        }
        return names;
    }

    CDatabase db;
};

} // namespace

TEST_F(DatabaseSchemaTest, MainDatabaseHasItsEighteenTablesInOrder) {
    CreateAndOpen(db);
    CreateTables(db, kMainDatabaseSchema);
    EXPECT_EQ(Tables(db),
              (std::vector<std::string>{"AttorneyTable", "ClientTable", "AdversaryTable", "CaseTable",
                                        "EcfTable", "EventTable", "NetworkUsers", "TrusteeTable", "Ch13Login",
                                        "ServiceTable", "UserName", "CustomExemptions", "GlobalSettings",
                                        "CheckListTable", "CheckListTriggerTable", "Chap13Provisions",
                                        "Chap13PlanText", "Chap13ProvisionsByState"}));
    EXPECT_EQ(Columns(db, "UserName"),
              (std::vector<std::string>{"UserName", "Password", "Address1", "Address2", "City", "State",
                                        "Zipcode", "Phone", "Fax", "EMail"}));
}

TEST_F(DatabaseSchemaTest, RecordsetsExchangeTheColumnsInTheTablesOrder) {
    CreateAndOpen(db);
    CreateTables(db, kMainDatabaseSchema);
    CCh13LoginRecord login(&db);
    CChecklistRecord checklist(&db);
    CChecklistTriggerRecord trigger(&db);
    CEcfRecord ecf(&db);
    CEventRecord event(&db);
    CTrusteeRecord trustee(&db);
    CUserNameRecord firm(&db);
    const std::pair<CRecordset*, const char*> records[] = {
        {&login, "Ch13Login"}, {&checklist, "CheckListTable"}, {&trigger, "CheckListTriggerTable"},
        {&ecf, "EcfTable"},    {&event, "EventTable"},         {&trustee, "TrusteeTable"},
        {&firm, "UserName"},
    };
    for (const auto& [record, table] : records)
        EXPECT_EQ(FieldNames(*record), Columns(db, table)) << table;

    // The attorney record names its sixteenth field Password; the column is PacerPassword.
    CAttorneyRecord attorney(&db);
    std::vector<std::string> expected = Columns(db, "AttorneyTable");
    expected.back() = "Password";
    EXPECT_EQ(FieldNames(attorney), expected);
}

TEST_F(DatabaseSchemaTest, CreditorDatabaseHasItsThreeTables) {
    CreateAndOpen(db, "CreditorNames");
    CreateTables(db, kCreditorDatabaseSchema);
    EXPECT_EQ(Tables(db), (std::vector<std::string>{"CreditorTable", "AlwaysNotice", "AlsoNotice"}));
    CCreditorRecord creditor(&db);
    EXPECT_EQ(FieldNames(creditor), Columns(db, "CreditorTable"));
}
