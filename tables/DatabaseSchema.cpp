#include "tables/DatabaseSchema.h"

const std::array<SchemaStep, 18> kMainDatabaseSchema = {{
    {"CREATE TABLE AttorneyTable (AttorneyNumber COUNTER PRIMARY KEY,Name TEXT(255) NOT NULL,Initials "
     "TEXT(50) "
     "NOT NULL,Address1 TEXT(255),Address2 TEXT(255),City TEXT(255),State TEXT(50),Zipcode "
     "TEXT(50),Telephone "
     "TEXT(50),email TEXT(255),Firm TEXT(255),Fax TEXT(50),Chap13Annex TEXT(255),Default YESNO,PacerId "
     "TEXT(255),PacerPassword TEXT(255))",
     "Setup created AttorneyTable"},
    {"CREATE TABLE ClientTable (ClientNo COUNTER PRIMARY KEY,Name TEXT(255),CaseFile TEXT(255),Notes "
     "TEXT(255),Type INTEGER,FileNo TEXT(50))",
     "Setup created ClientTable"},
    {"CREATE TABLE AdversaryTable (AdversaryNumber COUNTER PRIMARY KEY,DocketNumber TEXT(50),Status "
     "INTEGER,Client INTEGER,District TEXT(50),Office INTEGER,Judge TEXT(255),Attorney INTEGER,UniqueID "
     "TEXT(50),Title TEXT(255),CaseFileName TEXT(255))",
     "Setup created AdversaryTable"},
    {"CREATE TABLE CaseTable (CaseNumber COUNTER PRIMARY KEY,DocketNumber TEXT(50),Status INTEGER,Chapter "
     "INTEGER,Client INTEGER,District TEXT(50),Office INTEGER,Judge TEXT(255),Trustee TEXT(255),Attorney "
     "INTEGER,UniqueID TEXT(50),Title TEXT(255))",
     "Setup created CaseTable"},
    {"CREATE TABLE EcfTable (AttorneyNumber INTEGER ,District TEXT(50),UserName TEXT(50),Password "
     "TEXT(50),BarNumber TEXT(255))",
     "Setup created EcfTable"},
    {"CREATE TABLE EventTable (EventNumber COUNTER PRIMARY KEY,[DateTime] DATETIME,Place MEMO,Description "
     "MEMO,Client INTEGER,BankruptcyCase INTEGER,AdversaryCase INTEGER,[Guid] MEMO)",
     "Setup created EventTable"},
    {"CREATE TABLE NetworkUsers (HostName TEXT(255))", "Setup created NetworkUsers"},
    {"CREATE TABLE TrusteeTable (TrusteeName TEXT(255) PRIMARY KEY,FullName TEXT(255),Address1 "
     "TEXT(255),Address2 TEXT(255),City TEXT(255),State TEXT(2),ZipCode TEXT(50),Telephone TEXT(50),Fax "
     "TEXT(50),Email TEXT(255),Ch13 INTEGER,Ch13Select TEXT(255),Ch13Id TEXT(255))",
     "Setup created TrusteeTable"},
    {"CREATE TABLE Ch13Login (TrusteeName TEXT(255) NOT NULL,UserName TEXT(255) NOT NULL,Password TEXT(255) "
     "NOT NULL,Attorney INTEGER)",
     "Setup created Ch13Login"},
    {"CREATE TABLE ServiceTable (ServiceTableId COUNTER PRIMARY KEY,AttorneyNumber INTEGER,Analysis "
     "YESNO,Preparation YESNO,Meeting YESNO,AP YESNO,Other1 MEMO,Other2 MEMO,Excluded MEMO,Chapter INTEGER)",
     "Setup created ServiceTable"},
    {"CREATE TABLE UserName (UserName TEXT(255),Password MEMO,Address1 TEXT(255),Address2 TEXT(255),City "
     "TEXT(255),State TEXT(2),Zipcode TEXT(50),Phone TEXT(50),Fax TEXT(50),EMail TEXT(255))",
     "Setup created UserName"},
    {"CREATE TABLE CustomExemptions ([Guid] TEXT(64) PRIMARY KEY,Version INTEGER,Data MEMO)",
     "Setup created CustomExemptions"},
    {"CREATE TABLE GlobalSettings (OptionName TEXT(255) PRIMARY KEY,LongValue INTEGER,TextValue "
     "MEMO,DoubleValue DOUBLE)",
     "Setup created GlobalSettings"},
    {"CREATE TABLE CheckListTable ([ID] TEXT(48) PRIMARY KEY,beforeafter TEXT(48),subsidiary TEXT(48),[text] "
     "MEMO,[desc] MEMO,flagslo INTEGER,flagshi INTEGER,resideslo INTEGER,resideshi INTEGER,districts "
     "MEMO,trigger TEXT(48))",
     nullptr},
    {"CREATE TABLE CheckListTriggerTable (trigger TEXT(48) PRIMARY KEY, description TEXT(255))",
     "Setup created CheckListTable and CheckListTriggerTable"},
    {"CREATE TABLE Chap13Provisions ([ProvisionId] TEXT(50) PRIMARY KEY,[ProvisionDesc] MEMO,[ProvisionText] "
     "MEMO)",
     nullptr},
    {"CREATE TABLE Chap13PlanText ([RecordNumber] COUNTER PRIMARY KEY,[District] TEXT(50),[Treatment] "
     "INTEGER,[Usage] INTEGER,[Text] MEMO,[Desc] MEMO)",
     nullptr},
    {"CREATE TABLE Chap13ProvisionsByState ([RecordNumber] COUNTER PRIMARY KEY,[ProvisionId] "
     "TEXT(50),[ProvisionDistrict] TEXT(50),[ProvisionType] INTEGER)",
     "Setup created Chap13Provisions, Chap13PlanText, and Chap13ProvisionsByState"},
}};

const std::array<SchemaStep, 3> kCreditorDatabaseSchema = {{
    {"CREATE TABLE CreditorTable (CreditorName TEXT(255) PRIMARY KEY,Address1 TEXT(255),Address2 "
     "TEXT(255),City TEXT(255),State TEXT(255),Zip INTEGER,PlusFour INTEGER,Alias1 TEXT(255),Alias2 "
     "TEXT(255),Alias3 TEXT(255),Country TEXT(255))",
     "Setup created the CreditorTable table"},
    {"CREATE TABLE AlwaysNotice ([ID] COUNTER PRIMARY KEY,[CreditorName] TEXT(255))",
     "Setup created the AlwaysNotice table"},
    {"CREATE TABLE AlsoNotice ([ID] COUNTER PRIMARY KEY,CreditorName TEXT(255),Address1 TEXT(255),Address2 "
     "TEXT(255),City TEXT(255),State TEXT(255),Zip INTEGER,PlusFour INTEGER,Country TEXT(255))",
     "Setup created the AlsoNotice table"},
}};
