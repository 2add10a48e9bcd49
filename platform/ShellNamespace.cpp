#include "platform/ShellNamespace.h"

#include "platform/Machine.h"
#include "platform/PathHelpers.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <algorithm>
#include <filesystem>

namespace tl {

namespace fs = std::filesystem;

std::vector<DriveEntry> ListDrives() {
    std::vector<DriveEntry> drives;
    const Machine& machine = Machine::Current();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const unsigned type = machine.DriveType(letter);
        if (type != win::DRIVE_NO_ROOT_DIR)
            drives.push_back(DriveEntry{std::string(1, letter) + ":\\", type});
    }
    return drives;
}

std::vector<std::string> ListSubfolders(std::string_view folder) {
    std::vector<std::string> names;
    const auto host = MapToHostPath(folder);
    if (!host)
        return names;
    std::error_code ec;
    for (fs::directory_iterator it(*host, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with('.') && it->is_directory(ec))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    return names;
}

std::string LongestExistingLeadingPath(std::string_view path) {
    std::string candidate(path);
    while (!candidate.empty() && !PathExists(candidate))
        candidate = ParentPath(candidate);
    return candidate;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!joined.empty() && joined.back() != '\\')
        joined += '\\';
    joined += name;
    return joined;
}

} // namespace tl
