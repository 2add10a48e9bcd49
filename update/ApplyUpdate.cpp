#include "update/ApplyUpdate.h"

#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "app/UserInterface.h"
#include "import/ImportReferenceData.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"
#include "tables/DatabaseHandles.h"
#include "update/MergeUninstallManifest.h"
#include "update/RefreshProgramLinks.h"
#include "update/StagedUpdate.h"
#include "update/UpdateList.h"
#include "update/UpgradeDatabases.h"

namespace {

constexpr int kSharedFilesElsewhere = 2;

/// One application of an update: the sheet with the wizard's answers and what the steps learn.
struct Apply {
    explicit Apply(CSetupSheet& updateSheet) : sheet(updateSheet) {}

    CSetupSheet& sheet;
    UserInterface& ui = TheUserInterface();
    bool starterExisted = false;
    bool sharedUpdatesLeftUndone = false;
    StagedUpdate files{sheet};
    bool filesStaged = false;
    bool filesCommitted = false;
    int result = 0;
};

/// A step of the application; none ends it, each one's failure is logged or told where it happens.
struct Step {
    const char* name;
    void (*run)(Apply&);
};

std::string StarterPath(const CSetupSheet& sheet) {
    return sheet.installDirectory + "\\TlSplash.exe";
}

void ShowTheProgressWindow(Apply& run) {
    run.ui.ShowProgress("Tallymar Update", "");
}

// The machine-wide copy is written only into a key made now: an existing one is another
// installation's and stays as it is. Both names of the home directory are written, for the
// readers of either.
void WriteTheShadowCopy(Apply& run) {
    const CSetupSheet& sheet = run.sheet;
    win::RegKey machine;
    DWORD disposition = 0;
    if (CreateMachineSettingsKey(machine, &disposition) != 0 || disposition != win::REG_CREATED_NEW_KEY)
        return;
    WriteUpdateShadowCopy(machine, sheet.homeDirectory, sheet.installDirectory, sheet.installType,
                          TargetDatabaseLevel(sheet), sheet.states);
    win::RegCloseKey(machine);
    run.sheet.Log("Created HKLM shadow copy of settings key");
}

void WriteTheSettings(Apply& run) {
    CSetupSheet& sheet = run.sheet;
    win::RegKey user;
    if (const LONG error = GetSectionKey(user); error != 0) {
        sheet.Log("Error trying to open Settings key -- %d", static_cast<int>(error));
        return;
    }
    WriteUpdateSettings(user, sheet.installDirectory, sheet.installType, sheet.states);
    win::RegCloseKey(user);
    sheet.Log("Selected states are:");
    for (const std::string& state : sheet.states)
        sheet.Log("    %s", state.c_str());
    WriteTheShadowCopy(run);
}

void NoteTheStarter(Apply& run) {
    run.starterExisted = tl::PathExists(StarterPath(run.sheet));
}

// The files of the work list: each is staged, then all are committed together (StagedUpdate).
// Shared files are left for the server when the box of the shared-updates page was not ticked.
void StageTheFiles(Apply& run) {
    CSetupSheet& sheet = run.sheet;
    for (const UpdateItem& item : theUpdateList) {
        const int kind = FolderKindFromFlags(item.Flags);
        if (kind == FolderHome && sheet.installType == kSharedFilesElsewhere &&
            sheet.GetChoice(kChoiceApplySharedUpdates) == 0) {
            run.sharedUpdatesLeftUndone = true;
            continue;
        }
        run.files.Add(item, kind);
    }
    run.filesStaged = run.files.Stage();
}

void CommitTheFiles(Apply& run) {
    run.filesCommitted = run.filesStaged && run.files.Commit();
}

void RefreshTheLinks(Apply& run) {
    if (!run.starterExisted && tl::PathExists(StarterPath(run.sheet)))
        RefreshProgramLinks(run.sheet);
}

// The lookup databases are the product's files; one that does not open is only remembered.
void OpenTheLookupDatabases(Apply& run) {
    OpenCreditorDb(run.sheet.homeDirectory);
    OpenPlacesDb(run.sheet.homeDirectory);
}

// Databases brought to the release's level beside the old release's files would be a mix too:
// an update whose files stayed as they were upgrades nothing and imports nothing, and the next
// run does it all.
void UpgradeAndImport(Apply& run) {
    if (!run.filesCommitted)
        return;
    run.result = UpgradeDatabases(run.sheet);
    if (run.result == 1)
        run.result = ImportReferenceData(run.sheet) ? 1 : 0;
}

void CloseTheDatabases(Apply& run) {
    CloseDatabases();
    run.ui.HideProgress();
}

// The uninstaller removes what the first installation recorded; the update's files join them.
void RecordTheFilesForTheUninstaller(Apply& run) {
    MergeUninstallManifest(run.sheet, run.files.DeletedFiles());
}

void ReportSharedUpdatesLeftUndone(Apply& run) {
    if (run.sharedUpdatesLeftUndone)
        AppMessageBox("Your system still needs updates to one or more shared files. That should be done in a "
                      "session on your server.",
                      win::MB_OK | win::MB_ICONINFORMATION);
}

constexpr Step kSteps[] = {
    {"show the progress window", ShowTheProgressWindow},
    {"write the settings", WriteTheSettings},
    {"note the starter", NoteTheStarter},
    {"stage the files", StageTheFiles},
    {"commit the files", CommitTheFiles},
    {"refresh the program links", RefreshTheLinks},
    {"open the lookup databases", OpenTheLookupDatabases},
    {"upgrade the databases and import", UpgradeAndImport},
    {"close the databases", CloseTheDatabases},
    {"record the files for the uninstaller", RecordTheFilesForTheUninstaller},
    {"report shared updates left undone", ReportSharedUpdatesLeftUndone},
};

} // namespace

int ApplyUpdate(CSetupSheet& sheet) {
    Apply run(sheet);
    for (const Step& step : kSteps)
        step.run(run);
    return run.result == 1 && !run.sharedUpdatesLeftUndone ? 1 : 0;
}
