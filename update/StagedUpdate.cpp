#include "update/StagedUpdate.h"

#include "app/CSetupSheet.h"
#include "app/ManifestObjects.h"
#include "app/UserInterface.h"
#include "platform/LastError.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"
#include "release/DownloadFile.h"
#include "release/ManifestNames.h"
#include "release/RegisterScannerExtension.h"
#include "release/UninstallEntries.h"
#include "release/WriteProductFile.h"
#include "update/EcfMonitorShutdown.h"
#include "update/JournalSteps.h"

#include <algorithm>
#include <cerrno>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr char kEcfMonitor[] = "TLMECF.EXE";
constexpr char kScannerConfiguration[] = "tlmscanx.ini";
constexpr char kCannotStage[] = "The update's files could not all be downloaded";

bool Exists(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void ShowFileError(DWORD error, const std::string& path) {
    AppMessageBox(FileErrorMessage(error, path), win::MB_OK | win::MB_ICONERROR);
}

} // namespace

/// One row of the work list with the paths the two phases move it through.
struct StagedUpdate::File {
    UpdateItem item;
    int kind = FolderInstall;
    bool obsolete = false;
    std::string dest;   ///< where it is installed (a Windows path)
    std::string staged; ///< where it is staged
    fs::path destHost;
    fs::path stagedHost;
    fs::path backupHost;
    fs::path stagingRoot; ///< the ".tlupdate" folder of its target folder
    std::size_t firstStep = 0;
    std::size_t stepCount = 0;
    bool committed = false; ///< its steps ran (a monitor that did not stop keeps its program)
};

StagedUpdate::StagedUpdate(CSetupSheet& sheet) : sheet_(sheet) {}

StagedUpdate::~StagedUpdate() = default;

void StagedUpdate::Add(const UpdateItem& item, int kind) {
    File file;
    file.item = item;
    file.kind = kind;
    file.obsolete = (item.Flags & FlagObsolete) != 0;
    file.dest = TargetPathFor(sheet_, item.Name, kind);
    const std::string root = file.dest.substr(0, file.dest.rfind('\\')) + "\\" + kStagingFolderName;
    file.staged = root + "\\new\\" + item.Name;
    files_.push_back(std::move(file));
}

// The host paths of a file; false (its message shown) when one cannot be mapped.
bool StagedUpdate::Plan(File& file) {
    DWORD error = win::ERROR_SUCCESS;
    const std::string root = file.staged.substr(0, file.staged.rfind("\\new\\"));
    const auto dest = tl::MapToHostPath(file.dest, &error);
    const auto staged = dest ? tl::MapToHostPath(file.staged, &error) : std::nullopt;
    const auto stagingRoot = staged ? tl::MapToHostPath(root, &error) : std::nullopt;
    if (!stagingRoot) {
        ShowFileError(error, file.dest);
        return false;
    }
    file.destHost = *dest;
    file.stagedHost = *staged;
    file.stagingRoot = *stagingRoot;
    file.backupHost = *stagingRoot / "old" / file.item.Name;
    return true;
}

bool StagedUpdate::AbandonStage(const char* why) {
    sheet_.Log("**** %s; no installed file was changed", why);
    RemoveStagingFolders(journal_);
    RemoveUpdateJournal();
    lock_.reset();
    return false;
}

// A target listed twice (a manifest naming a file twice, in any case) would get two backups under
// one name, the second over the first, and an undo would lose the file: its first row is the one
// carried out.
void StagedUpdate::DropRepeatedTargets() {
    std::set<std::string> targets;
    std::erase_if(files_, [&](const File& file) {
        if (targets.insert(tl::ToUpper(file.dest)).second)
            return false;
        sheet_.Log("**** %s is listed more than once; only its first entry is used", file.dest.c_str());
        return true;
    });
}

// The files are fetched in the work list's order; the first that fails ends the phase.
bool StagedUpdate::StageFiles() {
    for (const File& file : files_) {
        if (file.obsolete)
            continue;
        if (!StageProductFile(sheet_, file.item.Name, file.kind, file.item.FileTime, file.item.Size,
                              file.item.Sha256, file.staged))
            return false;
    }
    return true;
}

