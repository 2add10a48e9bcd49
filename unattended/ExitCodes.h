#pragma once

/// tlinstall's exit status. The wizard ends with kExitDone or kExitStepFailed; the unattended
/// mode and the command line use all of them.
enum ExitCode : int {
    kExitDone = 0,           ///< installed or updated
    kExitStepFailed = 1,     ///< a step failed; the install log says which
    kExitBadAnswers = 2,     ///< a wrong command line or answer file; the message names key and line
    kExitCancelled = 3,      ///< an answer ended the run (a box answered No or Cancel where that ends it)
    kExitProductRunning = 4, ///< the product runs on this computer, so it cannot be updated
};
