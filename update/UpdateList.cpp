#include "update/UpdateList.h"

#include "app/CSetupSheet.h"
#include "platform/PathHelpers.h"
#include "platform/RunState.h"
#include "platform/TextUtil.h"
#include "release/ManifestNames.h"
#include "release/TargetFolders.h"
#include "update/FileComparison.h"

#include <memory>
#include <optional>

namespace {

struct UpdateListRunState {
    std::vector<UpdateItem> updateList;
};

} // namespace

std::vector<UpdateItem>& theUpdateList = tl::RunState::Part<UpdateListRunState>().updateList;

namespace {

const char* NotMarker(bool newer) {
    return newer ? "" : " not";
}

win::SYSTEMTIME CalendarTime(std::optional<std::int64_t> fileTime) {
    win::SYSTEMTIME parts{};
    if (fileTime)
        win::FileTimeToSystemTime(*fileTime, parts);
    return parts;
}

// Keeps, in order, the entries for which keep() is true and deletes the others; keep() sees
// every entry once, in manifest order.
template <class Entry, class Keep>
void KeepWhere(std::vector<std::unique_ptr<Entry>>& entries, Keep keep) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!keep(*entries[i]))
            continue;
        if (kept != i)
            entries[kept] = std::move(entries[i]);
        ++kept;
    }
    entries.resize(kept);
}

template <class Entry>
UpdateItem RowFor(const Entry& entry, std::int64_t fileTime) {
    return UpdateItem{entry.Name, entry.Description, entry.Remarks, entry.Flags,
                      fileTime,   entry.Size,        entry.Sha256};
}

// The rules shared by modules and support files for a file that is missing or that is replaced
// or deleted without comparing; nullopt when the file must be compared.
template <class Entry>
std::optional<bool> DecideWithoutComparing(CSetupSheet& sheet, const Entry& entry, const std::string& path) {
    if (!tl::PathExists(path)) {
        // An obsolete file is never installed, whatever else its flags say, and one that is gone
        // leaves nothing to delete.
        if ((entry.Flags & FlagObsolete) != 0)
            return false;
        const bool install = (entry.Flags & FlagInstallIfAbsent) != 0 ||
                             ((entry.Flags & FlagStateModule) != 0 && IsStateSelected(sheet, entry.State));
        if (install)
            sheet.Log("Setup will install %s, which is not present", path.c_str());
        return install;
    }
    if ((entry.Flags & (FlagAlwaysReplace | FlagObsolete)) != 0)
        return true;
    return std::nullopt;
}

bool ModuleNeedsWork(CSetupSheet& sheet, const XModule& module) {
    if (!IsPlainFileName(module.Name)) {
        LogRefusedFileName(sheet, module.Name);
        return false;
    }
    const std::string path = TargetFolderFor(sheet, module.Flags) + module.Name;
    if (const auto decided = DecideWithoutComparing(sheet, module, path))
        return *decided;
    VersionParts installed{};
    if (ReadInstalledVersion(path, installed) != InstalledVersion::Read) {
        sheet.Log("**** GetFileVersionInfo failed for %s", path.c_str());
        return true;
    }
    const VersionParts manifest = ParseManifestVersion(module.Version);
    const bool newer = IsNewerVersion(installed, manifest);
    sheet.Log("Setup will%s replace %s %u.%u.%u.%u with %u.%u.%u.%u", NotMarker(newer), path.c_str(),
              installed[0], installed[1], installed[2], installed[3], manifest[0], manifest[1], manifest[2],
              manifest[3]);
    return newer;
}

// Logs the time comparison of a support file; prefix is "" or "shared ".
bool IsNewerSupportFile(CSetupSheet& sheet, const char* prefix, const std::string& path,
                        const ManifestTime& manifest, std::optional<std::int64_t> installedTime) {
    const bool newer = installedTime && manifest.fileTime && *manifest.fileTime > *installedTime;
    const win::SYSTEMTIME installed = CalendarTime(installedTime);
    const win::SYSTEMTIME& listed = manifest.parts;
    sheet.Log("Setup will%s replace %s%s dated %2.2d/%2.2d/%4.4d %2.2d:%2.2d:%2.2d with %2.2d/%2.2d/%4.4d "
              "%2.2d:%2.2d:%2.2d",
              NotMarker(newer), prefix, path.c_str(), installed.wMonth, installed.wDay, installed.wYear,
              installed.wHour, installed.wMinute, installed.wSecond, listed.wMonth, listed.wDay, listed.wYear,
              listed.wHour, listed.wMinute, listed.wSecond);
    return newer;
}

