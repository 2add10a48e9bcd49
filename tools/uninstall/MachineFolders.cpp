#include "tools/uninstall/MachineFolders.h"

#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/WindowsPath.h"

#include <algorithm>

namespace tl::uninstall {

namespace fs = std::filesystem;

namespace {

// The shell folders a Windows user has; the ones the machine does not give are passed over.
constexpr int kShellFolders[] = {
    win::CSIDL_PERSONAL,       win::CSIDL_DESKTOPDIRECTORY, win::CSIDL_APPDATA,
    win::CSIDL_LOCAL_APPDATA,  win::CSIDL_PROGRAMS,         win::CSIDL_COMMON_DOCUMENTS,
    win::CSIDL_COMMON_APPDATA, win::CSIDL_COMMON_PROGRAMS,  win::CSIDL_PROGRAM_FILES,
    win::CSIDL_SYSTEM,
};

} // namespace

fs::path CanonicalHostPath(const fs::path& host) {
    std::error_code error;
    const fs::path normal = host.lexically_normal();
    if (!normal.has_filename())
        return fs::weakly_canonical(normal, error);
    const fs::path parent = fs::weakly_canonical(normal.parent_path(), error);
    return (error ? normal.parent_path() : parent) / normal.filename();
}

bool IsInside(const fs::path& inner, const fs::path& outer) {
    const fs::path relative = inner.lexically_relative(outer);
    if (relative.empty() || relative == ".")
        return false;
    return *relative.begin() != "..";
}

MachineFolders::MachineFolders(const Machine& machine, bool guardShares) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (const auto folder = machine.DriveFolder(letter))
            drives_.push_back(DriveRoot{letter, CanonicalHostPath(*folder)});
    }
    for (const DriveRoot& drive : drives_)
        guarded_.push_back(Guarded{drive.host, std::string(1, drive.letter) + ":\\", false});
    auto guardWindowsPath = [&](const std::string& path, bool insideToo) {
        if (const auto host = MapToHostPath(path, machine))
            guarded_.push_back(Guarded{CanonicalHostPath(*host), path, insideToo});
    };
    for (const int csidl : kShellFolders) {
        if (const auto path = machine.FolderPath(csidl))
            guardWindowsPath(*path, false);
    }
    if (const auto windows = machine.FolderPath(win::CSIDL_WINDOWS))
        guardWindowsPath(*windows, true);
    std::string temp = machine.TempPath();
    while (temp.size() > 3 && temp.back() == '\\')
        temp.pop_back();
    guardWindowsPath(temp, false);
    if (!guardShares)
        return;
    for (const ShareInfo& share : ListLocalShares())
        guardWindowsPath(share.path, false);
}

void MachineFolders::Guard(const fs::path& host, const std::string& what) {
    guarded_.push_back(Guarded{CanonicalHostPath(host), what, false});
}

std::string MachineFolders::RefusalFor(const fs::path& host) const {
    for (const DriveRoot& drive : drives_) {
        if (host == drive.host)
            return std::string("it names the root of drive ") + drive.letter + ":";
    }
    // The most telling reason first: the folder itself, then one it holds, then one it is in.
    for (const Guarded& folder : guarded_) {
        if (host == folder.host)
            return "it names the folder " + folder.what + " itself";
    }
    for (const Guarded& folder : guarded_) {
        if (IsInside(folder.host, host))
            return "it holds the folder " + folder.what;
    }
    for (const Guarded& folder : guarded_) {
        if (folder.insideToo && IsInside(host, folder.host))
            return "it lies inside the folder " + folder.what;
    }
    return {};
}

bool MachineFolders::IsOnThisComputer(const fs::path& host) const {
    return std::any_of(drives_.begin(), drives_.end(),
                       [&](const DriveRoot& drive) { return IsInside(host, drive.host); });
}

std::string MachineFolders::WindowsPathOf(const fs::path& host) const {
    for (const DriveRoot& drive : drives_) {
        if (!IsInside(host, drive.host))
            continue;
        std::string path = std::string(1, drive.letter) + ":";
        for (const fs::path& part : host.lexically_relative(drive.host))
            path += "\\" + part.string();
        return path;
    }
    return {};
}

} // namespace tl::uninstall
