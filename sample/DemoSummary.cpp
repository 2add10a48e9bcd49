// tl_demo_summary: what an installation left on the machine of TALLYMAR_PREFIX, in a few lines:
// the settings, the files installed where (modules with their version, other files with their
// time), the databases with their tables and rows, the share, the links, the uninstall
// registration and the install log. Read-only; scripts/run.sh prints it after each run.
#include "app/AppConstants.h"
#include "platform/FileApi.h"
#include "platform/FileVersion.h"
#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/LocalShares.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/WindowsPath.h"
#include "xml/XmlDocument.h"
#include "xml/XmlElement.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The whole file; empty when it cannot be read (the summary then says what is missing).
std::string ReadBytes(const fs::path& path) {
    return tl::ReadHostFile(path).value_or(std::string());
}

std::string Setting(const win::RegKey& key, const char* name) {
    DWORD type = 0;
    std::string data;
    if (win::RegQueryValueEx(key, name, &type, &data) != 0)
        return "(none)";
    if (type == win::REG_DWORD && data.size() == 4) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        return std::to_string(value);
    }
    if (type == win::REG_MULTI_SZ) {
        std::string joined;
        for (const std::string& item : win::DecodeMultiString(data))
            joined += (joined.empty() ? "" : " ") + item;
        return joined.empty() ? "(none)" : joined;
    }
    return data.substr(0, data.find('\0'));
}

std::optional<fs::path> Host(const std::string& windowsPath) {
    return tl::MapToHostPath(windowsPath);
}

std::string Version(const std::string& windowsPath) {
    std::vector<std::uint8_t> block;
    win::VS_FIXEDFILEINFO info{};
    if (!win::GetFileVersionInfo(windowsPath, block) || !win::VerQueryValue(block, "\\", info))
        return {};
    return tl::Format("%u.%u.%u.%u", info.dwFileVersionMS >> 16, info.dwFileVersionMS & 0xFFFF,
                      info.dwFileVersionLS >> 16, info.dwFileVersionLS & 0xFFFF);
}

