#include "tools/uninstall/Uninstaller.h"

#include "app/UpdateStateFiles.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/NetApi.h"
#include "platform/Registry.h"
#include "platform/WindowsPath.h"
#include "tools/uninstall/UninstallNames.h"

#include <cerrno>
#include <unistd.h>

namespace tl::uninstall {

namespace fs = std::filesystem;

using Kind = UninstallAction::Kind;

struct Uninstaller::Outcome {
    bool failed = false;
    bool refused = false;
};

namespace {

DWORD LastErrno() {
    return win::ErrorFromErrno(errno);
}

bool KeyIsEmpty(win::HKEY_ROOT root, const std::string& key) {
    win::RegKey handle;
    if (win::RegOpenKeyEx(root, key, false, handle) != 0)
        return false;
    return win::RegEnumKeys(root, key).empty() && win::RegEnumValueNames(handle).empty();
}

// The empty keys above a deleted key, up to the maker's key below "Software".
void PruneEmptyParents(win::HKEY_ROOT root, std::string key) {
    for (std::size_t cut = key.rfind('\\'); cut != std::string::npos; cut = key.rfind('\\')) {
        key.resize(cut);
        if (key.find('\\') == std::string::npos || !KeyIsEmpty(root, key))
            return;
        (void)win::RegDeleteTree(root, key);
    }
}

} // namespace

Uninstaller::Uninstaller(fs::path programFile) {
    inputs_.programFile = std::move(programFile);
    inputs_.manifestFile = ResolveNoCase(inputs_.programFile.parent_path(), {kManifestName});
}

std::string Uninstaller::ManifestPath() const {
    return MachineFolders(Machine::Current()).WindowsPathOf(CanonicalHostPath(inputs_.manifestFile));
}

bool Uninstaller::Prepare(bool log) {
    UninstallManifest manifest = ReadUninstallManifest(inputs_.manifestFile);
    if (!manifest.ok) {
        error_ = manifest.error;
        if (log) {
            log_.Open();
            Log("**** Beginning uninstall");
            Log(Format("**** The uninstall manifest %s cannot be used: %s", inputs_.manifestFile.c_str(),
                       error_.c_str()));
            Log("**** Nothing was removed");
            log_.Close();
        }
        return false;
    }
    inputs_.entries = std::move(manifest.entries);
    inputs_.home = FindHomeDirectory(inputs_.entries);
    return true;
}

std::vector<UninstallAction> Uninstaller::Plan(bool removeData) const {
    UninstallInputs inputs = inputs_;
    inputs.removeData = removeData;
    MachineFolders folders(Machine::Current());
    if (inputs.home.IsHere())
        folders.Guard(inputs.home.host, inputs.home.localPath);
    return PlanUninstall(inputs, folders);
}

void Uninstaller::Log(const std::string& message) {
    log_.Write(message);
}

UninstallResult Uninstaller::Run(bool removeData, UninstallProgress* progress) {
    log_.Open();
    Log("**** Beginning uninstall");
    Log(Format("Uninstall manifest is %s", ManifestPath().c_str()));
    if (inputs_.home.IsHere())
        Log(Format("Home directory is %s", inputs_.home.localPath.c_str()));
    else if (!inputs_.home.named.empty())
        Log(Format("Home directory %s is not on this computer", inputs_.home.named.c_str()));
    else
        Log("No home directory is known");
    if (removeData)
        Log("User chose to delete the firm's databases and case files");

    const std::vector<UninstallAction> plan = Plan(removeData);
    UninstallResult result;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        if (progress != nullptr)
            progress->Step(DescribeAction(plan[i]), static_cast<int>(i), static_cast<int>(plan.size()));
        const Outcome outcome = Carry(plan[i], result.failed == 0);
        result.failed += outcome.failed ? 1 : 0;
        result.refused += outcome.refused ? 1 : 0;
    }
    const bool complete = result.failed == 0 && result.refused == 0;
    if (complete) {
        RemoveUpdateLock();
        Log("Uninstall finished - success");
    } else
        Log(Format("**** Uninstall finished: %d steps failed, %d entries refused", result.failed,
                   result.refused));
    log_.Close();
    result.exitCode = complete ? kExitDone : kExitStepFailed;
    result.summary = Summary(result, removeData);
    return result;
}

// The update keeps its journal, its progress and the lock it takes while it works on the files in
// the machine's "update" folder. With the product gone the lock is left over and goes, with the
// folder when nothing else is in it; a journal of an interrupted update stays, for it names files
// that the setup program must see to.
void Uninstaller::RemoveUpdateLock() {
    std::error_code error;
    std::filesystem::remove(UpdateLockFile(), error);
    if (error) {
        Log(Format("**** Error %d trying to delete %s", error.value(), UpdateLockFile().c_str()));
        return;
    }
    if (std::filesystem::is_empty(UpdateJournalFolder(), error) && !error)
        std::filesystem::remove(UpdateJournalFolder(), error);
}

Uninstaller::Outcome Uninstaller::Carry(const UninstallAction& action, bool allSucceeded) {
    const char* target = action.target.c_str();
    if (action.onlyIfAll && !allSucceeded) {
        Log(Format("Uninstall kept %s so that it can be run again", target));
        return {};
    }
    switch (action.kind) {
    case Kind::Refuse:
        Log(Format("**** Uninstall refused %s: %s", target, action.reason.c_str()));
        return Outcome{false, true};
    case Kind::Keep:
        Log(Format("Uninstall kept %s: %s", target, action.reason.c_str()));
        return {};
    case Kind::DeleteFile:
    case Kind::RemoveManifest:
        return DeleteFile(action);
    case Kind::RemoveFolder:
        return RemoveFolder(action);
    case Kind::DeleteHomeDirectory: {
        std::error_code error;
        fs::remove_all(action.host, error);
        if (error)
            return Failed(win::ErrorFromErrno(error.value()), "delete the home directory", action);
        Log(Format("Uninstall deleted the home directory %s", target));
        return {};
    }
    case Kind::DeleteKey:
        return DeleteKey(action);
    case Kind::RemoveShare:
        if (const DWORD status = DeleteLocalShare(action.target);
            status != win::NERR_Success && status != win::NERR_NetNameNotFound)
            return Failed(status, "stop sharing", action);
        Log(Format("Uninstall stopped sharing %s", target));
        return {};
    case Kind::RemoveNetworkUser:
        return RemoveNetworkUsers();
    case Kind::RemoveProgram:
        return RemoveProgram(action);
    }
    return {};
}

