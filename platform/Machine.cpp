#include "platform/Machine.h"

#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace tl {

namespace fs = std::filesystem;

namespace {

std::unique_ptr<Machine> currentMachine;
std::once_flag currentOnce;

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? std::string(value) : fallback;
}

fs::path DefaultPrefix() {
    const char* prefix = std::getenv("TALLYMAR_PREFIX");
    if (prefix != nullptr && *prefix != '\0')
        return prefix;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome != '\0')
        return fs::path(dataHome) / "tallymar";
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : "/tmp") / ".local" / "share" / "tallymar";
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "WORKSTATION";
    return name;
}

std::string HostUserName() {
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name != nullptr)
        return entry->pw_name;
    return EnvOr("USER", "User");
}

// NetBIOS form: the host part before any dot, upper case, at most 15 characters.
std::string NetBiosName(const std::string& name) {
    std::string result = ToUpper(name.substr(0, name.find('.')));
    if (result.size() > 15)
        result.resize(15);
    return result.empty() ? std::string("WORKSTATION") : result;
}

} // namespace

Machine::Machine(fs::path prefix) : prefix_(std::move(prefix)) {
    fs::create_directories(prefix_);
    computerName_ = NetBiosName(EnvOr("TALLYMAR_COMPUTERNAME", HostName()));
    userName_ = EnvOr("TALLYMAR_USERNAME", HostUserName());
    AddDrive('C', win::DRIVE_FIXED);
    fs::create_directories(RegistryFolder());
    fs::create_directories(NetworkFolder());
    CreateProfileFolders();
}

Machine& Machine::Current() {
    std::call_once(currentOnce, [] {
        if (!currentMachine)
            currentMachine = std::make_unique<Machine>(DefaultPrefix());
    });
    return *currentMachine;
}

std::unique_ptr<Machine> Machine::Exchange(std::unique_ptr<Machine> machine) {
    // Settle the lazy default first so a later Current() cannot replace an installed machine.
    std::call_once(currentOnce, [] {});
    std::swap(currentMachine, machine);
    return machine;
}

void Machine::AddDrive(char letter, unsigned driveType, fs::path hostFolder) {
    letter = AsciiToUpper(letter);
    const bool defaultFolder = hostFolder.empty();
    if (defaultFolder)
        hostFolder = prefix_ / (std::string("drive_") + AsciiToLower(letter));
    if (!(driveType == win::DRIVE_CDROM && defaultFolder))
        fs::create_directories(hostFolder);
    drives_[letter] = Drive{driveType, std::move(hostFolder)};
}

void Machine::RemoveDrive(char letter) {
    drives_.erase(AsciiToUpper(letter));
}

unsigned Machine::DriveType(char letter) const {
    const auto it = drives_.find(AsciiToUpper(letter));
    return it == drives_.end() ? win::DRIVE_NO_ROOT_DIR : it->second.type;
}

std::optional<fs::path> Machine::DriveFolder(char letter) const {
    const auto it = drives_.find(AsciiToUpper(letter));
    if (it == drives_.end())
        return std::nullopt;
    return it->second.folder;
}

void Machine::SetComputerName(const std::string& name) {
    computerName_ = NetBiosName(name);
}

void Machine::SetUserName(const std::string& name) {
    userName_ = name;
    CreateProfileFolders();
}

std::optional<std::string> Machine::FolderPath(int csidl) const {
    if (const auto it = folderOverrides_.find(csidl); it != folderOverrides_.end()) {
        if (it->second.empty())
            return std::nullopt;
        return it->second;
    }
    const std::string profile = "C:\\Users\\" + userName_;
    switch (csidl) {
    case win::CSIDL_PERSONAL:
        return profile + "\\Documents";
    case win::CSIDL_DESKTOPDIRECTORY:
        return profile + "\\Desktop";
    case win::CSIDL_APPDATA:
        return profile + "\\AppData\\Roaming";
    case win::CSIDL_LOCAL_APPDATA:
        return profile + "\\AppData\\Local";
    case win::CSIDL_PROGRAMS:
        return profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    case win::CSIDL_COMMON_DOCUMENTS:
        return std::string("C:\\Users\\Public\\Documents");
    case win::CSIDL_COMMON_APPDATA:
        return std::string("C:\\ProgramData");
    case win::CSIDL_COMMON_PROGRAMS:
        return std::string("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    case win::CSIDL_PROGRAM_FILES:
        return std::string("C:\\Program Files");
    case win::CSIDL_WINDOWS:
        return std::string("C:\\Windows");
    case win::CSIDL_SYSTEM:
        return std::string("C:\\Windows\\System32");
    default:
        return std::nullopt;
    }
}

void Machine::SetFolderPath(int csidl, const std::string& windowsPath) {
    folderOverrides_[csidl] = windowsPath;
}

std::string Machine::TempPath() const {
    if (tempOverride_)
        return *tempOverride_;
    return "C:\\Users\\" + userName_ + "\\AppData\\Local\\Temp\\";
}

void Machine::SetTempPath(const std::string& windowsPath) {
    tempOverride_ = windowsPath;
}

void Machine::CreateProfileFolders() const {
    static constexpr int kFolders[] = {
        win::CSIDL_PERSONAL,        win::CSIDL_DESKTOPDIRECTORY, win::CSIDL_APPDATA,
        win::CSIDL_LOCAL_APPDATA,   win::CSIDL_PROGRAMS,         win::CSIDL_COMMON_DOCUMENTS,
        win::CSIDL_COMMON_PROGRAMS, win::CSIDL_PROGRAM_FILES,    win::CSIDL_SYSTEM};
    std::error_code ignored;
    for (const int csidl : kFolders) {
        if (const auto path = FolderPath(csidl)) {
            if (const auto host = MapToHostPath(*path, *this))
                fs::create_directories(*host, ignored);
        }
    }
    if (const auto host = MapToHostPath(TempPath(), *this))
        fs::create_directories(*host, ignored);
}

} // namespace tl
