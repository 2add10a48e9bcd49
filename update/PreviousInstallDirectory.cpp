#include "update/PreviousInstallDirectory.h"

#include "platform/PathHelpers.h"

bool HoldsTallymarProgram(const std::string& folder) {
    if (folder.empty() || !tl::PathExists(folder, true))
        return false;
    const bool endsInSeparator = folder.back() == '\\' || folder.back() == '/';
    return tl::PathExists(folder + (endsInSeparator ? "" : "\\") + "Tallymar.exe");
}
