#pragma once

#include "tools/uninstall/HomeDirectory.h"
#include "tools/uninstall/MachineFolders.h"

#include <filesystem>
#include <string>

namespace tl::uninstall {

/// What a DeleteFile entry may do on this computer.
struct CheckedPath {
    enum class Verdict {
        Delete,      ///< a product file or folder
        FirmData,    ///< inside the home directory or another share: kept unless data is removed
        Unreachable, ///< a UNC path of this computer whose share is gone: nothing left to delete
        Refused,     ///< never touched; reason says why
    };
    Verdict verdict = Verdict::Refused;
    std::string reason;
    std::filesystem::path host; ///< canonical host path, for Delete and FirmData
};

/// Decides about one DeleteFile path. Refused: an empty text, a path with a "." or ".."
/// component, one that is not absolute ("X:\..." or "\\server\share\..."), one of another
/// computer, one on no drive of this computer or that leads off the drives through a symbolic
/// link, and one that MachineFolders refuses (drive roots, the Windows and Program Files folders,
/// shell folders, share roots and the folders above them).
CheckedPath CheckDeletePath(const std::string& text, const MachineFolders& folders,
                            const HomeDirectory& home);

/// Why a DeleteKey path must not be deleted, or "" when it may: only the product's own key
/// ("Software\Fenmore Software\Tallymar") and keys below it may go, written without a root key,
/// without empty components and without "." or "..".
std::string CheckDeleteKey(const std::string& key);

} // namespace tl::uninstall
