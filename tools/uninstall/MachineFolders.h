#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tl {
class Machine;
}

namespace tl::uninstall {

/// The host folders of this computer that no manifest entry may name: the drives' roots, the
/// Windows and Program Files folders, the user's and the common shell folders, the temporary
/// folder and the roots of this computer's shares (the home directory among them). A path that
/// names one of them, or a folder above one of them, is refused; so is anything inside the
/// Windows folder, where the product installs nothing.
class MachineFolders {
public:
    /// With guardShares false the roots of the shares are not guarded (to judge the home
    /// directory itself, which is one of them).
    explicit MachineFolders(const Machine& machine, bool guardShares = true);

    /// Why the host path (made canonical with CanonicalHostPath) must not be deleted, or "" when
    /// it may be.
    std::string RefusalFor(const std::filesystem::path& host) const;

    /// True when the canonical host path lies inside one of the machine's drive folders, that is
    /// on this computer and not somewhere else on the host through a symbolic link.
    bool IsOnThisComputer(const std::filesystem::path& host) const;

    /// The Windows path of a host path inside a drive folder ("C:\..."), or "" for any other.
    std::string WindowsPathOf(const std::filesystem::path& host) const;

    /// Adds a folder to guard like a share's root (used for a home directory that is not shared).
    void Guard(const std::filesystem::path& host, const std::string& what);

private:
    struct Guarded {
        std::filesystem::path host;
        std::string what;
        bool insideToo = false;
    };
    struct DriveRoot {
        char letter;
        std::filesystem::path host;
    };

    std::vector<Guarded> guarded_;
    std::vector<DriveRoot> drives_;
};

/// The canonical form of a host path without following its last component: every symbolic link
/// of the folders above it is resolved, the last name is kept as it is (a link there is deleted
/// as a link).
std::filesystem::path CanonicalHostPath(const std::filesystem::path& host);

/// True when inner lies strictly inside outer (both canonical).
bool IsInside(const std::filesystem::path& inner, const std::filesystem::path& outer);

} // namespace tl::uninstall
