#pragma once

#include "app/UpdateStateFiles.h"
#include "platform/UniqueFd.h"
#include "platform/WinTypes.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

/// The journal of an update's file work, kept in the machine prefix so that a run that finds it
/// can finish or undo an update that a crash interrupted.
///
/// The journal file ("update/journal" in the prefix) is text: a first line "TlInstall update
/// journal 1", "phase stage" or "phase commit", one "staging <folder>" line per staging folder,
/// in the commit phase one line per step ("backup", "install" or "delete", then the two host
/// paths of its rename, separated by a tab), and a last line "end". Paths escape "%", tab, line
/// feed and carriage return as %25, %09, %0A and %0D. It is written whole through the atomic
/// writer at the start of each phase.
///
/// The progress file ("update/progress") says how far the commit has got: "done <n>" after the
/// n-th step, "done all" once every step is done (only the staging folders, with the backups in
/// them, remain to be removed), "undone" once an undo has put every file back. It too is written
/// through the atomic writer, after every step; none means no step is done.
/// The name of every staging folder. A journal whose staging folder has another name, or a step
/// whose backup or staged file lies outside its staging folders, is not one that an update wrote,
/// and nothing acts on it: a recovery would otherwise remove or move whatever it names.
inline constexpr char kStagingFolderName[] = ".tlupdate";

enum class JournalStepKind {
    Backup,  ///< the file to replace goes to its backup
    Install, ///< the staged file goes in place
    Delete,  ///< an obsolete file goes to its backup
};

struct JournalStep {
    JournalStepKind kind;
    std::filesystem::path from;
    std::filesystem::path to;
};

struct UpdateJournal {
    enum class Phase { Stage, Commit };

    Phase phase = Phase::Stage;
    std::vector<std::filesystem::path> stagingFolders;
    std::vector<JournalStep> steps;
};

struct JournalProgress {
    enum class State { Steps, Done, Undone };

    State state = State::Steps;
    std::size_t stepsDone = 0; ///< with State::Steps
};

/// The journal and its progress, in UpdateJournalFolder() (app/UpdateStateFiles.h).
std::filesystem::path UpdateJournalFile();
std::filesystem::path UpdateProgressFile();

/// Writes the journal through the atomic writer (creating its folder). Returns ERROR_SUCCESS or
/// the Windows error code of the failure.
DWORD WriteUpdateJournal(const UpdateJournal& journal);
/// Writes the progress through the atomic writer; the result as WriteUpdateJournal's.
DWORD WriteJournalProgress(const JournalProgress& progress);

/// Reads the journal. nullopt with problem empty when there is none; nullopt with problem saying
/// why when it cannot be read or is not a whole journal.
std::optional<UpdateJournal> ReadUpdateJournal(std::string& problem);
/// Reads the progress; no progress file (or one that is not one) means no step done.
JournalProgress ReadJournalProgress();

/// Removes the journal, flushes its folder, then removes the progress, in that order: a journal
/// never outlives its progress, so a journal without progress always means an unfinished commit.
/// Returns 0 or an errno value.
int RemoveUpdateJournal();

/// The lock that one process holds while it stages, commits or undoes an update: a second
/// setup leaves a journal alone while another one works on it.
class JournalLock {
public:
    /// Takes the lock without waiting; nullopt when another process holds it or it cannot be made.
    static std::optional<JournalLock> TryTake();

private:
    explicit JournalLock(tl::UniqueFd fd) : fd_(std::move(fd)) {}
    tl::UniqueFd fd_;
};
