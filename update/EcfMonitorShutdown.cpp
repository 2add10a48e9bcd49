#include "update/EcfMonitorShutdown.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/NamedEvent.h"
#include "platform/RunState.h"
#include "platform/WinTypes.h"

#include <optional>

namespace {

// How long the monitor is given to stop; tests shorten it. Part of the run state, so each test
// starts with the real wait.
struct EcfShutdownRunState {
    std::optional<int> waitMsForTesting;
};

std::optional<int>& WaitMsForTesting() {
    return tl::RunState::Part<EcfShutdownRunState>().waitMsForTesting;
}

bool CreateEvent(CSetupSheet& sheet, tl::NamedEvent& event, const char* name) {
    if (event.Create(name, tl::EventReset::Manual))
        return true;
    sheet.Log("**** Error %d trying to create %s", static_cast<int>(win::GetLastError()), name);
    return false;
}

} // namespace

void SetEcfShutdownWaitForTesting(std::optional<int> waitMs) {
    WaitMsForTesting() = waitMs;
}

bool ShutDownEcfMonitor(CSetupSheet& sheet, const std::string& name) {
    tl::NamedEvent kill;
    tl::NamedEvent dead;
    if (!CreateEvent(sheet, kill, kEcfKillEvent) || !CreateEvent(sheet, dead, kEcfDeadEvent))
        return true;
    if (!dead.AlreadyExisted())
        return true;
    TheUserInterface().SetProgressText(
        "Shutting down the Tallymar ECF monitor program. (Tallymar will restart it later.)");
    kill.Set();
    if (dead.Wait(WaitMsForTesting().value_or(kEcfShutdownWaitMs)) == win::WAIT_OBJECT_0)
        return true;
    // A monitor that is still there keeps its program file; the update goes on without it.
    const std::string message = tl::Format("Unable to shut down %s in order to update it.", name.c_str());
    sheet.Log("%s", message.c_str());
    AppMessageBox(message, win::MB_ICONINFORMATION);
    return false;
}
