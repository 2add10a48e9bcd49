// TLMECF.EXE, a stand-in for the product's ECF monitor: it holds the dead event while it runs, so
// the setup program knows it is running; when the kill event is signalled it signals the dead
// event and ends. With --ignore-kill it never answers the kill event (as a monitor that hangs) and
// runs until SIGTERM, SIGINT or SIGHUP, which end either kind. It prints one line once it holds
// both events and another when it stops on the kill event.
#include "platform/LastError.h"
#include "platform/NamedEvent.h"
#include "tools/StandInSignals.h"
#include "update/EcfMonitorShutdown.h"

#include <cstdio>
#include <cstring>

namespace {

// How often the monitor looks for a stop signal between waits on the kill event.
constexpr int kSignalCheckMs = 50;

bool CreateEvent(tl::NamedEvent& event, const char* name) {
    if (event.Create(name, tl::EventReset::Manual))
        return true;
    std::fprintf(stderr, "TLMECF.EXE: cannot create %s (error %u)\n", name,
                 static_cast<unsigned>(win::GetLastError()));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const bool ignoreKill = argc == 2 && std::strcmp(argv[1], "--ignore-kill") == 0;
    if (argc > 2 || (argc == 2 && !ignoreKill)) {
        std::fprintf(stderr, "usage: TLMECF.EXE [--ignore-kill]\n");
        return 2;
    }
    const sigset_t stopSignals = standin::BlockStopSignals();
    tl::NamedEvent kill;
    tl::NamedEvent dead;
    if (!CreateEvent(kill, kEcfKillEvent) || !CreateEvent(dead, kEcfDeadEvent))
        return 1;
    std::printf("TLMECF.EXE: running%s\n", ignoreKill ? ", ignoring the kill event" : "");
    std::fflush(stdout);
    if (ignoreKill) {
        standin::WaitForStopSignal(stopSignals, -1);
        return 0;
    }
    for (;;) {
        const DWORD wait = kill.Wait(kSignalCheckMs);
        if (wait == win::WAIT_OBJECT_0)
            break;
        if (wait == win::WAIT_FAILED) {
            std::fprintf(stderr, "TLMECF.EXE: waiting for %s failed (error %u)\n", kEcfKillEvent,
                         static_cast<unsigned>(win::GetLastError()));
            return 1;
        }
        if (standin::WaitForStopSignal(stopSignals, 0))
            return 0;
    }
    dead.Set();
    std::printf("TLMECF.EXE: stopped\n");
    std::fflush(stdout);
    return 0;
}
