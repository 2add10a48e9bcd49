#pragma once

#include "update/UpdateJournal.h"
#include "update/UpdateList.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class CSetupSheet;

/// The update's file work in two phases, so that the installation holds the old files or the new
/// ones and never a mix.
///
/// A target that the work list names more than once (in any case) is carried out for its first
/// row only, the others logged: "**** <path> is listed more than once; only its first entry is
/// used".
///
/// Stage: every file to install or replace is downloaded and checked into the staging folder
/// ".tlupdate\new" inside its target folder (so on the target's file system); nothing installed
/// changes. The first file that cannot be staged ends the phase: the staged files go, "****
/// The update's files could not all be downloaded; no installed file was changed" is logged, and
/// the file's own message ("Error downloading <name>", or its file error) has been shown.
///
/// Commit: the journal (update/UpdateJournal.h) lists every step, each a rename: an old file to
/// its backup in ".tlupdate\old", a staged file into place, an obsolete file to its backup. The
/// steps run in the work list's order, the journal's progress written after each; the ECF monitor
/// is stopped just before its program's steps (a monitor that does not stop keeps its program),
/// the scanner registration follows tlmscanx.ini, and each file's "Setup has installed <path>"
/// or "Setup has deleted <path>" (or "**** Error <n> trying to delete <path>") is logged at its
/// place as before. Only after the last step are the backups removed. A step that fails puts
/// every file back, logs "**** Error <n> trying to install <path>; every file of the update is put
/// back as it was" and shows the file error.
class StagedUpdate {
public:
    explicit StagedUpdate(CSetupSheet& sheet);
    StagedUpdate(const StagedUpdate&) = delete;
    StagedUpdate& operator=(const StagedUpdate&) = delete;
    ~StagedUpdate();

    /// Adds a row of the work list, to be installed or replaced, or deleted (FlagObsolete), in
    /// the folder of kind.
    void Add(const UpdateItem& item, int kind);

    /// The stage phase; true when every file is staged (also when there is nothing to do).
    bool Stage();
    /// The commit phase, after a successful Stage; true when every file is in place, false when
    /// the files were put back as they were.
    bool Commit();

    /// The installed paths of the obsolete files that the commit deleted.
    const std::vector<std::string>& DeletedFiles() const { return deletedFiles_; }

private:
    struct File;

    void DropRepeatedTargets();
    bool Plan(File& file);
    bool AbandonStage(const char* why);
    bool StageFiles();
    void PlanSteps();
    bool CommitFile(File& file);
    bool RecordStep();
    bool FailCommit(const File& file, DWORD error);
    bool FailToFinish(DWORD error);
    bool PutEverythingBack();
    void LogCommitted(File& file);

    CSetupSheet& sheet_;
    std::vector<File> files_;
    UpdateJournal journal_;
    std::optional<JournalLock> lock_;
    std::size_t stepsDone_ = 0;
    std::vector<std::string> deletedFiles_;
};
