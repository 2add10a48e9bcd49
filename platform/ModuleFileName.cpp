#include "platform/ModuleFileName.h"

#include "platform/Machine.h"

#include <algorithm>
#include <filesystem>

namespace win {

std::string GetModuleFileName() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    const tl::Machine& machine = tl::Machine::Current();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const auto folder = machine.DriveFolder(letter);
        if (!folder)
            continue;
        const std::filesystem::path inside = program.lexically_relative(*folder);
        if (inside.empty() || inside.native().starts_with(".."))
            continue;
        std::string path = std::string(1, letter) + ":\\" + inside.string();
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    std::string path = "Z:" + program.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace win
