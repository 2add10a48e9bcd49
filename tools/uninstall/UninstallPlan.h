#pragma once

#include "platform/Registry.h"
#include "tools/uninstall/HomeDirectory.h"
#include "tools/uninstall/MachineFolders.h"
#include "tools/uninstall/UninstallManifest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tl::uninstall {

/// One thing the uninstaller does (or, for Keep and Refuse, deliberately does not do).
struct UninstallAction {
    enum class Kind {
        DeleteFile,          ///< a file (or link); nothing to do when it is gone
        RemoveFolder,        ///< a folder, when it is empty
        Keep,                ///< the firm's data, left in place
        Refuse,              ///< a manifest entry that is never carried out
        DeleteHomeDirectory, ///< the whole home directory, with the case files
        DeleteKey,           ///< a registry key and its subtree
        RemoveShare,         ///< the home directory's share (the folder stays)
        RemoveNetworkUser,   ///< the network user made for the share
        RemoveManifest,      ///< TLMUINST.xml
        RemoveProgram,       ///< the uninstaller itself, then its folder and the empty folders above
    };
    Kind kind = Kind::DeleteFile;
    std::string target; ///< as the log names it: a Windows path, a root key and key, a share name
    std::filesystem::path host;
    win::HKEY_ROOT root = win::HKEY_CURRENT_USER;
    std::string key;
    std::string reason;        ///< why, for Keep and Refuse
    bool onlyIfAll = false;    ///< done only when every step before it succeeded
    bool pruneParents = false; ///< DeleteKey: also remove the empty keys above it (the maker's key)
};

/// What the plan is made from.
struct UninstallInputs {
    std::vector<ManifestEntry> entries;
    HomeDirectory home;
    std::filesystem::path manifestFile; ///< host path of TLMUINST.xml
    std::filesystem::path programFile;  ///< host path of the running TLMUINST.EXE
    bool removeData = false;
};

/// The uninstall's steps in the order they run: the DeleteFile entries in reverse order of
/// recording (folders after the files, deepest first, since a folder is recorded after the links
/// inside it), the firm's data kept or (with removeData) deleted with the whole home directory,
/// the DeleteKey entries under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, with removeData the
/// share and the network user, then the scanner key, and last, when all went well, the
/// registration, the manifest and the program. Files go before keys so that an interrupted run
/// still finds the home directory in the settings when it is run again. Refused entries appear as
/// Refuse steps.
std::vector<UninstallAction> PlanUninstall(const UninstallInputs& inputs, const MachineFolders& folders);

/// One line saying what a step will do, for --dry-run ("Delete C:\...", "Keep ... (...)").
std::string DescribeAction(const UninstallAction& action);

/// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* RootName(win::HKEY_ROOT root);

} // namespace tl::uninstall
