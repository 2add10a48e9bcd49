#pragma once

#include <csignal>

// The stand-ins for the product's own programs run until they are told to stop: the terminating
// signals are blocked at start and taken synchronously, so each program ends cleanly and its
// events are released by its exit.

namespace standin {

/// SIGTERM, SIGINT and SIGHUP, blocked for the calling thread.
sigset_t BlockStopSignals();

/// Waits at most timeoutMs (negative: for ever) for one of the blocked signals; true when one came.
bool WaitForStopSignal(const sigset_t& signals, int timeoutMs);

} // namespace standin
