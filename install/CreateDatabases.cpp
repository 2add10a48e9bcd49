#include "install/CreateDatabases.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "crypto/CBlowfish.h"
#include "crypto/MasterKey.h"
#include "db/CDBException.h"
#include "db/CreateDatabaseFile.h"
#include "db/SqlText.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/PathHelpers.h"
#include "tables/DatabaseHandles.h"
#include "tables/DatabaseSchema.h"
#include "tables/SetPasswords.h"
#include "tables/ZipCode.h"

#include <memory>
#include <span>

namespace {

constexpr char kSourceName[] = "Wizard";

int ErrorCode(DWORD error) {
    return static_cast<int>(error);
}

// An existing database is never reused: it is logged and deleted; creation is tried either way.
void RemoveExisting(CSetupSheet& sheet, const std::string& path) {
    if (!tl::PathExists(path))
        return;
    sheet.Log("Database %s already exists", path.c_str());
    if (!win::DeleteFile(path))
        sheet.Log("**** Error %d trying to delete %s", ErrorCode(win::GetLastError()), path.c_str());
}

// Logs a database failure with what was being done and shows it with its source location.
void ReportFailure(CSetupSheet& sheet, const CDBException& e, const char* activity, int line) {
    const std::string message = e.GetErrorMessage(tl::kMaxMessage);
    sheet.Log("**** %s - %s", message.c_str(), activity);
    AppMessageBox(tl::Format("%s[%d] - %s", kSourceName, line, message.c_str()), win::MB_ICONINFORMATION);
}

// The half-made database goes: its connection is closed and its file deleted.
void Discard(CDatabase& db, const std::string& path) {
    db.Close();
    win::DeleteFile(path);
}

// The stand-in for the ODBC installer's CREATE_DB; false (logged and shown) when it fails.
bool MakeDatabaseFile(CSetupSheet& sheet, const std::string& path, const char* baseName, bool logPath) {
    try {
        const DWORD error = CreateDatabaseFile(path);
        if (error == win::ERROR_SUCCESS)
            return true;
        const std::string message =
            tl::Format("SQLConfigDataSource(%s) failed - %d", baseName, ErrorCode(error));
        if (logPath)
            sheet.Log("**** %s - trying to create %s", message.c_str(), path.c_str());
        else
            sheet.Log("**** %s", message.c_str());
        AppMessageBox(message, win::MB_ICONERROR);
    } catch (const std::exception& e) {
        AppMessageBox(e.what(), win::MB_ICONERROR);
    }
    return false;
}

// Opens the new file; false (shown, and logged when asked) when it cannot be opened.
bool OpenNew(CSetupSheet& sheet, CDatabase& db, const std::string& home, const char* baseName,
             const char* name, bool log) {
    try {
        db.OpenEx(FormatConnectString(home, baseName));
        return true;
    } catch (const CDBException&) {
        const std::string message =
            tl::Format("Open of %s database failed - %d", name, ErrorCode(win::GetLastError()));
        if (log)
            sheet.Log("**** %s", message.c_str());
        AppMessageBox(message, win::MB_ICONERROR);
        return false;
    }
}

bool CreateTables(CSetupSheet& sheet, CDatabase& db, std::span<const SchemaStep> schema,
                  const char* activity) {
    try {
        CTransaction transaction(db);
        for (const SchemaStep& step : schema) {
            db.ExecuteSQL(step.statement);
            if (step.logLine != nullptr)
                sheet.Log("%s", step.logLine);
        }
        transaction.Commit();
        return true;
    } catch (const CDBException& e) {
        ReportFailure(sheet, e, activity, __LINE__);
        return false;
    }
}

// The firm's row: its name and the address the sheet holds, every text through SqlQuote.
bool InsertFirmRow(CSetupSheet& sheet) {
    const std::string zip = FormatZip(sheet.firmZip, sheet.firmZipExtension);
    const std::string values[] = {
        SqlQuote(sheet.firmName),  SqlQuote(sheet.firmAddress1), SqlQuote(sheet.firmAddress2),
        SqlQuote(sheet.firmCity),  SqlQuote(sheet.firmState),    zip,
        SqlQuote(sheet.firmPhone), SqlQuote(sheet.firmFax),      SqlQuote(sheet.firmEmail)};
    std::string statement =
        "INSERT INTO UserName (UserName, Address1, Address2, City, State, Zipcode, Phone, Fax, "
        "EMail) VALUES (";
    for (std::size_t i = 0; i < std::size(values); ++i)
        statement += (i == 0 ? "'" : ", '") + values[i] + "'";
    statement += ")";
    try {
        CTransaction transaction(theMainDb);
        sheet.Log("stmt = %s", statement.c_str());
        theMainDb.ExecuteSQL(statement);
        sheet.Log("Setup saved registration information");
        transaction.Commit();
        return true;
    } catch (const CDBException& e) {
        ReportFailure(sheet, e, "trying to save user information", __LINE__);
        return false;
    }
}

void StorePasswords(CSetupSheet& sheet) {
    std::unique_ptr<CBlowfish> ownKey;
    const CBlowfish* key = theMasterKey.get();
    if (key == nullptr) {
        ownKey = std::make_unique<CBlowfish>(sheet.masterPassword);
        key = ownKey.get();
    }
    std::string error;
    if (!SetPasswords(sheet.firmName, *key, sheet.masterPassword, sheet.attorneyPassword, sheet.staffPassword,
                      error))
        AppMessageBox(error, win::MB_ICONINFORMATION);
}

} // namespace

bool CreateMainDatabase(CSetupSheet& sheet, const std::string& homeDirectory) {
    if (sheet.mainDatabaseCreated)
        return true;
    sheet.mainDatabaseCreated = true;
    TheUserInterface().SetProgressText("Setting up main database");
    const std::string path = tl::Format("%s\\Tallymar.mdb", homeDirectory.c_str());
    RemoveExisting(sheet, path);
    if (!MakeDatabaseFile(sheet, path, "Tallymar", true))
        return false;
    if (!OpenNew(sheet, theMainDb, homeDirectory, "tallymar", "Tallymar", false))
        return false;
    if (!CreateTables(sheet, theMainDb, kMainDatabaseSchema,
                      "trying to create the next table after the one most recently created") ||
        !InsertFirmRow(sheet)) {
        Discard(theMainDb, path);
        return false;
    }
    StorePasswords(sheet);
    theMainDb.Close();
    sheet.Log("Setup attempted to set master password, %sattorney password, and %sstaff password",
              sheet.attorneyPassword.empty() ? "blank " : "", sheet.staffPassword.empty() ? "blank " : "");
    sheet.AddDeleteFile(path);
    return true;
}

bool CreateCreditorNamesDatabase(CSetupSheet& sheet, const std::string& homeDirectory) {
    if (sheet.creditorDatabaseCreated)
        return true;
    sheet.creditorDatabaseCreated = true;
    TheUserInterface().SetProgressText("Setting up creditor names database");
    const std::string path = tl::Format("%s\\CreditorNames.mdb", homeDirectory.c_str());
    RemoveExisting(sheet, path);
    if (!MakeDatabaseFile(sheet, path, "CreditorNames", false))
        return false;
    CDatabase db;
    if (!OpenNew(sheet, db, homeDirectory, "CreditorNames", "CreditorNames", true))
        return false;
    if (!CreateTables(sheet, db, kCreditorDatabaseSchema, "trying to create CreditorTable")) {
        Discard(db, path);
        return false;
    }
    db.Close();
    sheet.AddDeleteFile(path);
    return true;
}
