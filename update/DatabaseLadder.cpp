#include "update/DatabaseLadder.h"

namespace {

using Test = LevelCondition::Test;

constexpr LevelCondition Below(int level) {
    return {Test::Below, level};
}
constexpr LevelCondition EqualTo(int level) {
    return {Test::EqualTo, level};
}

constexpr SchemaStep kServiceTable[] = {
    {"CREATE TABLE ServiceTable (ServiceTableId COUNTER PRIMARY KEY,AttorneyNumber INTEGER,Analysis "
     "YESNO,Preparation YESNO,Meeting YESNO,AP YESNO,Other1 MEMO,Other2 MEMO,Excluded MEMO,Chapter INTEGER)",
     nullptr}};
constexpr SchemaStep kGlobalSettings[] = {
    {"CREATE TABLE GlobalSettings (OptionName TEXT(255) PRIMARY KEY,LongValue INTEGER,TextValue "
     "MEMO,DoubleValue DOUBLE)",
     nullptr}};
constexpr SchemaStep kCustomExemptions[] = {
    {"CREATE TABLE CustomExemptions ([Guid] TEXT(64) PRIMARY KEY,Version INTEGER,Data MEMO)", nullptr}};
constexpr SchemaStep kEventGuid[] = {{"ALTER TABLE EventTable ADD [Guid] TEXT(64)", nullptr}};
constexpr SchemaStep kDropCheckList[] = {{"DROP TABLE CheckListTable", nullptr}};
constexpr SchemaStep kDropCheckListTrigger[] = {{"DROP TABLE CheckListTriggerTable", nullptr}};
constexpr SchemaStep kCheckListTables[] = {
    {"CREATE TABLE CheckListTable ([ID] TEXT(48) PRIMARY KEY,beforeafter TEXT(48),subsidiary TEXT(48),[text] "
     "MEMO,[desc] MEMO,flagslo INTEGER,flagshi INTEGER,resideslo INTEGER,resideshi INTEGER,districts "
     "MEMO,trigger TEXT(48))",
     nullptr},
    {"CREATE TABLE CheckListTriggerTable (trigger TEXT(48) PRIMARY KEY, description TEXT(255))", nullptr}};
constexpr SchemaStep kDoubleValue[] = {{"ALTER TABLE GlobalSettings ADD DoubleValue DOUBLE", nullptr}};
constexpr SchemaStep kEventMemos[] = {{"ALTER TABLE EventTable ALTER COLUMN Place MEMO", nullptr},
                                      {"ALTER TABLE EventTable ALTER COLUMN Description MEMO", nullptr},
                                      {"ALTER TABLE EventTable ALTER COLUMN [Guid] MEMO", nullptr}};
constexpr SchemaStep kChap13Tables[] = {
    {"CREATE TABLE Chap13Provisions ([ProvisionId] TEXT(50) PRIMARY KEY,[ProvisionDesc] MEMO,[ProvisionText] "
     "MEMO)",
     nullptr},
    {"CREATE TABLE Chap13PlanText ([RecordNumber] COUNTER PRIMARY KEY,[District] TEXT(50),[Treatment] "
     "INTEGER,[Usage] INTEGER,[Text] MEMO,[Desc] MEMO)",
     nullptr},
    {"CREATE TABLE Chap13ProvisionsByState ([RecordNumber] COUNTER PRIMARY KEY,[ProvisionId] "
     "TEXT(50),[ProvisionDistrict] TEXT(50),[ProvisionType] INTEGER)",
     nullptr}};
constexpr SchemaStep kTrusteeCh13[] = {{"ALTER TABLE TrusteeTable ALTER COLUMN Ch13 INTEGER", nullptr},
                                       {"UPDATE TrusteeTable SET Ch13 = 1 WHERE Ch13 = -1", nullptr}};
constexpr SchemaStep kUserNameMemo[] = {{"ALTER TABLE UserName ALTER COLUMN [UserName] MEMO", nullptr}};

// Address1 is widened twice, as the step has always done; the second one changes nothing.
constexpr SchemaStep kCreditorWiden[] = {
    {"ALTER TABLE CreditorTable ADD Country TEXT(255)", nullptr},
    {"ALTER TABLE CreditorTable ALTER COLUMN Address1 TEXT(255)", nullptr},
    {"ALTER TABLE CreditorTable ALTER COLUMN Address1 TEXT(255)", nullptr},
    {"ALTER TABLE CreditorTable ALTER COLUMN State TEXT(255)", nullptr}};
// Country goes to the end of the table, where the creditor record reads it.
constexpr SchemaStep kCreditorReorder[] = {{"ALTER TABLE CreditorTable DROP Country", nullptr},
                                           {"ALTER TABLE CreditorTable ADD Country TEXT(255)", nullptr}};
constexpr SchemaStep kNoticeTables[] = {
    {"CREATE TABLE AlwaysNotice ([ID] COUNTER PRIMARY KEY,[CreditorName] TEXT(255))",
     "Setup created the AlwaysNotice table"},
    {"CREATE TABLE AlsoNotice ([ID] COUNTER PRIMARY KEY,CreditorName TEXT(255),Address1 TEXT(255),Address2 "
     "TEXT(255),City TEXT(255),State TEXT(255),Zip INTEGER,PlusFour INTEGER,Country TEXT(255))",
     nullptr}};

constexpr char kUpgradingCreditors[] = "Upgrading CreditorNames database";

} // namespace