bool StagedUpdate::Stage() {
    // An unsafe name never reaches the work list; should one come, it is passed over as the
    // download and the deletion would refuse it.
    std::erase_if(files_, [&](const File& file) {
        if (IsPlainFileName(file.item.Name))
            return false;
        LogRefusedFileName(sheet_, file.item.Name);
        return true;
    });
    DropRepeatedTargets();
    if (files_.empty())
        return true;
    lock_ = JournalLock::TryTake();
    if (!lock_) {
        // Its journal and staging folders are its own.
        sheet_.Log("**** Another setup is updating the installed files of this computer; no installed file "
                   "was changed");
        return false;
    }
    // A journal still here is an interrupted update that could not be finished or undone (or that
    // cannot be read): its backups in the staging folders are the only copies of old files, and a
    // new journal and fresh staging folders would lose them.
    if (std::error_code error; fs::exists(UpdateJournalFile(), error) || error) {
        sheet_.Log("**** An interrupted update is not finished (%s); no installed file was changed",
                   UpdateJournalFile().c_str());
        lock_.reset();
        return false;
    }
    journal_ = UpdateJournal{};
    for (File& file : files_) {
        if (!Plan(file))
            return AbandonStage(kCannotStage);
        if (std::find(journal_.stagingFolders.begin(), journal_.stagingFolders.end(), file.stagingRoot) ==
            journal_.stagingFolders.end())
            journal_.stagingFolders.push_back(file.stagingRoot);
    }
    // The journal names the staging folders before they exist, so that none outlives a crash.
    std::error_code ignored;
    fs::remove(UpdateProgressFile(), ignored);
    if (const DWORD error = WriteUpdateJournal(journal_); error != win::ERROR_SUCCESS) {
        ShowFileError(error, UpdateJournalFile().string());
        return AbandonStage(kCannotStage);
    }
    for (const fs::path& root : journal_.stagingFolders) {
        std::error_code error;
        fs::remove_all(root, error);
        if (!error)
            fs::create_directories(root / "new", error);
        if (!error)
            fs::create_directories(root / "old", error);
        if (error) {
            ShowFileError(win::ErrorFromErrno(error.value()), root.string());
            return AbandonStage(kCannotStage);
        }
    }
    return StageFiles() || AbandonStage(kCannotStage);
}

// Every step of the commit, in the work list's order: a file that exists goes to its backup
// before its new copy takes its place.
void StagedUpdate::PlanSteps() {
    journal_.phase = UpdateJournal::Phase::Commit;
    journal_.steps.clear();
    for (File& file : files_) {
        file.firstStep = journal_.steps.size();
        if (file.obsolete) {
            journal_.steps.push_back({JournalStepKind::Delete, file.destHost, file.backupHost});
        } else {
            if (Exists(file.destHost))
                journal_.steps.push_back({JournalStepKind::Backup, file.destHost, file.backupHost});
            journal_.steps.push_back({JournalStepKind::Install, file.stagedHost, file.destHost});
        }
        file.stepCount = journal_.steps.size() - file.firstStep;
    }
}

bool StagedUpdate::RecordStep() {
    ++stepsDone_;
    return WriteJournalProgress(JournalProgress{JournalProgress::State::Steps, stepsDone_}) ==
           win::ERROR_SUCCESS;
}

bool StagedUpdate::FailCommit(const File& file, DWORD error) {
    sheet_.Log("**** Error %d trying to install %s; every file of the update is put back as it was",
               static_cast<int>(error), file.dest.c_str());
    ShowFileError(error, file.dest);
    return PutEverythingBack();
}

bool StagedUpdate::FailToFinish(DWORD error) {
    const std::string journal = UpdateJournalFile().string();
    sheet_.Log("**** Error %d trying to record the end of the update in %s; every file of the update is "
               "put back as it was",
               static_cast<int>(error), journal.c_str());
    ShowFileError(error, journal);
    return PutEverythingBack();
}

