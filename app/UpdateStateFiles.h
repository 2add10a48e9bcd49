#pragma once

#include "platform/Machine.h"

#include <filesystem>

/// The folder of the machine prefix where an update keeps its journal, its progress and the lock
/// it holds while it works on the installed files (update/UpdateJournal.h); the uninstaller removes
/// the lock with the product.
inline std::filesystem::path UpdateJournalFolder() {
    return tl::Machine::Current().Prefix() / "update";
}

/// The lock file in that folder.
inline std::filesystem::path UpdateLockFile() {
    return UpdateJournalFolder() / "lock";
}
