#include "update/JournalSteps.h"

#include "app/CSetupSheet.h"
#include "platform/HostFile.h"
#include "platform/IoFaults.h"
#include "platform/LastError.h"
#include "platform/TextUtil.h"
#include "update/EcfMonitorShutdown.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr char kEcfMonitor[] = "TLMECF.EXE";

bool Exists(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

int Rename(const fs::path& from, const fs::path& to) {
    if (const int fault = tl::IoFaultFor(to, tl::IoStep::Rename); fault != 0)
        return fault;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// The installed file that a step moves in or out.
const fs::path& InstalledPathOf(const JournalStep& step) {
    return step.kind == JournalStepKind::Install ? step.to : step.from;
}

bool TouchesTheMonitor(const JournalStep& step) {
    return tl::EqualsNoCase(InstalledPathOf(step).filename().string(), kEcfMonitor);
}

} // namespace

int RunJournalStep(const JournalStep& step) {
    return Rename(step.from, step.to);
}

bool IsJournalStepDone(const JournalStep& step) {
    if (step.kind != JournalStepKind::Install)
        return Exists(step.to);
    return Exists(step.to) && !Exists(step.from) && Exists(step.from.parent_path());
}

bool UndoJournalSteps(CSetupSheet& sheet, const UpdateJournal& journal, std::size_t possiblyDone) {
    const auto first = journal.steps.begin();
    const auto last = first + static_cast<std::ptrdiff_t>(std::min(possiblyDone, journal.steps.size()));
    // The monitor must not run while its program file changes under it.
    if (std::any_of(first, last, [](const JournalStep& step) {
            return TouchesTheMonitor(step) && IsJournalStepDone(step);
        }))
        ShutDownEcfMonitor(sheet, kEcfMonitor);
    for (auto step = last; step != first;) {
        --step;
        if (!IsJournalStepDone(*step))
            continue;
        if (const int error = Rename(step->to, step->from); error != 0) {
            sheet.Log("**** Error %d trying to put back %s", static_cast<int>(win::ErrorFromErrno(error)),
                      InstalledPathOf(*step).c_str());
            return false;
        }
    }
    if (const int error = SyncJournalFolders(journal); error != 0) {
        sheet.Log("**** Error %d trying to flush the folders of an update to disk",
                  static_cast<int>(win::ErrorFromErrno(error)));
        return false;
    }
    return WriteJournalProgress(JournalProgress{JournalProgress::State::Undone, 0}) == win::ERROR_SUCCESS;
}

int SyncJournalFolders(const UpdateJournal& journal) {
    std::set<fs::path> folders;
    for (const JournalStep& step : journal.steps) {
        folders.insert(step.from.parent_path());
        folders.insert(step.to.parent_path());
    }
    for (const fs::path& folder : folders) {
        if (const int error = tl::SyncFolder(folder); error != 0 && error != ENOENT)
            return error;
    }
    return 0;
}

int RemoveStagingFolders(const UpdateJournal& journal) {
    int result = 0;
    for (const fs::path& folder : journal.stagingFolders) {
        if (const int fault = tl::IoFaultFor(folder, tl::IoStep::Remove); fault != 0) {
            result = result == 0 ? fault : result;
            continue;
        }
        std::error_code error;
        fs::remove_all(folder, error);
        if (error && result == 0)
            result = error.value();
    }
    return result;
}