bool StagedUpdate::PutEverythingBack() {
    if (UndoJournalSteps(sheet_, journal_, stepsDone_ + 1)) {
        RemoveStagingFolders(journal_);
        RemoveUpdateJournal();
    }
    lock_.reset();
    return false;
}

void StagedUpdate::LogCommitted(File& file) {
    if (!file.obsolete) {
        file.committed = true;
        sheet_.Log("Setup has installed %s", file.dest.c_str());
        return;
    }
    if (!Exists(file.backupHost))
        return; // its deletion failed and has been logged
    file.committed = true;
    sheet_.Log("Setup has deleted %s", file.dest.c_str());
}

// The steps of one file. A deletion that fails is only logged and a file to replace that has
// gone meanwhile has nothing to back up; any other failure puts every file back.
bool StagedUpdate::CommitFile(File& file) {
    if (tl::EqualsNoCase(file.item.Name, kEcfMonitor) && !ShutDownEcfMonitor(sheet_, file.item.Name)) {
        // A monitor that does not stop keeps its program; its steps are passed over, the last
        // one counted by RecordStep.
        stepsDone_ += file.stepCount - 1;
        return RecordStep() || FailCommit(file, win::GetLastError());
    }
    for (std::size_t i = 0; i < file.stepCount; ++i) {
        const JournalStep& step = journal_.steps[file.firstStep + i];
        const int error = RunJournalStep(step);
        if (error != 0 && step.kind == JournalStepKind::Delete) {
            sheet_.Log("**** Error %d trying to delete %s", static_cast<int>(win::ErrorFromErrno(error)),
                       file.dest.c_str());
        } else if (error != 0 && !(step.kind == JournalStepKind::Backup && error == ENOENT)) {
            return FailCommit(file, win::ErrorFromErrno(error));
        }
        if (!RecordStep())
            return FailCommit(file, win::GetLastError());
    }
    LogCommitted(file);
    if (!file.obsolete && tl::EqualsNoCase(file.item.Name, kScannerConfiguration))
        RegisterScannerExtension(sheet_);
    return true;
}

bool StagedUpdate::Commit() {
    if (files_.empty())
        return true;
    PlanSteps();
    stepsDone_ = 0;
    DWORD error = WriteUpdateJournal(journal_);
    if (error == win::ERROR_SUCCESS)
        error = WriteJournalProgress(JournalProgress{});
    if (error != win::ERROR_SUCCESS) {
        ShowFileError(error, UpdateJournalFile().string());
        return AbandonStage("The update's journal cannot be written");
    }
    for (File& file : files_) {
        if (!CommitFile(file))
            return false;
    }
    // Every step is on disk before the journal says so; only then do the backups go.
    if (const int synced = SyncJournalFolders(journal_); synced != 0)
        return FailToFinish(win::ErrorFromErrno(synced));
    if (const DWORD written = WriteJournalProgress(JournalProgress{JournalProgress::State::Done, 0});
        written != win::ERROR_SUCCESS)
        return FailToFinish(written);
    // Backups that cannot be removed leave the journal for the next run, which completes it.
    if (RemoveStagingFolders(journal_) != 0)
        sheet_.Log("**** The update's staging folders cannot all be removed yet; the next run removes them");
    else if (const int removed = RemoveUpdateJournal(); removed != 0)
        sheet_.Log("**** Error %d trying to delete %s", static_cast<int>(win::ErrorFromErrno(removed)),
                   UpdateJournalFile().c_str());
    lock_.reset();
    // The uninstaller learns of the update's files only once they are the installation's.
    for (const File& file : files_) {
        if (!file.committed)
            continue;
        if (file.obsolete) {
            ForgetDeleteFile(sheet_, file.dest);
            deletedFiles_.push_back(file.dest);
        } else {
            RecordInstalledFile(sheet_, file.item.Name, file.dest);
        }
    }
    return true;
}
