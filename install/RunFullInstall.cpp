#include "install/RunFullInstall.h"

#include "app/AppConstants.h"
#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "crypto/CBlowfish.h"
#include "crypto/MasterKey.h"
#include "db/CDBException.h"
#include "db/SqlText.h"
#include "import/ImportReferenceData.h"
#include "install/AskAttorneySetup.h"
#include "install/HomeDirectory.h"
#include "install/InstallProductFiles.h"
#include "install/InstallType.h"
#include "platform/Format.h"
#include "platform/ModuleFileName.h"
#include "platform/PathHelpers.h"
#include "release/FetchManifest.h"
#include "tables/DatabaseHandles.h"

#include <memory>
#include <span>

namespace {

/// One first installation: the sheet with every answer, and what the steps learn on the way.
struct FullInstall {
    CSetupSheet sheet{CSetupSheet::kInstallCaptionId};
    UserInterface& ui = TheUserInterface();
    std::string homePath; ///< the home directory as the databases are opened: its UNC path
    int failedFiles = 0;
};

/// A step of the work after Finish; false ends the work as a failure (the step has told the user).
struct Step {
    const char* name;
    bool (*run)(FullInstall&);
};

bool OpenTheLog(FullInstall& run) {
    run.sheet.OpenLog();
    run.sheet.Log("**** Beginning full new-scheme install");
    run.sheet.Log("Executable path is %s", win::GetModuleFileName().c_str());
    return true;
}

bool FetchTheManifest(FullInstall& run) {
    return FetchManifest(run.sheet);
}

// The wizard's answers become the run's: the install directory, the master key, the setup folder.
bool TakeTheAnswers(FullInstall& run) {
    theInstallDirectory = run.sheet.installDirectory;
    theMasterKey = std::make_unique<CBlowfish>(run.sheet.masterPassword);
    run.sheet.setupDirectory = tl::ParentPath(win::GetModuleFileName());
    run.sheet.CreateUninstallRoot();
    run.ui.BeginWaitCursor();
    run.sheet.installType = InstallTypeFromChoices(run.sheet);
    run.sheet.Log("Install type is %d", run.sheet.installType);
    return true;
}

bool SetUpTheHomeDirectory(FullInstall& run) {
    return SetupHomeDirectory(run.sheet);
}

bool OpenTheMainDatabase(FullInstall& run) {
    run.homePath = HomeDirectoryUncPath(run.sheet);
    run.sheet.Log("Home directory is %s", run.homePath.c_str());
    run.ui.ShowProgress(kAppName, "Opening databases");
    try {
        theMainDb.OpenEx(FormatConnectString(run.homePath, "tallymar"));
        return true;
    } catch (const CDBException&) {
        const std::string message =
            tl::Format("Setup couldn't open the main database (%s\\%s.mdb) and cannot continue.",
                       run.homePath.c_str(), "Tallymar");
        run.sheet.Log("**** %s", message.c_str());
        run.ui.HideProgress();
        AppMessageBox(message, win::MB_OK | win::MB_ICONSTOP);
        return false;
    }
}

bool InstallTheProductFiles(FullInstall& run) {
    // Files that could not be downloaded do not stop the rest: the next run fetches them.
    InstallProductFiles(run.sheet, run.failedFiles);
    return true;
}

// The lookup databases are the product's files; that one is missing is not reported.
bool OpenTheLookupDatabases(FullInstall& run) {
    OpenPlacesDb(run.homePath);
    OpenCreditorDb(run.homePath);
    return true;
}

bool ImportTheReferenceData(FullInstall& run) {
    ImportReferenceData(run.sheet);
    return true;
}

bool SetUpTheAttorneys(FullInstall& run) {
    AskAttorneySetup(run.sheet);
    return true;
}

bool CloseTheDatabases(FullInstall&) {
    CloseDatabases();
    return true;
}

bool SaveTheUninstallManifest(FullInstall& run) {
    run.sheet.AddDeleteKey(kProductKey);
    // A manifest that cannot be written is logged by the writer; the product itself is installed.
    run.sheet.SaveUninstallManifest();
    return true;
}

constexpr Step kBeforeTheWizard[] = {
    {"open the log", OpenTheLog},
    {"fetch the manifest", FetchTheManifest},
};

constexpr Step kAfterFinish[] = {
    {"take the answers", TakeTheAnswers},
    {"set up the home directory", SetUpTheHomeDirectory},
    {"open the main database", OpenTheMainDatabase},
    {"install the product files", InstallTheProductFiles},
    {"open the lookup databases", OpenTheLookupDatabases},
    {"import the reference data", ImportTheReferenceData},
    {"set up the attorneys", SetUpTheAttorneys},
    {"close the databases", CloseTheDatabases},
    {"save the uninstall manifest", SaveTheUninstallManifest},
};

bool RunSteps(FullInstall& run, std::span<const Step> steps) {
    for (const Step& step : steps) {
        if (!step.run(run))
            return false;
    }
    return true;
}

// Whatever became of the work: no wait cursor, no progress window, no master key, no connection.
void CleanUp(FullInstall& run) {
    run.ui.EndWaitCursor();
    run.ui.HideProgress();
    run.ui.StopProgressThread();
    if (theMainDb.IsOpen())
        CloseTheDatabases(run);
    theMasterKey.reset();
}

bool Finish(FullInstall& run, bool worked) {
    if (!worked)
        return false;
    if (run.failedFiles > 0) {
        AppMessageBox(
            tl::Format("Setup could not download %d of Tallymar's files. Run Setup again to complete the "
                       "installation.",
                       run.failedFiles),
            win::MB_OK | win::MB_ICONSTOP);
        return false;
    }
    run.sheet.Log("Setup finished - success");
    AppMessageBox("Tallymar has been installed on this computer", win::MB_OK | win::MB_ICONINFORMATION);
    return true;
}

} // namespace

int RunFullInstall(int) {
    FullInstall run;
    if (!RunSteps(run, kBeforeTheWizard))
        return false;
    run.ui.StartProgressThread();
    if (run.ui.RunInstallWizard(run.sheet) != win::ID_WIZFINISH) {
        run.ui.StopProgressThread();
        run.sheet.Log("Abandoning install at user request");
        return false;
    }
    const bool worked = RunSteps(run, kAfterFinish);
    CleanUp(run);
    return Finish(run, worked);
}