const char kEventProbeInsert[] =
    "INSERT INTO EventTable (Description, Client) VALUES ('Nonsense and drivel', -1)";
const char kEventProbeDelete[] = "DELETE FROM EventTable WHERE Description = 'Nonsense and drivel'";
const char kEventTableDrop[] = "DROP TABLE EventTable";
const char kEventTableCreate[] =
    "CREATE TABLE EventTable (EventNumber COUNTER PRIMARY KEY,[DateTime] DATETIME,Place MEMO,Description "
    "MEMO,Client INTEGER,BankruptcyCase INTEGER,AdversaryCase INTEGER,[Guid] TEXT(64))";

const std::array<LadderRung, 17> kDatabaseLadder = {{
    {Below(1), LadderDatabase::Main, RungAction::RepairEventTable, {}, nullptr, nullptr, nullptr, nullptr},
    {Below(1), LadderDatabase::Main, RungAction::Statements, kServiceTable,
     "Setup added the ServiceTable table", "**** Error trying to add ServiceTable", nullptr, nullptr},
    {Below(1), LadderDatabase::Main, RungAction::Statements, kGlobalSettings,
     "Setup added the GlobalSettings table", "**** Error trying to add GlobalSettings table", nullptr,
     nullptr},
    {Below(2), LadderDatabase::Main, RungAction::Statements, kCustomExemptions,
     "Setup added the CustomExemptions table", "**** Error trying to add CustomExemptions table", nullptr,
     nullptr},
    {Below(3), LadderDatabase::Main, RungAction::AssignEventGuids, kEventGuid,
     "Setup updated the EventTable to add a GUID field", "**** Error trying to add GUID field to EventTable",
     nullptr, nullptr},
    {EqualTo(7), LadderDatabase::Main, RungAction::Statements, kDropCheckList,
     "Setup deleted the CheckListTable table", "**** Error trying to delete CheckListTable", nullptr,
     nullptr},
    {EqualTo(7), LadderDatabase::Main, RungAction::Statements, kDropCheckListTrigger,
     "Setup deleted the CheckListTriggerTable table", "**** Error trying to delete CheckListTriggerTable",
     nullptr, nullptr},
    {Below(8), LadderDatabase::Main, RungAction::Statements, kCheckListTables,
     "Setup added the CheckListTable and CheckListTriggerTable tables",
     "**** Error trying to add CheckListTable or CheckListTriggerTable", nullptr, nullptr},
    {Below(9), LadderDatabase::Main, RungAction::Statements, kDoubleValue,
     "Setup added DoubleValue field to GlobalSettings",
     "**** Error trying to add DoubleValue to GlobalSettings", nullptr, nullptr},
    {Below(12), LadderDatabase::Main, RungAction::Statements, kEventMemos,
     "Setup changed the data types of EventTable.Place, .Description, and .Guid to MEMO",
     "**** Error trying to change the data types of EventTable.Place, .Description, and .Guid to MEMO",
     nullptr, nullptr},
    {Below(12), LadderDatabase::Main, RungAction::Statements, kChap13Tables,
     "Setup added Chap13Provisions, Chap13PlanText, and Chap13ProvisionsByState",
     "**** Error trying to add Chap13Provisions, Chap13PlanText, and Chap13ProvisionsByState", nullptr,
     nullptr},
    {Below(13), LadderDatabase::Main, RungAction::Statements, kTrusteeCh13,
     "Setup updated the TrusteeTable.Ch13 datatype",
     "**** Error trying to update the TrusteeTable.Ch13 datatype",
     "An error prevented Setup from updating the table of chapter 13 trustees. Please write down this error "
     "message and contact technical support.",
     nullptr},
    {Below(14), LadderDatabase::Main, RungAction::Statements, kUserNameMemo,
     "Setup modified the UserName.UserName field to accomodate the new password scheme",
     "**** Error trying to modify the UserName.UserName field to accomodate the new password scheme",
     "An error prevented Setup from updating the UserName table. Please write down this error message and "
     "contact technical support.",
     nullptr},

    {Below(1), LadderDatabase::Creditor, RungAction::Statements, kCreditorWiden,
     "Setup updated the CreditorTable to accomdate 255-character address components",
     "**** Error trying to update the CreditorTable to accomdate 255-character address components", nullptr,
     kUpgradingCreditors},
    {Below(4),
     LadderDatabase::Places,
     RungAction::DownloadPlaces,
     {},
     nullptr,
     nullptr,
     nullptr,
     "Fixing MA office assignments"},
    {Below(5), LadderDatabase::Creditor, RungAction::Statements, kCreditorReorder,
     "Setup reordered the fields in the CreditorTable table",
     "**** Error trying to reorder the fields in the CreditorTable table", nullptr, kUpgradingCreditors},
    {Below(15), LadderDatabase::Creditor, RungAction::Statements, kNoticeTables,
     "Setup created the AlsoNotice table",
     "**** Error trying to add AlsoNotice and AlsoNotice tables to CreditorDatabase", nullptr,
     kUpgradingCreditors},
}};
