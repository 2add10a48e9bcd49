#include "tools/StandInSignals.h"

#include <cerrno>
#include <ctime>

namespace standin {

sigset_t BlockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

bool WaitForStopSignal(const sigset_t& signals, int timeoutMs) {
    for (;;) {
        const timespec timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000000L};
        const int result =
            timeoutMs < 0 ? sigwaitinfo(&signals, nullptr) : sigtimedwait(&signals, nullptr, &timeout);
        if (result > 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace standin
