// Tallymar.exe, a stand-in for the product: while it runs it holds the duplicate-check event, by
// which the setup program knows that the product is running. It runs until SIGTERM, SIGINT or
// SIGHUP (Ctrl-C in a terminal) and prints one line once it holds the event.
#include "platform/LastError.h"
#include "platform/NamedEvent.h"
#include "tools/StandInSignals.h"
#include "update/DuplicateRunCheck.h"

#include <cstdio>

int main() {
    const sigset_t stopSignals = standin::BlockStopSignals();
    tl::NamedEvent running;
    if (!running.Create(kDuplicateCheckEvent)) {
        std::fprintf(stderr, "Tallymar.exe: cannot create %s (error %u)\n", kDuplicateCheckEvent,
                     static_cast<unsigned>(win::GetLastError()));
        return 1;
    }
    std::printf("Tallymar.exe: running\n");
    std::fflush(stdout);
    standin::WaitForStopSignal(stopSignals, -1);
    return 0;
}
