#include "update/UpgradeDatabases.h"

#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "app/UserInterface.h"
#include "platform/WinTypes.h"
#include "release/DownloadFile.h"
#include "tables/DatabaseHandles.h"
#include "update/DatabaseLadder.h"
#include "update/EventTableRepair.h"

namespace {

constexpr int kSharedFilesElsewhere = 2;
constexpr char kPlacesFile[] = "TallymarPlaces.mdb";

bool ShouldRun(const LadderRung& rung, const CSetupSheet& sheet, int installed, int target) {
    if (!rung.condition.Holds(installed))
        return false;
    switch (rung.database) {
    case LadderDatabase::Main:
        return installed < target;
    case LadderDatabase::Creditor:
        return sheet.installType != kSharedFilesElsewhere && theCreditorDbOpen;
    case LadderDatabase::Places:
        return sheet.installType != kSharedFilesElsewhere;
    }
    return false;
}

CDatabase& DatabaseOf(const LadderRung& rung) {
    return rung.database == LadderDatabase::Creditor ? theCreditorDb : theMainDb;
}

// The rung's statements in one transaction; any failure undoes all of them.
void RunStatements(CSetupSheet& sheet, const LadderRung& rung) {
    CDatabase& db = DatabaseOf(rung);
    try {
        CTransaction transaction(db);
        for (const SchemaStep& step : rung.statements) {
            db.ExecuteSQL(step.statement);
            if (step.logLine != nullptr)
                sheet.Log("%s", step.logLine);
        }
        if (rung.action == RungAction::AssignEventGuids)
            AssignEventGuids(db);
        transaction.Commit();
        sheet.Log("%s", rung.successLine);
    } catch (const std::exception&) {
        sheet.Log("%s", rung.failureLine);
        if (rung.messageBox != nullptr)
            AppMessageBox(rung.messageBox, win::MB_ICONERROR);
    }
}

// The places database is a product file: a fresh copy replaces it. Its connection would keep
// reading the old file, so it is closed first and opened again on the new one.
void DownloadPlaces(CSetupSheet& sheet) {
    thePlacesDb.Close();
    thePlacesDbOpen = false;
    DownloadFile(sheet, kPlacesFile, FolderHome, -1);
    OpenPlacesDb(sheet.homeDirectory);
}

// False when the rung makes the ladder's result fail.
bool RunRung(CSetupSheet& sheet, const LadderRung& rung) {
    if (rung.progressText != nullptr)
        TheUserInterface().SetProgressText(rung.progressText);
    switch (rung.action) {
    case RungAction::RepairEventTable:
        return RepairEventTable(sheet);
    case RungAction::DownloadPlaces:
        DownloadPlaces(sheet);
        return true;
    case RungAction::Statements:
    case RungAction::AssignEventGuids:
        RunStatements(sheet, rung);
        return true;
    }
    return true;
}

void WriteDatabaseLevels(CSetupSheet& sheet, int target) {
    win::RegKey key;
    const LONG error = GetSectionKey(key);
    if (error != 0) {
        sheet.Log("**** Error %ld trying to record database level %d", static_cast<long>(error), target);
        return;
    }
    WriteLevels(key, sheet.updateLevel, target);
}

} // namespace

int TargetDatabaseLevel(const CSetupSheet& sheet) {
    return sheet.manifestObjects.empty() ? 0 : sheet.manifestObjects.front()->DatabaseLevel;
}

int UpgradeDatabases(CSetupSheet& sheet) {
    const int installed = GetProfileInt("DatabaseLevel", 0);
    const int target = TargetDatabaseLevel(sheet);
    sheet.Log("Installation at database level %d, update at level %d", installed, target);
    int result = 1;
    for (const LadderRung& rung : kDatabaseLadder) {
        if (ShouldRun(rung, sheet, installed, target) && !RunRung(sheet, rung))
            result = 0;
    }
    WriteDatabaseLevels(sheet, target);
    return result;
}
