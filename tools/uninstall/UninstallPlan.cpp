#include "tools/uninstall/UninstallPlan.h"

#include "platform/Machine.h"
#include "tools/uninstall/EntryCheck.h"
#include "tools/uninstall/UninstallNames.h"

#include <algorithm>

namespace tl::uninstall {

namespace fs = std::filesystem;

namespace {

using Kind = UninstallAction::Kind;

UninstallAction Action(Kind kind, std::string target, fs::path host = {}) {
    UninstallAction action;
    action.kind = kind;
    action.target = std::move(target);
    action.host = std::move(host);
    return action;
}

UninstallAction Refusal(const ManifestEntry& entry, std::string reason) {
    UninstallAction action =
        Action(Kind::Refuse, "<" + entry.element + ">" + entry.text + "</" + entry.element + ">");
    action.reason = std::move(reason);
    return action;
}

UninstallAction KeyAction(win::HKEY_ROOT root, const std::string& key) {
    UninstallAction action = Action(Kind::DeleteKey, std::string(RootName(root)) + "\\" + key);
    action.root = root;
    action.key = key;
    return action;
}

bool IsFolder(const fs::path& host) {
    std::error_code error;
    return fs::is_directory(fs::symlink_status(host, error));
}

// The steps of the DeleteFile and DeleteKey entries, sorted into their three groups.
struct EntrySteps {
    std::vector<UninstallAction> files;
    std::vector<UninstallAction> folders;
    std::vector<UninstallAction> keys;
};

void PlanFileEntry(const ManifestEntry& entry, const UninstallInputs& inputs, const MachineFolders& folders,
                   EntrySteps& steps) {
    const CheckedPath checked = CheckDeletePath(entry.text, folders, inputs.home);
    switch (checked.verdict) {
    case CheckedPath::Verdict::Refused:
        steps.files.push_back(Refusal(entry, checked.reason));
        return;
    case CheckedPath::Verdict::Unreachable:
        steps.files.push_back(Action(Kind::DeleteFile, entry.text));
        return;
    case CheckedPath::Verdict::FirmData:
        if (!inputs.removeData) {
            UninstallAction keep = Action(Kind::Keep, entry.text, checked.host);
            keep.reason = "the firm's data";
            steps.files.push_back(std::move(keep));
            return;
        }
        break;
    case CheckedPath::Verdict::Delete:
        break;
    }
    // The manifest and the program go last, once everything else is done.
    if (checked.host == CanonicalHostPath(inputs.manifestFile) ||
        checked.host == CanonicalHostPath(inputs.programFile))
        return;
    if (IsFolder(checked.host))
        steps.folders.push_back(Action(Kind::RemoveFolder, entry.text, checked.host));
    else
        steps.files.push_back(Action(Kind::DeleteFile, entry.text, checked.host));
}

void PlanKeyEntry(const ManifestEntry& entry, EntrySteps& steps) {
    if (std::string reason = CheckDeleteKey(entry.text); !reason.empty()) {
        steps.files.push_back(Refusal(entry, std::move(reason)));
        return;
    }
    for (const win::HKEY_ROOT root : {win::HKEY_CURRENT_USER, win::HKEY_LOCAL_MACHINE}) {
        UninstallAction action = KeyAction(root, entry.text);
        action.pruneParents = true;
        steps.keys.push_back(std::move(action));
    }
}

EntrySteps PlanEntries(const UninstallInputs& inputs, const MachineFolders& folders) {
    EntrySteps steps;
    for (auto entry = inputs.entries.rbegin(); entry != inputs.entries.rend(); ++entry) {
        switch (entry->kind) {
        case ManifestEntry::Kind::DeleteFile:
            PlanFileEntry(*entry, inputs, folders, steps);
            break;
        case ManifestEntry::Kind::DeleteKey:
            PlanKeyEntry(*entry, steps);
            break;
        case ManifestEntry::Kind::Unknown:
            steps.files.push_back(Refusal(*entry, "the uninstaller does not know this kind of entry"));
            break;
        }
    }
    // A folder is recorded after what it holds; remove the deepest first.
    std::stable_sort(steps.folders.begin(), steps.folders.end(), [](const auto& a, const auto& b) {
        return std::distance(a.host.begin(), a.host.end()) > std::distance(b.host.begin(), b.host.end());
    });
    return steps;
}

// The home directory as a whole, with the case files that no manifest lists.
void PlanHomeDirectory(const UninstallInputs& inputs, std::vector<UninstallAction>& plan) {
    if (!inputs.removeData || !inputs.home.IsHere())
        return;
    const MachineFolders system(Machine::Current(), false);
    if (std::string reason = system.RefusalFor(inputs.home.host); !reason.empty()) {
        UninstallAction refuse = Action(Kind::Refuse, "home directory " + inputs.home.localPath);
        refuse.reason = std::move(reason);
        plan.push_back(std::move(refuse));
        return;
    }
    plan.push_back(Action(Kind::DeleteHomeDirectory, inputs.home.localPath, inputs.home.host));
}

void PlanNetworkAccess(const UninstallInputs& inputs, std::vector<UninstallAction>& plan) {
    if (!inputs.removeData)
        return;
    if (!inputs.home.shareName.empty())
        plan.push_back(Action(Kind::RemoveShare, inputs.home.shareName));
    plan.push_back(Action(Kind::RemoveNetworkUser, "the network user"));
}

void PlanLastSteps(const UninstallInputs& inputs, std::vector<UninstallAction>& plan) {
    plan.push_back(KeyAction(win::HKEY_LOCAL_MACHINE, kScannerKey));
    // Kept while anything failed, so the uninstaller can still be found and run again.
    UninstallAction registration = KeyAction(win::HKEY_LOCAL_MACHINE, kRegistrationKey);
    registration.onlyIfAll = true;
    plan.push_back(std::move(registration));
    // The manifest and the program, only where an installation put them: a copy run from
    // somewhere else on the host (a build folder) leaves itself alone.
    const MachineFolders folders(Machine::Current());
    for (const auto& [kind, host] : {std::pair{Kind::RemoveManifest, inputs.manifestFile},
                                     std::pair{Kind::RemoveProgram, inputs.programFile}}) {
        const std::string windowsPath = folders.WindowsPathOf(CanonicalHostPath(host));
        UninstallAction last = Action(windowsPath.empty() ? Kind::Keep : kind, windowsPath, host);
        last.reason = "it is not on a drive of this computer";
        last.onlyIfAll = true;
        plan.push_back(std::move(last));
    }
}

} // namespace

const char* RootName(win::HKEY_ROOT root) {
    return root == win::HKEY_CURRENT_USER ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::vector<UninstallAction> PlanUninstall(const UninstallInputs& inputs, const MachineFolders& folders) {
    EntrySteps steps = PlanEntries(inputs, folders);
    std::vector<UninstallAction> plan = std::move(steps.files);
    std::move(steps.folders.begin(), steps.folders.end(), std::back_inserter(plan));
    PlanHomeDirectory(inputs, plan);
    std::move(steps.keys.begin(), steps.keys.end(), std::back_inserter(plan));
    PlanNetworkAccess(inputs, plan);
    PlanLastSteps(inputs, plan);
    return plan;
}

std::string DescribeAction(const UninstallAction& action) {
    const std::string& target = action.target.empty() ? action.host.string() : action.target;
    switch (action.kind) {
    case Kind::DeleteFile:
        return "Delete " + target;
    case Kind::RemoveFolder:
        return "Remove the folder " + target + " when it is empty";
    case Kind::Keep:
        return "Keep " + target + " (" + action.reason + ")";
    case Kind::Refuse:
        return "Refuse " + target + ": " + action.reason;
    case Kind::DeleteHomeDirectory:
        return "Delete the home directory " + target + " with everything in it";
    case Kind::DeleteKey:
        return "Delete the registry key " + target;
    case Kind::RemoveShare:
        return "Stop sharing the home directory as " + target;
    case Kind::RemoveNetworkUser:
        return "Remove " + target;
    case Kind::RemoveManifest:
        return "Delete the uninstall manifest " + target;
    case Kind::RemoveProgram:
        return "Delete the uninstaller " + target + " and its folder when it is empty";
    }
    return target;
}

} // namespace tl::uninstall
