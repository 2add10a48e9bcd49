#include "update/RunUpdate.h"

#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "app/UserInterface.h"
#include "db/CDBException.h"
#include "db/SqlText.h"
#include "platform/ModuleFileName.h"
#include "platform/PathHelpers.h"
#include "release/FetchManifest.h"
#include "tables/DatabaseHandles.h"
#include "update/ApplyUpdate.h"
#include "update/DuplicateRunCheck.h"
#include "update/RecoverInterruptedUpdate.h"
#include "update/UpdateList.h"

#include <span>

namespace {

constexpr int kSharedFilesHere = 1;

/// One update: the sheet with every answer, and the outcome of its work.
struct Update {
    CSetupSheet sheet{CSetupSheet::kUpdateCaptionId};
    UserInterface& ui = TheUserInterface();
    int applied = 0;
};

/// A step of the update; false ends it without the wizard's work (the step has logged why).
struct Step {
    const char* name;
    bool (*run)(Update&);
};

bool OpenTheLog(Update& run) {
    run.sheet.OpenLog();
    run.sheet.Log("**** Beginning update");
    return true;
}

// An update that a crash interrupted is finished or undone before this one looks at any file.
bool RecoverAnInterruptedUpdate(Update& run) {
    RecoverInterruptedUpdate(run.sheet);
    return true;
}

bool OpenTheMainDatabase(Update& run) {
    run.sheet.homeDirectory = GetProfileString("HomeDirectory", "");
    try {
        theMainDb.OpenEx(FormatConnectString(run.sheet.homeDirectory, "tallymar"));
        return true;
    } catch (const CDBException&) {
        run.sheet.Log("Failed trying to open Tallymar database");
        return false;
    }
}

bool FetchTheManifest(Update& run) {
    if (FetchManifest(run.sheet))
        return true;
    run.sheet.Log("Error fetching manifest");
    return false;
}

bool CheckTheSharedFiles(Update& run) {
    CheckSharedFileUpdates(run.sheet);
    return true;
}

// What the settings know decides which pages the wizard adds: an empty directory and a type of
// -1 are asked for.
bool ReadTheInstalledSettings(Update& run) {
    run.sheet.installDirectory = GetProfileString("InstallDirectory", "");
    run.sheet.installType = GetProfileInt("InstallType", -1);
    return true;
}

bool TakeTheAnswers(Update& run) {
    theInstallDirectory = run.sheet.installDirectory;
    if (run.sheet.installType == kSharedFilesHere)
        AppMessageBox("Since shared components may be updated, make sure no-one is using Tallymar over the "
                      "network before proceeding",
                      win::MB_OK | win::MB_ICONINFORMATION);
    run.sheet.setupDirectory = tl::ParentPath(win::GetModuleFileName());
    run.ui.BeginWaitCursor();
    run.sheet.CreateUninstallRoot();
    return true;
}

bool ApplyTheUpdate(Update& run) {
    run.applied = ApplyUpdate(run.sheet);
    run.ui.EndWaitCursor();
    run.ui.HideProgress();
    run.ui.StopProgressThread();
    return true;
}

bool ReportTheOutcome(Update& run) {
    if (run.applied != 1) {
        run.sheet.Log("Update complete - failure");
        return true;
    }
    run.sheet.Log("Update complete - success");
    AppMessageBox("Your copy of Tallymar is now up to date", win::MB_OK | win::MB_ICONINFORMATION);
    return true;
}

constexpr Step kBeforeTheWizard[] = {
    {"open the log", OpenTheLog},
    {"recover an interrupted update", RecoverAnInterruptedUpdate},
    {"open the main database", OpenTheMainDatabase},
    {"fetch the manifest", FetchTheManifest},
    {"check the shared files", CheckTheSharedFiles},
    {"read the installed settings", ReadTheInstalledSettings},
};

constexpr Step kAfterFinish[] = {
    {"take the answers", TakeTheAnswers},
    {"apply the update", ApplyTheUpdate},
    {"report the outcome", ReportTheOutcome},
};

bool RunSteps(Update& run, std::span<const Step> steps) {
    for (const Step& step : steps) {
        if (!step.run(run))
            return false;
    }
    return true;
}

// A run that ends before the work leaves no connection open behind it.
int EndEarly() {
    theMainDb.Close();
    return 0;
}

} // namespace

int RunUpdate(int) {
    // Before anything else: a running product is told so and nothing is logged.
    if (!PassDuplicateRunCheck())
        return 0;
    Update run;
    if (!RunSteps(run, kBeforeTheWizard))
        return EndEarly();
    run.ui.StartProgressThread();
    if (run.ui.RunUpdateWizard(run.sheet) != win::ID_WIZFINISH) {
        run.ui.StopProgressThread();
        run.sheet.Log("Abandoning update at user request");
        return EndEarly();
    }
    RunSteps(run, kAfterFinish);
    return 1;
}
