#include "app/AppConstants.h"
#include "platform/FileVersion.h"
#include "platform/Format.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/WindowsPath.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestMachine.h"
#include "tests/unattended/ShellCommand.h"
#include "xml/XmlDocument.h"
#include "xml/XmlElement.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <sqlite3.h>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

namespace fs = std::filesystem;

constexpr const char* kPasswords[] = {"Quartz-Lantern-2025", "Brief&Gavel7", "Docket-Clerk-19",
                                      "Pacer:Ellison#88",    "Ecf-NY-5521",  "Ecf-TX-7730"};
constexpr char kInstallFolder[] = "C:\\Program Files\\Fenmore Software\\Tallymar";
constexpr char kHomeFolder[] = "C:\\Users\\Public\\Documents\\BankruptcyCases";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The demonstration of scripts/run.sh on this build, without its dependency and build steps: the
// same script publishes the sample release, serves it with tlserve and runs tlinstall unattended,
// here on a prefix of the test's own. The prefix is then read with the program's own platform layer.
class DemoPath : public ::testing::Test {
protected:
    using Output = tltest::ShellOutput;

    Output Demo(const std::string& mode) {
        return tltest::RunShell(tl::Format(
            "env -u DISPLAY -u WAYLAND_DISPLAY TL_DEMO_UNATTENDED=1 TALLYMAR_PREFIX='%s' "
            "TALLYMAR_COMPUTERNAME=DEMOPC "
            "TALLYMAR_USERNAME=demo TL_DEMO_WORK='%s' '%s/scripts/demo.sh' '%s' %s",
            Prefix().c_str(), (work_.Path() / "work").c_str(), TL_SOURCE_DIR, TL_BUILD_DIR, mode.c_str()));
    }

    fs::path Prefix() const { return work_.Path() / "prefix"; }

    /// Makes the demonstration's machine this process's, as tlinstall saw it.
    void UseDemoMachine() {
        auto machine = std::make_unique<tl::Machine>(Prefix());
        machine->SetComputerName("DEMOPC");
        machine->SetUserName("demo");
        scope_ = std::make_unique<tl::ScopedMachine>(std::move(machine));
    }

    static fs::path Host(const std::string& windowsPath) {
        return tl::MapToHostPath(windowsPath).value_or(fs::path());
    }

