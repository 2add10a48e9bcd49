#include "platform/WindowsPath.h"

#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <dirent.h>
#include <memory>

namespace tl {

namespace fs = std::filesystem;

namespace {

bool IsForbiddenNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*';
}

void Fail(DWORD* error, DWORD code) {
    if (error != nullptr)
        *error = code;
}

// Splits on backslashes, dropping empty and "." parts and resolving ".." lexically.
bool SplitComponents(std::string_view rest, std::vector<std::string>& out) {
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t end = std::min(rest.find('\\', start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!out.empty())
                out.pop_back();
            continue;
        }
        if (std::any_of(part.begin(), part.end(), IsForbiddenNameByte))
            return false;
        out.emplace_back(part);
    }
    return true;
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// The folder's entry whose name equals name without regard to case. Reads the bare entries: a
// new file in a folder of thousands is looked for once per file.
std::optional<fs::path> FindEntryNoCase(const fs::path& folder, std::string_view name) {
    const std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
    if (!directory)
        return std::nullopt;
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string_view entryName(entry->d_name);
        if (entryName != "." && entryName != ".." && EqualsNoCase(entryName, name))
            return folder / entryName;
    }
    return std::nullopt;
}

// Matches each component in turn: exactly where it exists, else without regard to case.
fs::path WalkNoCase(fs::path folder, const std::vector<std::string>& components) {
    bool matching = true;
    for (const std::string& component : components) {
        if (matching) {
            std::error_code ec;
            if (fs::exists(folder / component, ec)) {
                folder /= component;
                continue;
            }
            if (auto found = FindEntryNoCase(folder, component)) {
                folder = std::move(*found);
                continue;
            }
            matching = false; // nothing below a missing component can exist
        }
        folder /= component;
    }
    return folder;
}

} // namespace

std::optional<WindowsPath> ParseWindowsPath(std::string_view path, DWORD* error) {
    std::string text(path);
    std::replace(text.begin(), text.end(), '/', '\\');
    WindowsPath result;
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        const std::size_t serverEnd = std::min(text.find('\\', 2), text.size());
        result.kind = WindowsPath::Kind::Unc;
        result.server = text.substr(2, serverEnd - 2);
        const std::size_t shareStart = std::min(serverEnd + 1, text.size());
        const std::size_t shareEnd = std::min(text.find('\\', shareStart), text.size());
        result.share = text.substr(shareStart, shareEnd - shareStart);
        if (result.server.empty() || result.server == "?" || result.share.empty() ||
            std::any_of(result.server.begin(), result.server.end(), IsForbiddenNameByte) ||
            std::any_of(result.share.begin(), result.share.end(), IsForbiddenNameByte) ||
            result.share == "." || result.share == ".." ||
            (result.server == "." && EqualsNoCase(result.share, "pipe"))) {
            Fail(error, win::ERROR_INVALID_NAME);
            return std::nullopt;
        }
        if (!SplitComponents(std::string_view(text).substr(std::min(shareEnd + 1, text.size())),
                             result.components)) {
            Fail(error, win::ERROR_INVALID_NAME);
            return std::nullopt;
        }
        return result;
    }
    const bool hasDrive = text.size() >= 2 && text[1] == ':' &&
                          ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    if (!hasDrive) {
        Fail(error, win::ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    result.kind = WindowsPath::Kind::Drive;
    result.drive = AsciiToUpper(text[0]);
    if (!SplitComponents(std::string_view(text).substr(2), result.components)) {
        Fail(error, win::ERROR_INVALID_NAME);
        return std::nullopt;
    }
    return result;
}

bool IsThisComputer(std::string_view server, const Machine& machine) {
    return EqualsNoCase(server, machine.ComputerName()) || EqualsNoCase(server, "localhost") ||
           server == "127.0.0.1" || server == ".";
}

fs::path ResolveNoCase(fs::path folder, const std::vector<std::string>& components) {
    if (components.empty())
        return folder;
    // Most paths name what exists in the very case given, and the walk would match every
    // component as it is: one look settles them. A new file in a folder that exists needs the
    // walk for its own name only.
    fs::path parent = folder;
    for (std::size_t i = 0; i + 1 < components.size(); ++i)
        parent /= components[i];
    const fs::path whole = parent / components.back();
    std::error_code ec;
    if (fs::exists(whole, ec))
        return whole;
    if (components.size() > 1 && fs::exists(parent, ec))
        return WalkNoCase(std::move(parent), {components.back()});
    return WalkNoCase(std::move(folder), components);
}

std::optional<fs::path> MapToHostPath(std::string_view path, const Machine& machine, DWORD* error) {
    auto parsed = ParseWindowsPath(path, error);
    if (!parsed)
        return std::nullopt;
    if (parsed->kind == WindowsPath::Kind::Drive) {
        const auto root = machine.DriveFolder(parsed->drive);
        if (!root) {
            Fail(error, win::ERROR_PATH_NOT_FOUND);
            return std::nullopt;
        }
        return ResolveNoCase(*root, parsed->components);
    }
    if (IsThisComputer(parsed->server, machine)) {
        // Administrative shares: "\\THIS\C$" is the root of drive C.
        if (parsed->share.size() == 2 && parsed->share[1] == '$') {
            const auto root = machine.DriveFolder(parsed->share[0]);
            if (!root) {
                Fail(error, win::ERROR_BAD_NET_NAME);
                return std::nullopt;
            }
            return ResolveNoCase(*root, parsed->components);
        }
        const auto share = FindLocalShare(parsed->share, machine);
        if (!share) {
            Fail(error, win::ERROR_BAD_NET_NAME);
            return std::nullopt;
        }
        std::string target = share->path;
        for (const std::string& component : parsed->components)
            target += "\\" + component;
        // A share names a local drive path, so this recursion ends after one step.
        if (!ParseWindowsPath(share->path) ||
            ParseWindowsPath(share->path)->kind != WindowsPath::Kind::Drive) {
            Fail(error, win::ERROR_BAD_NET_NAME);
            return std::nullopt;
        }
        return MapToHostPath(target, machine, error);
    }
    const auto server = FindEntryNoCase(machine.NetworkFolder(), parsed->server);
    if (!server) {
        Fail(error, win::ERROR_BAD_NETPATH);
        return std::nullopt;
    }
    const auto share = FindEntryNoCase(*server, parsed->share);
    if (!share) {
        Fail(error, win::ERROR_BAD_NET_NAME);
        return std::nullopt;
    }
    return ResolveNoCase(*share, parsed->components);
}

std::optional<fs::path> MapToHostPath(std::string_view path, DWORD* error) {
    return MapToHostPath(path, Machine::Current(), error);
}

std::optional<fs::path> HostPathAsGiven(std::string_view path, const Machine& machine) {
    const auto parsed = ParseWindowsPath(path);
    if (!parsed || parsed->kind != WindowsPath::Kind::Drive)
        return std::nullopt;
    auto host = machine.DriveFolder(parsed->drive);
    if (!host)
        return std::nullopt;
    for (const std::string& component : parsed->components)
        *host /= component;
    return host;
}

std::optional<fs::path> HostPathAsGiven(std::string_view path) {
    return HostPathAsGiven(path, Machine::Current());
}

} // namespace tl
