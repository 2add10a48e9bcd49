#pragma once

#include "platform/WinTypes.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tl {

/// The Windows computer that the program believes it runs on, kept in one prefix folder on the
/// host: its drives (letter, type, host folder), its name, the user, the shell folders, the
/// registry hives (registry/), this computer's shares and the sandbox network of other computers
/// (network/<COMPUTER>/<SHARE>/...).
///
/// Defaults look like a current Windows installation: C: is a fixed drive, the user's profile is
/// C:\Users\<user>, all-users documents are C:\Users\Public\Documents. Tests override any of them.
class Machine {
public:
    /// Creates the machine in the prefix folder, creating the prefix, drive C: and the default
    /// profile folders as needed. Throws std::filesystem::filesystem_error when the prefix cannot
    /// be created.
    explicit Machine(std::filesystem::path prefix);

    /// The machine of this process. Made on first use from the environment: TALLYMAR_PREFIX
    /// (default $XDG_DATA_HOME/tallymar, that is ~/.local/share/tallymar), TALLYMAR_COMPUTERNAME,
    /// TALLYMAR_USERNAME.
    static Machine& Current();

    /// Replaces the machine of this process; returns the previous one. Not for use while other
    /// threads use the machine.
    static std::unique_ptr<Machine> Exchange(std::unique_ptr<Machine> machine);

    const std::filesystem::path& Prefix() const { return prefix_; }

    // Drives.
    /// Adds or replaces a drive letter of the given DRIVE_* type. An empty host folder gives
    /// <prefix>/drive_<letter>, created unless the type is DRIVE_CDROM with no folder given.
    void AddDrive(char letter, unsigned driveType, std::filesystem::path hostFolder = {});
    void RemoveDrive(char letter);
    /// DRIVE_NO_ROOT_DIR for a letter that is not configured.
    unsigned DriveType(char letter) const;
    std::optional<std::filesystem::path> DriveFolder(char letter) const;

    // Identity.
    /// NetBIOS name: upper case, at most 15 characters.
    const std::string& ComputerName() const { return computerName_; }
    void SetComputerName(const std::string& name);
    const std::string& UserName() const { return userName_; }
    /// Changes the user; shell folders that were not overridden follow the new profile.
    void SetUserName(const std::string& name);

    // Shell folders.
    /// The Windows path of a shell folder, or nullopt when this machine has none for the id (or a
    /// test made it unavailable).
    std::optional<std::string> FolderPath(int csidl) const;
    /// Overrides a shell folder; an empty path makes it unavailable.
    void SetFolderPath(int csidl, const std::string& windowsPath);
    /// The temporary folder with its trailing backslash.
    std::string TempPath() const;
    void SetTempPath(const std::string& windowsPath);

    // Where the parts of the machine live on the host.
    std::filesystem::path RegistryFolder() const { return prefix_ / "registry"; }
    std::filesystem::path NetworkFolder() const { return prefix_ / "network"; }

    /// Creates the folders of the user's profile and the common folders when missing.
    void CreateProfileFolders() const;

private:
    struct Drive {
        unsigned type;
        std::filesystem::path folder;
    };

    std::filesystem::path prefix_;
    std::map<char, Drive> drives_;
    std::string computerName_;
    std::string userName_;
    std::map<int, std::string> folderOverrides_;
    std::optional<std::string> tempOverride_;
};

/// Installs a machine for the lifetime of the object and restores the previous one afterwards.
class ScopedMachine {
public:
    explicit ScopedMachine(std::unique_ptr<Machine> machine)
        : previous_(Machine::Exchange(std::move(machine))) {}
    ScopedMachine(const ScopedMachine&) = delete;
    ScopedMachine& operator=(const ScopedMachine&) = delete;
    ~ScopedMachine() { Machine::Exchange(std::move(previous_)); }

private:
    std::unique_ptr<Machine> previous_;
};

} // namespace tl