bool SupportFileNeedsWork(CSetupSheet& sheet, const XSupportFile& file, std::int64_t& rowTime) {
    if (!IsPlainFileName(file.Name)) {
        LogRefusedFileName(sheet, file.Name);
        return false;
    }
    const ManifestTime manifest = ManifestTimeOf(file);
    rowTime = manifest.fileTime.value_or(-1);
    const std::string path = TargetFolderFor(sheet, file.Flags) + file.Name;
    if (const auto decided = DecideWithoutComparing(sheet, file, path))
        return *decided;
    std::int64_t installedTime = 0;
    const InstalledTime read = ReadInstalledTime(path, installedTime);
    if (read == InstalledTime::CannotOpen) {
        sheet.Log("**** Can't get timestamp for %s to check versioning", path.c_str());
        return false;
    }
    return IsNewerSupportFile(sheet, "", path, manifest,
                              read == InstalledTime::Read ? std::optional(installedTime) : std::nullopt);
}

// An absent shared file needs work when it would be installed; an obsolete one never would.
bool IsWantedWhenAbsent(std::int32_t flags) {
    return (flags & FlagObsolete) == 0 && (flags & (FlagInstallIfAbsent | FlagStateModule)) != 0;
}

bool SharedModuleNeedsWork(CSetupSheet& sheet, const XModule& module) {
    const std::string path = sheet.homeDirectory + "\\" + module.Name;
    if (!tl::PathExists(path))
        return IsWantedWhenAbsent(module.Flags);
    if ((module.Flags & FlagAlwaysReplace) != 0)
        return true;
    VersionParts installed{};
    switch (ReadInstalledVersion(path, installed)) {
    case InstalledVersion::NoInfo:
        sheet.Log("**** GetFileVersionInfo failed for %s", path.c_str());
        return false;
    case InstalledVersion::NoRootValue:
        sheet.Log("**** VerQueryValue failed for file %s", path.c_str());
        return false;
    case InstalledVersion::Read:
        break;
    }
    const VersionParts manifest = ParseManifestVersion(module.Version);
    const bool newer = IsNewerVersion(installed, manifest);
    sheet.Log("Setup will%s replace shared %s %u.%u.%u.%u with %u.%u.%u.%u", NotMarker(newer), path.c_str(),
              installed[0], installed[1], installed[2], installed[3], manifest[0], manifest[1], manifest[2],
              manifest[3]);
    return newer;
}

bool SharedSupportFileNeedsWork(CSetupSheet& sheet, const XSupportFile& file) {
    const std::string path = sheet.homeDirectory + "\\" + file.Name;
    if (!tl::PathExists(path))
        return IsWantedWhenAbsent(file.Flags);
    if ((file.Flags & FlagAlwaysReplace) != 0)
        return true;
    std::int64_t installedTime = 0;
    const InstalledTime read = ReadInstalledTime(path, installedTime);
    if (read == InstalledTime::CannotOpen) {
        sheet.Log("**** Can't get timestamp for %s to check versioning", path.c_str());
        return false;
    }
    return IsNewerSupportFile(sheet, "shared ", path, ManifestTimeOf(file),
                              read == InstalledTime::Read ? std::optional(installedTime) : std::nullopt);
}

// Whether one shared entry needs work; entries outside the home directory and unsafe names
// never do.
template <class Entry, class NeedsWork>
bool AnySharedNeedsWork(CSetupSheet& sheet, const std::vector<std::unique_ptr<Entry>>& entries,
                        NeedsWork needsWork) {
    for (const auto& entry : entries) {
        if (FolderKindFromFlags(entry->Flags) != FolderHome)
            continue;
        if (!IsPlainFileName(entry->Name)) {
            LogRefusedFileName(sheet, entry->Name);
            continue;
        }
        if (needsWork(sheet, *entry))
            return true;
    }
    return false;
}

} // namespace

void BuildUpdateList(CSetupSheet& sheet) {
    theUpdateList.clear();
    if (sheet.manifestObjects.empty())
        return;
    XCurrentVersion& manifest = *sheet.manifestObjects.front();
    KeepWhere(manifest.Modules, [&](const XModule& module) {
        if (!ModuleNeedsWork(sheet, module))
            return false;
        theUpdateList.push_back(RowFor(module, -1));
        return true;
    });
    KeepWhere(manifest.SupportFiles, [&](const XSupportFile& file) {
        std::int64_t rowTime = -1;
        if (!SupportFileNeedsWork(sheet, file, rowTime))
            return false;
        theUpdateList.push_back(RowFor(file, rowTime));
        return true;
    });
}

void CheckSharedFileUpdates(CSetupSheet& sheet) {
    if (sheet.manifestObjects.empty())
        return;
    const XCurrentVersion& manifest = *sheet.manifestObjects.front();
    if (AnySharedNeedsWork(sheet, manifest.Modules, SharedModuleNeedsWork) ||
        AnySharedNeedsWork(sheet, manifest.SupportFiles, SharedSupportFileNeedsWork))
        sheet.sharedUpdatesNeeded = 1;
}
