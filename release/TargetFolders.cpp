#include "release/TargetFolders.h"

#include "app/CSetupSheet.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"

bool IsStateSelected(const CSetupSheet& sheet, std::string_view state) {
    for (const std::string& selected : sheet.states) {
        if (tl::EqualsNoCase(selected, state))
            return true;
    }
    return false;
}

std::string TargetFolderFor(const CSetupSheet& sheet, std::int32_t flags) {
    switch (FolderKindFromFlags(flags)) {
    case FolderHome:
        return sheet.homeDirectory + "\\";
    case FolderLocalAppData:
        return tl::GetLocalAppDataDir();
    default:
        return sheet.installDirectory + "\\";
    }
}
