#pragma once

#include <optional>
#include <string>

class CSetupSheet;

/// The events through which the ECF monitor is asked to stop: setup signals the kill event; the
/// running monitor holds the dead event and signals it once it has stopped.
inline constexpr char kEcfKillEvent[] = "Global\\TLMECF_KILL_EVENT";
inline constexpr char kEcfDeadEvent[] = "Global\\TLMECF_DEAD_EVENT";
/// How long setup waits for the monitor to stop.
inline constexpr int kEcfShutdownWaitMs = 5000;

/// Stops the ECF monitor before its program file (name, "TLMECF.EXE") is replaced. When the
/// monitor runs, the progress text says so, the kill event is signalled and setup waits for the
/// dead event; when it does not come in time, "Unable to shut down <name> in order to update it."
/// is logged and shown (information icon). Returns whether the file may be downloaded now: true
/// when the monitor was not running or has stopped. An event that cannot be made is logged and
/// counts as a monitor that is not running.
bool ShutDownEcfMonitor(CSetupSheet& sheet, const std::string& name);

/// Replaces the wait for tests (nullopt returns to kEcfShutdownWaitMs).
void SetEcfShutdownWaitForTesting(std::optional<int> waitMs);
