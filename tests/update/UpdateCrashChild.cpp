// A test program: one update of the files of the installation in the machine prefix of its
// environment, as RunUpdate carries it out (an interrupted update recovered first, then the
// manifest, the work list, the stage and the commit), from the file server at SERVER_URL.
//
// Every creation or renaming of a file and every removal of a staging folder asks the write-fault
// seam first; those are counted as events. With KILL_AT > 0 the program kills itself with SIGKILL
// just before event KILL_AT, as a power cut would stop it. At its end it prints "events <before
// the stage> <after the stage> <first removal of a staging folder> <after the commit>" for the
// harness to choose its points from, and exits 0 when the files were committed, 1 otherwise.
#include "app/AppGlobals.h"
#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "platform/IoFaults.h"
#include "release/FetchManifest.h"
#include "release/TrustedReleaseKeys.h"
#include "update/RecoverInterruptedUpdate.h"
#include "update/StagedUpdate.h"
#include "update/UpdateList.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<long> events{0};
std::atomic<long> firstRemoval{0};
long killAt = 0;

int CountEvent(const std::filesystem::path&, tl::IoStep step) {
    if (step == tl::IoStep::Write || step == tl::IoStep::Sync)
        return 0; // their number follows the sizes of the pieces a transfer delivers
    const long event = ++events;
    if (step == tl::IoStep::Remove && firstRemoval == 0)
        firstRemoval = event;
    if (event == killAt)
        std::raise(SIGKILL);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s SERVER_URL [KILL_AT]\n", argv[0]);
        return 2;
    }
    killAt = argc == 3 ? std::atol(argv[2]) : 0;
    tl::SetIoFaultHook(CountEvent);
    SetBuiltInReleaseKeysForTesting(std::vector<std::string>{});
    theFileServerUrl = argv[1];
    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kUpdateCaptionId};
    sheet.installDirectory = "C:\\Program Files\\Fenmore Software\\Tallymar";
    sheet.homeDirectory = "C:\\TallymarData";
    sheet.OpenLog();

    RecoverInterruptedUpdate(sheet);
    if (!FetchManifest(sheet))
        return 1;
    BuildUpdateList(sheet);
    StagedUpdate files(sheet);
    for (const UpdateItem& item : theUpdateList)
        files.Add(item, FolderKindFromFlags(item.Flags));
    const long beforeStage = events;
    const bool staged = files.Stage();
    const long afterStage = events;
    const bool committed = staged && files.Commit();
    std::printf("events %ld %ld %ld %ld\n", beforeStage, afterStage, firstRemoval.load(), events.load());
    return committed ? 0 : 1;
}
