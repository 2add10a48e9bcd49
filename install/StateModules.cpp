#include "install/StateModules.h"

#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"

#include <algorithm>

namespace {

bool IsModuleOfState(const std::string& entryState, std::int32_t flags, std::string_view state) {
    return (flags & FlagStateModule) != 0 && tl::EqualsNoCase(entryState, state);
}

// Whether a state's file exists where the manifest places it; counts the files seen.
bool FileInPlace(const std::string& name, std::int32_t flags, const std::string& installDirectory,
                 const std::string& homeDirectory, int& seen) {
    ++seen;
    const std::string& folder = FolderKindFromFlags(flags) == FolderHome ? homeDirectory : installDirectory;
    return tl::PathExists(folder + "\\" + name);
}

} // namespace

std::vector<std::string>
StateModuleCodes(const std::vector<std::unique_ptr<XCurrentVersion>>& manifestObjects) {
    std::vector<std::string> codes;
    if (manifestObjects.empty() || !manifestObjects.front())
        return codes;
    const XCurrentVersion& manifest = *manifestObjects.front();
    if (manifest.Modules.empty() || manifest.SupportFiles.empty())
        return codes;
    for (const auto& module : manifest.Modules) {
        if ((module->Flags & FlagStateModule) != 0 && !module->State.empty())
            codes.push_back(module->State);
    }
    for (const auto& file : manifest.SupportFiles) {
        if ((file->Flags & FlagStateModule) != 0 && !file->State.empty())
            codes.push_back(file->State);
    }
    std::stable_sort(codes.begin(), codes.end(),
                     [](const std::string& a, const std::string& b) { return tl::CompareNoCase(a, b) < 0; });
    codes.erase(
        std::unique(codes.begin(), codes.end(),
                    [](const std::string& a, const std::string& b) { return tl::EqualsNoCase(a, b); }),
        codes.end());
    return codes;
}

bool IsStateModuleInstalled(const XCurrentVersion& manifest, std::string_view state,
                            const std::string& installDirectory, const std::string& homeDirectory) {
    int seen = 0;
    for (const auto& module : manifest.Modules) {
        if (IsModuleOfState(module->State, module->Flags, state) &&
            !FileInPlace(module->Name, module->Flags, installDirectory, homeDirectory, seen))
            return false;
    }
    for (const auto& file : manifest.SupportFiles) {
        if (IsModuleOfState(file->State, file->Flags, state) &&
            !FileInPlace(file->Name, file->Flags, installDirectory, homeDirectory, seen))
            return false;
    }
    return seen > 0;
}