    /// The files of a folder, sorted.
    static std::vector<std::string> Folder(const std::string& windowsPath) {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(Host(windowsPath), error)) {
            if (entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Setting(const char* name) {
        win::RegKey key;
        DWORD type = 0;
        std::string data;
        if (win::RegOpenKeyEx(win::HKEY_CURRENT_USER, kSettingsKey, false, key) != 0 ||
            win::RegQueryValueEx(key, name, &type, &data) != 0)
            return "<none>";
        if (type == win::REG_DWORD)
            return std::to_string(static_cast<unsigned char>(data[0]) |
                                  (static_cast<unsigned char>(data[1]) << 8));
        std::replace(data.begin(), data.end(), '\0', '|');
        return data;
    }

    static std::string Version(const std::string& name) {
        std::vector<std::uint8_t> block;
        win::VS_FIXEDFILEINFO info{};
        if (!win::GetFileVersionInfo(std::string(kInstallFolder) + "\\" + name, block) ||
            !win::VerQueryValue(block, "\\", info))
            return "<none>";
        return tl::Format("%u.%u.%u.%u", info.dwFileVersionMS >> 16, info.dwFileVersionMS & 0xFFFF,
                          info.dwFileVersionLS >> 16, info.dwFileVersionLS & 0xFFFF);
    }

    static long long Rows(const std::string& database, const std::string& table) {
        sqlite3* db = nullptr;
        long long rows = -1;
        sqlite3_stmt* statement = nullptr;
        const std::string path = Host(std::string(kHomeFolder) + "\\" + database).string();
        const std::string query = "SELECT COUNT(*) FROM " + table;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            rows = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return rows;
    }

    /// The uninstall manifest's entries as "Kind path".
    static std::vector<std::string> UninstallEntries() {
        XmlDocument document(false);
        std::vector<std::string> entries;
        if (!document.Parse(ReadBytes(Host(std::string(kInstallFolder) + "\\TLMUINST.xml"))))
            return {"<not well-formed>"};
        for (const auto& root : document.roots) {
            for (const auto& entry : root->children)
                entries.push_back(entry->name + " " + entry->Text());
        }
        return entries;
    }

    void ExpectNoPasswordIn(const std::string& output) {
        for (const auto& entry : fs::recursive_directory_iterator(Prefix())) {
            if (!entry.is_regular_file())
                continue;
            const std::string bytes = ReadBytes(entry.path());
            for (const char* password : kPasswords)
                EXPECT_EQ(bytes.find(password), std::string::npos) << entry.path() << " holds " << password;
        }
        for (const char* password : kPasswords)
            EXPECT_THAT(output, Not(HasSubstr(password)));
    }

private:
    tltest::TempFolder work_;
    std::unique_ptr<tl::ScopedMachine> scope_;
};

const std::vector<std::string> kRelease1Programs = {
    "Checklists.ini", "Creditors.ini", "PlanText.ini", "Provisions.ini", "QuickStart.txt",
    "TLMECF.EXE",     "TLMFIMPRT.EXE", "TLMNY.DLL",    "TLMTX.DLL",      "TLMUINST.EXE",
    "TLMUINST.xml",   "Tallymar.exe",  "TlSplash.exe", "TrusteesNY.ini", "TrusteesTX.ini"};

} // namespace

TEST_F(DemoPath, InstallsSampleRelease1Unattended) {
    const Output install = Demo("install");
    ASSERT_EQ(install.status, 0) << install.text;
    EXPECT_THAT(install.text, HasSubstr("tlinstall: Tallymar is installed (exit status 0)"));
    EXPECT_THAT(install.text,
                HasSubstr("Share       \\\\DEMOPC\\BankruptcyCases -> " + std::string(kHomeFolder)));
    EXPECT_THAT(install.text,
                HasSubstr("Desktop\\Tallydesk.lnk -> " + std::string(kInstallFolder) + "\\TlSplash.exe"));
    UseDemoMachine();

    EXPECT_EQ(Folder(kInstallFolder), kRelease1Programs);
    EXPECT_THAT(Folder(kHomeFolder), ElementsAre("CreditorNames.mdb", "Tallymar.mdb", "TallymarPlaces.mdb"));
    EXPECT_THAT(Folder("C:\\Users\\demo\\AppData\\Local"), ElementsAre("tlmscanx.ini"));
    EXPECT_EQ(Version("Tallymar.exe"), "1.0.0.1");
    EXPECT_EQ(Version("TLMTX.DLL"), "1.0.0.1");

    EXPECT_EQ(Setting("HomeDirectory"), "\\\\DEMOPC\\BankruptcyCases|");
    EXPECT_EQ(Setting("InstallType"), "0");
    EXPECT_EQ(Setting("States"), "NY|TX||");
    EXPECT_EQ(Setting("DatabaseLevel"), "15");
    EXPECT_EQ(Setting("UpdateLevel"), "1");

    // Every kind of reference data, and the two attorneys of the answer file with their logins.
    EXPECT_EQ(Rows("Tallymar.mdb", "CheckListTable"), 6);
    EXPECT_EQ(Rows("Tallymar.mdb", "TrusteeTable"), 5);
    EXPECT_EQ(Rows("Tallymar.mdb", "Chap13Provisions"), 3);
    EXPECT_EQ(Rows("Tallymar.mdb", "Chap13PlanText"), 3);
    EXPECT_EQ(Rows("CreditorNames.mdb", "CreditorTable"), 5);
    EXPECT_EQ(Rows("Tallymar.mdb", "AttorneyTable"), 2);
    EXPECT_EQ(Rows("Tallymar.mdb", "EcfTable"), 2);

    const std::vector<std::string> entries = UninstallEntries();
    EXPECT_THAT(entries, testing::Contains("DeleteFile " + std::string(kInstallFolder) + "\\Tallymar.exe"));
    EXPECT_THAT(entries,
                testing::Contains("DeleteFile " + std::string(kHomeFolder) + "\\TallymarPlaces.mdb"));
    EXPECT_THAT(entries, testing::Contains("DeleteKey Software\\Fenmore Software\\Tallymar"));
    EXPECT_THAT(entries,
                Not(testing::Contains("DeleteFile " + std::string(kInstallFolder) + "\\TLMUINST.EXE")));
    ExpectNoPasswordIn(install.text);
}

TEST_F(DemoPath, UpdatesToSampleRelease2Unattended) {
    ASSERT_EQ(Demo("install").status, 0);
    UseDemoMachine();
    {
        // The installed product itself, running: the update is refused and changes nothing.
        tltest::ChildProcess product({Host(std::string(kInstallFolder) + "\\Tallymar.exe").string()},
                                     tltest::MachineEnvironment());
        ASSERT_EQ(product.ReadLine(), "Tallymar.exe: running");
        const Output refused = Demo("update");
        EXPECT_EQ(refused.status, 4) << refused.text;
        EXPECT_THAT(refused.text, HasSubstr("message: Tallymar Setup: Tallymar is presently running on this "
                                            "workstation."));
        EXPECT_EQ(Version("Tallymar.exe"), "1.0.0.1");
    }
    const Output update = Demo("update");
    ASSERT_EQ(update.status, 0) << update.text;
    EXPECT_THAT(update.text, HasSubstr("tlinstall: Tallymar is up to date (exit status 0)"));

    // Replaced by version and by date, added, and the obsolete file deleted.
    EXPECT_EQ(Version("Tallymar.exe"), "1.0.0.2");
    EXPECT_EQ(Version("TLMECF.EXE"), "1.0.0.2");
    EXPECT_EQ(Version("TLMTX.DLL"), "1.0.0.2");
    EXPECT_EQ(Version("TLMNY.DLL"), "1.0.0.1");
    std::vector<std::string> programs = kRelease1Programs;
    programs.erase(std::find(programs.begin(), programs.end(), "QuickStart.txt"));
    programs.insert(std::find(programs.begin(), programs.end(), "PlanText.ini"), "Creditors2025.ini");
    EXPECT_EQ(Folder(kInstallFolder), programs);
    EXPECT_THAT(ReadBytes(Host("C:\\Users\\demo\\AppData\\Local\\tlmscanx.ini")), HasSubstr("Duplex=Yes"));

    // The databases at the new level, with the reference data that came with the update.
    EXPECT_EQ(Setting("DatabaseLevel"), "16");
    EXPECT_EQ(Setting("UpdateLevel"), "2");
    EXPECT_EQ(Setting("States"), "NY|TX||");
    EXPECT_EQ(Rows("CreditorNames.mdb", "CreditorTable"), 7);
    EXPECT_EQ(Rows("Tallymar.mdb", "TrusteeTable"), 6);
    EXPECT_EQ(Rows("Tallymar.mdb", "CheckListTable"), 7);
    EXPECT_EQ(Rows("Tallymar.mdb", "AttorneyTable"), 2);
    // The installed uninstall manifest follows the files.
    const std::vector<std::string> entries = UninstallEntries();
    EXPECT_THAT(entries,
                testing::Contains("DeleteFile " + std::string(kInstallFolder) + "\\Creditors2025.ini"));
    EXPECT_THAT(entries,
                Not(testing::Contains("DeleteFile " + std::string(kInstallFolder) + "\\QuickStart.txt")));
    EXPECT_THAT(entries, testing::Contains("DeleteKey Software\\Fenmore Software\\Tallymar"));
    ExpectNoPasswordIn(update.text);
}
