#include "tests/tools/uninstall/UninstallTestSupport.h"

#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/SecurityBackend.h"
#include "platform/WindowsPath.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tltest {

namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path HostOf(const std::string& windowsPath) {
    const auto host = tl::MapToHostPath(windowsPath);
    EXPECT_TRUE(host.has_value()) << windowsPath;
    return host.value_or(fs::path());
}

void WriteWindowsFile(const std::string& windowsPath, const std::string& bytes) {
    const fs::path host = HostOf(windowsPath);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << bytes;
}

// A hive's keys and values, each value joined with its continuation lines.
void ListHive(const fs::path& file, const std::string& name, std::vector<std::string>& lines) {
    std::istringstream in(ReadWhole(file));
    std::string logical;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const bool continued = !line.empty() && line.back() == '\\' && line.front() != '[';
        logical += continued ? line.substr(0, line.size() - 1) : line;
        if (continued)
            continue;
        if (!logical.empty() && logical != "REGEDIT4")
            lines.push_back("reg " + name + " " + logical);
        logical.clear();
    }
}

void SetString(win::HKEY_ROOT root, const std::string& key, const std::string& name,
               const std::string& value) {
    win::RegKey handle;
    ASSERT_EQ(win::RegCreateKeyEx(root, key, handle), 0) << key;
    ASSERT_EQ(win::RegSetString(handle, name, value), 0) << key;
}

} // namespace

std::vector<std::string> ListPrefix(const fs::path& prefix, const std::vector<std::string>& excluded) {
    std::vector<std::string> lines;
    const fs::path registry = prefix / "registry";
    std::error_code error;
    for (fs::recursive_directory_iterator it(prefix, error), end; !error && it != end; it.increment(error)) {
        const fs::path relative = it->path().lexically_relative(prefix);
        const std::string name = relative.generic_string();
        const std::string top = relative.begin()->string();
        if (top == "events" || top == "pipes") {
            it.disable_recursion_pending(); // named events and pipes: kernel objects, not files
            continue;
        }
        if (top == "registry" && !it->is_directory()) {
            if (it->path().extension() == ".reg")
                ListHive(it->path(), it->path().lexically_relative(registry).generic_string(), lines);
            continue; // the hives by content; their lock files not at all
        }
        if (it->is_symlink())
            lines.push_back("l " + name);
        else if (it->is_directory())
            lines.push_back("d " + name);
        else if (it->is_regular_file())
            lines.push_back("f " + name + " " + std::to_string(it->file_size()));
        else
            lines.push_back("o " + name);
    }
    std::erase_if(lines, [&](const std::string& line) {
        return std::any_of(excluded.begin(), excluded.end(),
                           [&](const std::string& text) { return line.starts_with(text); });
    });
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string ListingDifference(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    std::vector<std::string> added;
    std::vector<std::string> gone;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    std::string text;
    for (const std::string& line : added)
        text += "+ " + line + "\n";
    for (const std::string& line : gone)
        text += "- " + line + "\n";
    return text;
}

void MakeWindowsBaseline() {
    EXPECT_FALSE(tl::TheSecurityBackend().MachineSid().empty());
    SetString(win::HKEY_LOCAL_MACHINE,
              "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OtherProgram", "DisplayName",
              "Another program");
    SetString(win::HKEY_LOCAL_MACHINE, "Software\\PFU\\ScanSnap Extension\\OtherConnection", "",
              "C:\\Other.exe");
    SetString(win::HKEY_CURRENT_USER, "Software\\Microsoft\\Notepad", "fWrap", "1");
    win::RegKey shares;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, tl::kSharesKey, shares), 0);
    WriteWindowsFile("C:\\Users\\tester\\Documents\\letter.doc", "Dear Sir");
    WriteWindowsFile("C:\\Users\\tester\\Desktop\\notes.txt", "call the court");
    WriteWindowsFile("C:\\Program Files\\Other\\other.exe", "another program");
}

void InstalledProduct::InstallProduct() {
    MakeWindowsBaseline();
    before = List();
    UseStandardRelease();
    for (ReleaseFile& module : modules) {
        if (module.name == "TLMUINST.exe")
            module.content = ReadWhole(TL_UNINSTALLER_PATH);
    }
    ASSERT_NE(Install(), 0) << "the first installation failed";
}

std::vector<std::string> InstalledProduct::List(std::vector<std::string> excluded) {
    excluded.push_back("f drive_c/Users/tester/Documents/TallymarInstallLog.txt");
    return ListPrefix(machine().Prefix(), excluded);
}

std::vector<std::string> InstalledProduct::KeptData() {
    return {"d drive_c/Users/Public/Documents/BankruptcyCases",
            "f drive_c/Users/Public/Documents/BankruptcyCases",
            "reg HKEY_LOCAL_MACHINE.reg \"BankruptcyCases\"",
            // The network user, and the home directory's access list.
            "f security/"};
}

fs::path InstalledProduct::Program() {
    return Host(std::string(kInstallDirectory) + "\\TLMUINST.exe");
}

ProgramResult InstalledProduct::Uninstall(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{Program().string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(argv, MachineEnvironment());
}

bool InstalledProduct::Exists(const std::string& windowsPath) {
    return fs::exists(Host(windowsPath));
}

std::string InstalledProduct::UninstallLog() {
    const std::vector<std::string> lines = LogLines();
    const auto last = std::find(lines.rbegin(), lines.rend(), "**** Beginning uninstall");
    std::string text;
    for (auto line = last == lines.rend() ? lines.end() : std::prev(last.base()); line != lines.end(); ++line)
        text += *line + "\n";
    return text;
}

std::vector<std::string> Without(std::vector<std::string> listing, const std::vector<std::string>& excluded) {
    std::erase_if(listing, [&](const std::string& line) {
        return std::any_of(excluded.begin(), excluded.end(),
                           [&](const std::string& text) { return line.starts_with(text); });
    });
    return listing;
}

void ExpectGolden(const std::string& name, const std::string& text) {
    const fs::path file = fs::path(TL_TEST_DATA_DIR) / "uninstall" / name;
    if (const char* update = std::getenv("TL_UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1")
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    auto lines = [](const std::string& whole) {
        std::vector<std::string> result;
        std::istringstream in(whole);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    };
    const std::vector<std::string> actual = lines(text);
    const std::vector<std::string> expected = lines(ReadWhole(file));
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        EXPECT_EQ(i < actual.size() ? actual[i] : "<missing>",
                  i < expected.size() ? expected[i] : "<missing>")
            << name << " line " << i + 1;
    }
}

} // namespace tltest