Uninstaller::Outcome Uninstaller::Failed(DWORD code, const char* what, const UninstallAction& action) {
    Log(Format("**** Error %u trying to %s %s", code, what, action.target.c_str()));
    return Outcome{true, false};
}

// A file or link; a missing one is what a second run finds, not an error.
Uninstaller::Outcome Uninstaller::DeleteFile(const UninstallAction& action) {
    if (!action.host.empty() && ::unlink(action.host.c_str()) == 0) {
        Log(Format("Uninstall deleted %s", action.target.c_str()));
        return {};
    }
    if (!action.host.empty() && errno == EISDIR)
        return RemoveFolder(action);
    if (!action.host.empty() && errno != ENOENT)
        return Failed(LastErrno(), "delete", action);
    Log(Format("Uninstall found %s already gone", action.target.c_str()));
    return {};
}

// Only an empty folder: what someone else put in it stays, with the folder.
Uninstaller::Outcome Uninstaller::RemoveFolder(const UninstallAction& action) {
    const char* target = action.target.c_str();
    if (::rmdir(action.host.c_str()) == 0)
        Log(Format("Uninstall removed the folder %s", target));
    else if (errno == ENOTEMPTY || errno == EEXIST)
        Log(Format("Uninstall left the folder %s: it is not empty", target));
    else if (errno == ENOENT)
        Log(Format("Uninstall found %s already gone", target));
    else
        return Failed(LastErrno(), "remove the folder", action);
    return {};
}

Uninstaller::Outcome Uninstaller::DeleteKey(const UninstallAction& action) {
    const LONG status = win::RegDeleteTree(action.root, action.key);
    if (status != 0 && status != static_cast<LONG>(win::ERROR_FILE_NOT_FOUND))
        return Failed(static_cast<DWORD>(status), "delete the registry key", action);
    if (action.pruneParents)
        PruneEmptyParents(action.root, action.key);
    if (status == 0)
        Log(Format("Uninstall deleted the registry key %s", action.target.c_str()));
    return {};
}

// The program, then its folder and the folders above it that the installation made and that are
// empty now, up to the first folder of the machine's own (Program Files).
Uninstaller::Outcome Uninstaller::RemoveProgram(const UninstallAction& action) {
    if (::unlink(action.host.c_str()) != 0 && errno != ENOENT)
        return Failed(LastErrno(), "delete", action);
    Log(Format("Uninstall deleted %s", action.target.c_str()));
    const MachineFolders folders(Machine::Current());
    for (fs::path folder = CanonicalHostPath(action.host).parent_path();
         folders.IsOnThisComputer(folder) && folders.RefusalFor(folder).empty();
         folder = folder.parent_path()) {
        if (::rmdir(folder.c_str()) != 0)
            break;
        Log(Format("Uninstall removed the folder %s", folders.WindowsPathOf(folder).c_str()));
    }
    return {};
}

// The local users that the installation made for the share, known by their comment.
Uninstaller::Outcome Uninstaller::RemoveNetworkUsers() {
    std::vector<win::USER_INFO_1> users;
    if (const DWORD status = win::NetUserEnum("", 1, users); status != win::NERR_Success) {
        Log(Format("**** Error %u trying to list the network users", status));
        return Outcome{true, false};
    }
    Outcome outcome;
    for (const win::USER_INFO_1& user : users) {
        if (user.usri1_comment != kNetworkUserComment)
            continue;
        const char* name = user.usri1_name.c_str();
        if (const DWORD status = win::NetUserDel("", user.usri1_name);
            status != win::NERR_Success && status != win::NERR_UserNotFound) {
            Log(Format("**** Error %u trying to remove the network user %s", status, name));
            outcome.failed = true;
        } else {
            Log(Format("Uninstall removed the network user %s", name));
        }
    }
    return outcome;
}

std::vector<std::string> Uninstaller::Summary(const UninstallResult& result, bool removeData) const {
    std::vector<std::string> lines;
    const HomeDirectory& home = inputs_.home;
    if (result.failed == 0)
        lines.push_back(std::string(kDisplayName) + " has been removed from this computer.");
    else
        lines.push_back(
            Format("%s could not be removed completely: %d steps failed. The install log says which; "
                   "run the uninstaller again to finish.",
                   kDisplayName, result.failed));
    if (result.refused > 0)
        lines.push_back(
            Format("%d entries of the uninstall manifest were refused and left alone (see the install "
                   "log).",
                   result.refused));
    if (!home.IsHere()) {
        if (!home.named.empty())
            lines.push_back("The firm's data are kept on another computer (" + home.named +
                            ") and were not touched.");
    } else if (removeData) {
        lines.push_back("The firm's databases and case files in " + home.localPath + " were deleted.");
    } else {
        lines.push_back("The firm's databases and case files were kept in " + home.localPath + ".");
        if (!home.shareName.empty())
            lines.push_back("The network share " + home.shareName +
                            " and its network user were kept for them.");
    }
    return lines;
}

} // namespace tl::uninstall