std::string Time(const fs::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return {};
    std::tm utc{};
    ::gmtime_r(&status.st_mtime, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%m/%d/%Y %H:%M:%S", &utc);
    return text;
}

// Every file of a folder, sorted, with its version (a module) or its time.
void ListFolder(const char* what, const std::string& windowsFolder) {
    const auto folder = Host(windowsFolder);
    std::vector<fs::path> files;
    std::error_code error;
    if (folder) {
        for (const auto& entry : fs::directory_iterator(*folder, error)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::printf("%s %s (%zu files)\n", what, windowsFolder.c_str(), files.size());
    for (const fs::path& file : files) {
        const std::string version = Version(windowsFolder + "\\" + file.filename().string());
        std::printf("    %-20s %s\n", file.filename().c_str(),
                    version.empty() ? Time(file).c_str() : ("version " + version).c_str());
    }
}

// The tables of a database with their rows, read with SQLite itself (read-only).
void ListDatabase(const fs::path& file) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::printf("    %-20s cannot be read\n", file.filename().c_str());
        sqlite3_close(raw);
        return;
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    std::vector<std::string> tables;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(
        db.get(),
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid", -1,
        &statement, nullptr);
    while (statement != nullptr && sqlite3_step(statement) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    // Tables with their rows, as many to a line as fit beside the name.
    std::string line;
    std::string lines;
    for (const std::string& table : tables) {
        long long rows = 0;
        const std::string count = "SELECT COUNT(*) FROM \"" + table + "\"";
        if (sqlite3_prepare_v2(db.get(), count.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            rows = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        const std::string item = tl::Format("%s %lld", table.c_str(), rows);
        if (!line.empty() && line.size() + item.size() > 72) {
            lines += line + ",\n" + std::string(25, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : ", ") + item;
    }
    std::printf("    %-20s %zu tables: %s%s\n", file.filename().c_str(), tables.size(), lines.c_str(),
                line.c_str());
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    if (at + 4 > bytes.size())
        return 0;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

std::string CString(const std::string& bytes, std::size_t at) {
    return at < bytes.size() ? std::string(bytes.c_str() + at) : std::string();
}

// A shell link's target from its LinkInfo: the local base path, or the network share's name, and
// the common path suffix.
std::string LinkTarget(const fs::path& link) {
    const std::string bytes = ReadBytes(link);
    const std::uint32_t flags = Le32(bytes, 0x14);
    std::size_t at = 0x4C;
    if ((flags & 0x01) != 0 && at + 2 <= bytes.size())
        at += 2 + (static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8));
    if ((flags & 0x02) == 0)
        return "(no target)";
    const std::uint32_t infoFlags = Le32(bytes, at + 8);
    std::string target;
    if ((infoFlags & 0x01) != 0)
        target = CString(bytes, at + Le32(bytes, at + 16));
    else if ((infoFlags & 0x02) != 0) {
        const std::size_t network = at + Le32(bytes, at + 20);
        target = CString(bytes, network + Le32(bytes, network + 8));
    }
    const std::string suffix = CString(bytes, at + Le32(bytes, at + 24));
    if (!suffix.empty())
        target += (target.empty() || target.back() == '\\' ? "" : "\\") + suffix;
    return target;
}

void ListLinks(int csidl, const char* where) {
    std::string folder;
    if (!win::SHGetSpecialFolderPath(csidl, folder, false))
        return;
    const auto host = Host(folder);
    std::error_code error;
    if (!host)
        return;
    std::vector<fs::path> links;
    for (auto it = fs::recursive_directory_iterator(*host, error); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->path().extension() == ".lnk")
            links.push_back(it->path());
    }
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        std::string name = fs::relative(link, *host).string();
        std::replace(name.begin(), name.end(), '/', '\\');
        std::printf("    %s\\%s -> %s\n", where, name.c_str(), LinkTarget(link).c_str());
    }
}

void UninstallManifest(const std::string& installDirectory) {
    const auto file = Host(installDirectory + "\\TLMUINST.xml");
    XmlDocument document(false);
    if (!file || !fs::exists(*file) || !document.Parse(ReadBytes(*file))) {
        std::printf("Uninstall   no TLMUINST.xml in %s\n", installDirectory.c_str());
        return;
    }
    int files = 0;
    int keys = 0;
    for (const auto& root : document.roots) {
        for (const auto& entry : root->children)
            ++(entry->name == "DeleteKey" ? keys : files);
    }
    win::RegKey key;
    std::string command = "not registered";
    if (win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE,
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallymar", false,
                          key) == 0)
        command = "registered as " + Setting(key, "DisplayName") + ": " + Setting(key, "UninstallString");
    std::printf("Uninstall   TLMUINST.xml: %d files and %d registry key%s to remove\n            %s\n", files,
                keys, keys == 1 ? "" : "s", command.c_str());
}

} // namespace

int main() {
    tl::Machine& machine = tl::Machine::Current();
    win::RegKey settings;
    if (win::RegOpenKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, false, settings) != 0) {
        std::printf("No installation of Tallymar for user %s in the machine prefix %s\n",
                    machine.UserName().c_str(), machine.Prefix().c_str());
        return 1;
    }
    const std::string installDirectory = Setting(settings, "InstallDirectory");
    const std::string homeDirectory = Setting(settings, "HomeDirectory");
    std::printf("Tallymar on computer %s for user %s, machine prefix %s\n", machine.ComputerName().c_str(),
                machine.UserName().c_str(), machine.Prefix().c_str());
    std::printf("Settings    install type %s, states %s, database level %s, update level %s\n",
                Setting(settings, "InstallType").c_str(), Setting(settings, "States").c_str(),
                Setting(settings, "DatabaseLevel").c_str(), Setting(settings, "UpdateLevel").c_str());
    ListFolder("Programs   ", installDirectory);
    std::string localAppData;
    if (win::SHGetSpecialFolderPath(win::CSIDL_LOCAL_APPDATA, localAppData, false))
        ListFolder("Per user   ", localAppData);
    std::printf("Databases   in %s\n", homeDirectory.c_str());
    if (const auto home = Host(homeDirectory)) {
        std::vector<fs::path> databases;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(*home, error)) {
            if (entry.path().extension() == ".mdb")
                databases.push_back(entry.path());
        }
        std::sort(databases.begin(), databases.end());
        for (const fs::path& database : databases)
            ListDatabase(database);
    }
    for (const tl::ShareInfo& share : tl::ListLocalShares())
        std::printf("Share       \\\\%s\\%s -> %s\n", machine.ComputerName().c_str(), share.name.c_str(),
                    share.path.c_str());
    std::printf("Links\n");
    ListLinks(win::CSIDL_DESKTOPDIRECTORY, "Desktop");
    ListLinks(win::CSIDL_COMMON_PROGRAMS, "Start menu");
    UninstallManifest(installDirectory);
    std::string documents;
    win::SHGetSpecialFolderPath(win::CSIDL_PERSONAL, documents, false);
    const auto log = Host(documents + "\\TallymarInstallLog.txt");
    std::printf("Install log %s\n", log ? log->c_str() : "(none)");
    return 0;
}
