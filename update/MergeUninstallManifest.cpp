#include "update/MergeUninstallManifest.h"

#include "app/CSetupSheet.h"
#include "platform/HostFile.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace {

constexpr char kRootName[] = "TallymarUninstall";
constexpr char kDeleteFile[] = "DeleteFile";
constexpr int kSharedFilesElsewhere = 2;

struct Entry {
    std::string kind;
    std::string text;
};

/// Paths compared by the file they name, without regard to case: the first installation records
/// the home directory's files by its local path, the update by the UNC path of its share.
class PathSet {
public:
    bool Contains(const std::string& path) const { return paths_.count(Key(path)) != 0; }
    bool Insert(const std::string& path) { return paths_.insert(Key(path)).second; }

private:
    static std::string Key(const std::string& path) {
        const auto host = tl::MapToHostPath(path);
        return tl::ToUpper(host ? host->lexically_normal().string() : path);
    }

    std::unordered_set<std::string> paths_;
};

bool IsDeleteFile(const Entry& entry) {
    return tl::EqualsNoCase(entry.kind, kDeleteFile);
}

// The entries of the installed file, or nullopt (logged) when there is none to merge into.
std::optional<std::vector<Entry>> ReadInstalledEntries(CSetupSheet& sheet, const std::string& path) {
    DWORD error = win::ERROR_SUCCESS;
    std::optional<std::string> text;
    if (const auto host = tl::MapToHostPath(path, &error))
        text = tl::ReadHostFile(*host, &error);
    if (!text) {
        sheet.Log("**** Error %u trying to read %s; this update's files are not recorded for the uninstaller",
                  static_cast<unsigned>(error), path.c_str());
        return std::nullopt;
    }
    XmlDocument document(false);
    if (!document.Parse(*text) || document.roots.size() != 1 ||
        !tl::EqualsNoCase(document.roots.front()->name, kRootName)) {
        sheet.Log("**** %s is not an uninstall manifest; this update's files are not recorded in it",
                  path.c_str());
        return std::nullopt;
    }
    std::vector<Entry> entries;
    for (const auto& child : document.roots.front()->children)
        entries.push_back({child->name, child->Text()});
    return entries;
}

// The files the update recorded, in order, without those that the uninstaller of this
// workstation must not touch.
std::vector<std::string> RecordedFiles(const CSetupSheet& sheet) {
    std::vector<std::string> files;
    if (sheet.uninstallManifest.roots.empty())
        return files;
    const std::string sharedFolder = sheet.homeDirectory + "\\";
    for (const auto& entry : sheet.uninstallManifest.roots.back()->children) {
        if (!tl::EqualsNoCase(entry->name, kDeleteFile))
            continue;
        if (sheet.installType == kSharedFilesElsewhere && tl::StartsWithNoCase(entry->Text(), sharedFolder))
            continue;
        files.push_back(entry->Text());
    }
    return files;
}

void ReplaceSheetManifest(CSetupSheet& sheet, const std::vector<Entry>& entries) {
    sheet.uninstallManifest.roots.clear();
    sheet.CreateUninstallRoot();
    auto& children = sheet.uninstallManifest.roots.back()->children;
    for (const Entry& entry : entries)
        children.push_back(sheet.AddUninstallEntry(entry.kind, entry.text));
}

} // namespace

bool MergeUninstallManifest(CSetupSheet& sheet, const std::vector<std::string>& deletedFiles) {
    const std::string path = sheet.installDirectory + "\\TLMUINST.xml";
    std::optional<std::vector<Entry>> entries = ReadInstalledEntries(sheet, path);
    if (!entries)
        return false;

    PathSet deleted;
    for (const std::string& file : deletedFiles)
        deleted.Insert(file);
    const std::size_t before = entries->size();
    std::erase_if(*entries,
                  [&](const Entry& entry) { return IsDeleteFile(entry) && deleted.Contains(entry.text); });
    const std::size_t removed = before - entries->size();

    PathSet present;
    for (const Entry& entry : *entries) {
        if (IsDeleteFile(entry))
            present.Insert(entry.text);
    }
    std::vector<Entry> added;
    for (const std::string& file : RecordedFiles(sheet)) {
        if (present.Insert(file))
            added.push_back({kDeleteFile, file});
    }
    if (added.empty() && removed == 0)
        return true;

    const auto lastFile = std::find_if(entries->rbegin(), entries->rend(), IsDeleteFile);
    entries->insert(lastFile.base(), added.begin(), added.end());
    ReplaceSheetManifest(sheet, *entries);
    if (!sheet.SaveUninstallManifest())
        return false;
    sheet.Log("Setup recorded %zu new and %zu removed entries in %s", added.size(), removed, path.c_str());
    return true;
}
