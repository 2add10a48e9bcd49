#include "update/RecoverInterruptedUpdate.h"

#include "app/CSetupSheet.h"
#include "platform/AtomicFile.h"
#include "platform/LastError.h"
#include "update/JournalSteps.h"
#include "update/UpdateJournal.h"

namespace {

void LogUnreadable(CSetupSheet& sheet, const std::string& problem) {
    sheet.Log("**** The journal of an interrupted update, %s, %s; it is left as it is",
              UpdateJournalFile().c_str(), problem.c_str());
}

} // namespace

void RecoverInterruptedUpdate(CSetupSheet& sheet) {
    std::string problem;
    if (!ReadUpdateJournal(problem)) {
        if (!problem.empty())
            LogUnreadable(sheet, problem);
        return;
    }
    const auto lock = JournalLock::TryTake();
    if (!lock) {
        sheet.Log("**** Another setup is updating the installed files of this computer");
        return;
    }
    // Read again under the lock: the setup that held it may have finished meanwhile.
    const auto journal = ReadUpdateJournal(problem);
    if (!journal) {
        if (!problem.empty())
            LogUnreadable(sheet, problem);
        return;
    }
    const JournalProgress progress = ReadJournalProgress();
    const bool committed =
        journal->phase == UpdateJournal::Phase::Commit && progress.state == JournalProgress::State::Done;
    if (committed) {
        sheet.Log("**** Completing an interrupted update");
    } else {
        sheet.Log("**** Undoing an interrupted update");
        // A staging phase moved no file, and a finished undo has put every one back.
        const bool moved =
            journal->phase == UpdateJournal::Phase::Commit && progress.state == JournalProgress::State::Steps;
        if (moved && !UndoJournalSteps(sheet, *journal, progress.stepsDone + 1))
            return;
    }
    // The journal stays until its staging folders are gone, so that the next run tries again.
    if (RemoveStagingFolders(*journal) != 0) {
        sheet.Log("**** The staging folders of an interrupted update cannot all be removed");
        return;
    }
    if (const int removed = RemoveUpdateJournal(); removed != 0) {
        sheet.Log("**** Error %d trying to delete %s", static_cast<int>(win::ErrorFromErrno(removed)),
                  UpdateJournalFile().c_str());
        return;
    }
    tl::AtomicFile::RemoveStaleTemporaries(UpdateJournalFolder());
}
