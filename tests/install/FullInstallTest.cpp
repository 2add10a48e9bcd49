#include "app/AppConstants.h"
#include "db/CDatabase.h"
#include "db/SqlText.h"
#include "install/RunFullInstall.h"
#include "platform/FileTime.h"
#include "platform/LocalShares.h"
#include "platform/NetApi.h"
#include "platform/PathHelpers.h"
#include "platform/Registry.h"
#include "release/RegisterScannerExtension.h"
#include "tests/install/FullInstallTestBase.h"
#include "tests/support/ParsedShellLink.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Lines = std::vector<std::string>;

class FullInstall : public tltest::FullInstallTest {
protected:
    FullInstall() { UseStandardRelease(); }

    std::string Value(win::HKEY_ROOT root, const std::string& key, const std::string& name) {
        win::RegKey handle;
        if (win::RegOpenKeyEx(root, key, false, handle) != 0)
            return "<no key>";
        DWORD type = 0;
        std::string data;
        if (win::RegQueryValueEx(handle, name, &type, &data) != 0)
            return "<no value>";
        if (type == win::REG_DWORD)
            return "dword:" + std::to_string(static_cast<unsigned char>(data[0]) |
                                             (static_cast<unsigned char>(data[1]) << 8));
        if (type == win::REG_MULTI_SZ) {
            std::replace(data.begin(), data.end(), '\0', '|');
            return "multi:" + data;
        }
        return data; // REG_SZ with its terminating zero
    }

    Lines Settings(win::HKEY_ROOT root) {
        Lines values;
        for (const char* name :
             {"HomeDirectory", "InstallDirectory", "InstallType", "DatabaseLevel", "States", "UpdateLevel"})
            values.push_back(std::string(name) + "=" + Value(root, kSettingsKey, name));
        return values;
    }

    tltest::ParsedShellLink Link(const std::string& windowsPath) {
        std::string why;
        const auto link = tltest::ParseShellLink(ReadFile(Host(windowsPath)), &why);
        EXPECT_TRUE(link.has_value()) << windowsPath << ": " << why;
        return link.value_or(tltest::ParsedShellLink{});
    }

    std::int64_t WriteTime(const std::string& windowsPath) {
        struct stat info {};
        EXPECT_EQ(::stat(Host(windowsPath).c_str(), &info), 0) << windowsPath;
        return tl::FileTimeFromTimespec(info.st_mtim);
    }

    static std::int64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second) {
        win::SYSTEMTIME time;
        time.wYear = static_cast<win::WORD>(year);
        time.wMonth = static_cast<win::WORD>(month);
        time.wDay = static_cast<win::WORD>(day);
        time.wHour = static_cast<win::WORD>(hour);
        time.wMinute = static_cast<win::WORD>(minute);
        time.wSecond = static_cast<win::WORD>(second);
        std::int64_t fileTime = 0;
        EXPECT_TRUE(win::SystemTimeToFileTime(time, fileTime));
        return fileTime;
    }

    Lines Query(const std::string& home, const std::string& base, const std::string& sqliteQuery) {
        CDatabase db;
        db.OpenEx(FormatConnectString(home, base));
        return Rows(db, sqliteQuery);
    }

    static bool PathExists(const std::string& path) { return tl::PathExists(path); }
    std::string Installed(const std::string& name) {
        return ReadFile(Host(std::string(kInstallDirectory) + "\\" + name));
    }
};

const std::string kProgramFolder = "C:\\Program Files\\Fenmore Software\\Tallymar\\";
const std::string kStartMenuLink =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tallydesk\\Tallydesk.lnk";
const std::string kDesktop = "C:\\Users\\tester\\Desktop\\";

} // namespace

TEST_F(FullInstall, ThisComputerOnlyInstallsEverythingAndSaysSo) {
    const int result = Install();
    ExpectGoldenLog("type0.log");
    ASSERT_TRUE(result) << ::testing::PrintToString(MessageTexts());
    EXPECT_EQ(ui.Messages().size(), 1u);
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages().back().text, "Tallymar has been installed on this computer");
    EXPECT_EQ(ui.Messages().back().caption, "Tallymar Setup");
    EXPECT_EQ(ui.Messages().back().style, win::MB_OK | win::MB_ICONINFORMATION);
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
    EXPECT_EQ(ui.ProgressEvents().front(), "start");
    EXPECT_EQ(ui.ProgressEvents().back(), "stop");
    EXPECT_EQ(rosterRuns, 1);

    // The settings, per user (the whole hive) and in the machine-wide copy.
    EXPECT_EQ(ReadFile(win::HiveFile(win::HKEY_CURRENT_USER)),
              Golden("type0-user.reg", ReadFile(win::HiveFile(win::HKEY_CURRENT_USER))));
    EXPECT_EQ(Settings(win::HKEY_LOCAL_MACHINE), Settings(win::HKEY_CURRENT_USER));
    EXPECT_EQ(Value(win::HKEY_CURRENT_USER, kSettingsKey, "HomeDirectory"),
              std::string("\\\\TESTPC\\BankruptcyCases") + '\0');

    // The product files: what the manifest asks for, with the manifest's times on support files.
    EXPECT_THAT(FolderContents(kProgramFolder),
                ElementsAre("AZexemptions.xml", "Creditors.ini", "TLMFIMPRT.EXE", "TLMUINST.exe",
                            "TLMUINST.xml", "Tallymar Help.chm", "Tallymar.exe", "TlSplash.exe",
                            "tlmAZ.dll"));
    EXPECT_EQ(Installed("Tallymar.exe"), std::string(20000, 'T') + "the product");
    EXPECT_EQ(WriteTime(kProgramFolder + "Tallymar Help.chm"), FileTimeOf(2024, 2, 29, 23, 59, 58));
    EXPECT_EQ(WriteTime(kProgramFolder + "Creditors.ini"), FileTimeOf(2024, 3, 14, 10, 20, 30));
    EXPECT_EQ(WriteTime(std::string(kLocalHome) + "\\TallymarPlaces.mdb"), FileTimeOf(2024, 1, 15, 9, 30, 0));
    EXPECT_THAT(FolderContents(kLocalHome),
                ElementsAre("CreditorNames.mdb", "MeansTest.mdb", "Tallymar.mdb", "TallymarPlaces.mdb"));
    EXPECT_EQ(ReadFile(Host("C:\\Users\\tester\\AppData\\Local\\tlmscanx.ini")),
              "[ScanSnap]\r\nProfile=Tallymar\r\n");

    // The databases: the firm's row, the imported creditors.
    EXPECT_THAT(Query("\\\\TESTPC\\BankruptcyCases", "tallymar", "SELECT UserName, Zipcode FROM UserName"),
                ElementsAre("Smith & O'Hara Bankruptcy Law|"));
    EXPECT_THAT(Query(kLocalHome, "CreditorNames",
                      "SELECT CreditorName, City, Zip, PlusFour FROM CreditorTable ORDER BY 1"),
                ElementsAre("Macy's|Mason|45040|8218", "Sears Card|Sioux Falls|57117|0"));

    // The links, read back field by field.
    const auto startMenu = Link(kStartMenuLink);
    EXPECT_EQ(startMenu.localBasePath, kProgramFolder + "TlSplash.exe");
    EXPECT_EQ(startMenu.name, u"Tallydesk");
    EXPECT_EQ(startMenu.driveType, win::DRIVE_FIXED);
    EXPECT_EQ(startMenu.fileSize, 11u);
    EXPECT_EQ(Link(kDesktop + "Tallydesk.lnk").localBasePath, kProgramFolder + "TlSplash.exe");
    const auto home = Link(kDesktop + "BankruptcyCases.lnk");
    EXPECT_EQ(home.localBasePath, kLocalHome);
    EXPECT_EQ(home.fileAttributes, win::FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(home.name, u"BankruptcyCases");

    // The uninstall manifest, byte for byte, ending with the product key.
    const std::string manifest = Installed("TLMUINST.xml");
    EXPECT_EQ(manifest, Golden("type0-TLMUINST.xml", manifest));
    EXPECT_TRUE(manifest.ends_with(
        "<DeleteKey>Software\\Fenmore Software\\Tallymar</DeleteKey>\r\n</TallymarUninstall>\r\n"))
        << manifest;

    // The uninstall registration and the scanner key.
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallymar";
    EXPECT_EQ(Value(win::HKEY_LOCAL_MACHINE, uninstall, "DisplayName"), std::string("Tallydesk") + '\0');
    EXPECT_EQ(Value(win::HKEY_LOCAL_MACHINE, uninstall, "UninstallString"),
              kProgramFolder + "TLMUINST.exe" + '\0');
    EXPECT_EQ(Value(win::HKEY_LOCAL_MACHINE, kScannerExtensionKey, ""),
              kProgramFolder + "Tallymar.exe" + '\0');
    EXPECT_EQ(Value(win::HKEY_LOCAL_MACHINE, kScannerExtensionKey, "Config"),
              std::string("C:\\Users\\tester\\AppData\\Local\\tlmscanx.ini") + '\0');
    EXPECT_EQ(Value(win::HKEY_LOCAL_MACHINE, kScannerExtensionKey, "Path"),
              std::string("C:\\Users\\tester\\AppData\\Local\\Temp") + '\0');

    // The network user, its access and the share; the master password is nowhere in clear.
    win::SECURITY_DESCRIPTOR descriptor;
    ASSERT_EQ(win::GetNamedSecurityInfoA(kLocalHome, win::SE_FILE_OBJECT, win::DACL_SECURITY_INFORMATION,
                                         descriptor),
              0u);
    ASSERT_TRUE(descriptor.dacl.has_value());
    EXPECT_EQ(descriptor.dacl->entries.front().mask,
              win::GENERIC_ALL | win::STANDARD_RIGHTS_DELETE | win::FILE_ALL_ACCESS);
    EXPECT_TRUE(descriptor.dacl->entries.front().sid.ends_with("-1000"));
    EXPECT_EQ(tl::FindLocalShare("BankruptcyCases")->path, kLocalHome);
    EXPECT_FALSE(PrefixContains(kMasterPassword));
}

TEST_F(FullInstall, SharedFilesHereIsTheSameInstallationWithItsOwnType) {
    answers.installType = 1;
    answers.attorneysNow = false;
    answers.states = {};
    ASSERT_TRUE(Install()) << ::testing::PrintToString(MessageTexts());
    ExpectGoldenLog("type1.log");
    EXPECT_EQ(Value(win::HKEY_CURRENT_USER, kSettingsKey, "InstallType"), "dword:1");
    EXPECT_EQ(Value(win::HKEY_LOCAL_MACHINE, kSettingsKey, "States"), std::string("multi:|"));
    EXPECT_EQ(rosterRuns, 0);
    EXPECT_FALSE(PathExists(kProgramFolder + "tlmAZ.dll"));
    EXPECT_FALSE(PrefixContains(kMasterPassword));
}

TEST_F(FullInstall, SharedFilesElsewhereOnlyPointsAtTheMainComputer) {
    MakeMainComputer("MAIN", "Cases");
    answers.installType = 2;
    answers.homeDirectory = "\\\\MAIN\\Cases";
    ASSERT_TRUE(Install()) << ::testing::PrintToString(MessageTexts());
    ExpectGoldenLog("type2.log");
    EXPECT_EQ(Value(win::HKEY_CURRENT_USER, kSettingsKey, "HomeDirectory"),
              std::string("\\\\MAIN\\Cases") + '\0');
    EXPECT_EQ(Value(win::HKEY_CURRENT_USER, kSettingsKey, "InstallType"), "dword:2");
    // No folder, user, share or database of its own; nothing bound for the shared files.
    EXPECT_FALSE(PathExists(kLocalHome));
    EXPECT_FALSE(std::filesystem::exists(machine().Prefix() / "security" / "accounts.txt"));
    EXPECT_TRUE(tl::ListLocalShares().empty());
    EXPECT_THAT(FolderContents("\\\\MAIN\\Cases"),
                ElementsAre("CreditorNames.mdb", "MeansTest.mdb", "Tallymar.mdb", "TallymarPlaces.mdb"));
    EXPECT_EQ(ReadFile(Host("\\\\MAIN\\Cases\\MeansTest.mdb")), "");
    EXPECT_EQ(rosterRuns, 0);
    // The home link targets the typed UNC path and is named after the hidden share-name field.
    const auto home = Link(kDesktop + "BankruptcyCases.lnk");
    EXPECT_EQ(home.linkInfoFlags, 2u);
    EXPECT_EQ(home.netName, "\\\\MAIN\\Cases");
    EXPECT_EQ(home.commonPathSuffix, "");
    EXPECT_EQ(home.name, u"BankruptcyCases");
}

TEST_F(FullInstall, ModulesWithoutAnInstallFlagAndObsoleteOnesAreLeftOut) {
    ASSERT_TRUE(Install());
    EXPECT_FALSE(PathExists(kProgramFolder + "Optional.dll"));
    EXPECT_FALSE(PathExists(kProgramFolder + "Retired.dll"));
    EXPECT_FALSE(PathExists(kProgramFolder + "tlmCA.dll"));
    for (const auto& request : server.Requests())
        EXPECT_THAT(request.path, ::testing::Not(::testing::AnyOf("/CurrentVersion/Optional.dll",
                                                                  "/CurrentVersion/Retired.dll",
                                                                  "/CurrentVersion/tlmCA.dll")));
}

TEST_F(FullInstall, BothProgramLinksPointAtTheProductWithoutTheStarter) {
    Withdraw("TlSplash.exe");
    ASSERT_TRUE(Install());
    EXPECT_EQ(Link(kStartMenuLink).localBasePath, kProgramFolder + "Tallymar.exe");
    EXPECT_EQ(Link(kDesktop + "Tallydesk.lnk").localBasePath, kProgramFolder + "Tallymar.exe");
    EXPECT_EQ(Link(kDesktop + "Tallydesk.lnk").fileSize, 20011u);
}

TEST_F(FullInstall, ARunAgainWithTheSameUserAndShareSucceedsAndAddsTheEntryAgain) {
    ASSERT_TRUE(Install());
    ASSERT_TRUE(Install()) << ::testing::PrintToString(MessageTexts());
    EXPECT_EQ(ui.MessageTexts(), (Lines{"Tallymar has been installed on this computer",
                                        "Tallymar has been installed on this computer"}));
    win::SECURITY_DESCRIPTOR descriptor;
    ASSERT_EQ(win::GetNamedSecurityInfoA(kLocalHome, win::SE_FILE_OBJECT, win::DACL_SECURITY_INFORMATION,
                                         descriptor),
              0u);
    ASSERT_GE(descriptor.dacl->entries.size(), 3u);
    EXPECT_EQ(descriptor.dacl->entries[0], descriptor.dacl->entries[1]);
    EXPECT_TRUE(descriptor.dacl->entries[0].sid.ends_with("-1000"));
    EXPECT_EQ(tl::ListLocalShares().size(), 1u);
}

TEST_F(FullInstall, ANullDaclEndsWithTheNewEntryAloneAndDaclFlagsAreKept) {
    for (const bool nullDacl : {true, false}) {
        const std::string home = nullDacl ? "C:\\Open" : "C:\\Protected";
        answers.homeDirectory = home;
        answers.shareName = nullDacl ? "Open" : "Protected";
        std::filesystem::create_directories(Host(home));
        win::SECURITY_DESCRIPTOR given;
        ASSERT_TRUE(
            win::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;BA)", 1, given));
        if (nullDacl)
            ASSERT_EQ(win::SetNamedSecurityInfoA(home, win::SE_FILE_OBJECT, win::DACL_SECURITY_INFORMATION,
                                                 nullptr),
                      0u);
        else
            ASSERT_EQ(win::SetNamedSecurityInfoA(home, win::SE_FILE_OBJECT,
                                                 win::DACL_SECURITY_INFORMATION |
                                                     win::PROTECTED_DACL_SECURITY_INFORMATION,
                                                 &*given.dacl),
                      0u);
        ASSERT_TRUE(Install()) << home;
        win::SECURITY_DESCRIPTOR descriptor;
        ASSERT_EQ(
            win::GetNamedSecurityInfoA(home, win::SE_FILE_OBJECT, win::DACL_SECURITY_INFORMATION, descriptor),
            0u);
        std::string text;
        ASSERT_TRUE(win::ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, 1, win::DACL_SECURITY_INFORMATION, text));
        const std::string entry = "(A;OICI;0x101f01ff;;;" + descriptor.dacl->entries.front().sid + ")";
        EXPECT_EQ(text, nullDacl ? "D:AI" + entry : "D:PAI" + entry + "(A;OICI;FA;;;BA)");
    }
}

TEST_F(FullInstall, CancellingTheWizardChangesNothingButTheLog) {
    Publish();
    const std::string log = "drive_c/Users/tester/Documents/TallymarInstallLog.txt";
    const Lines before = PrefixListing(log);
    answers.finish = false;
    EXPECT_FALSE(RunFullInstall(0));
    EXPECT_EQ(PrefixListing(log), before);
    EXPECT_THAT(LogLines(), ElementsAre("**** Beginning full new-scheme install",
                                        "Executable path is <program>", "Fetching manifest from <server>/",
                                        "Manifest signature not checked: no trusted release key",
                                        "Abandoning install at user request"));
    EXPECT_THAT(ui.Messages(), IsEmpty());
    EXPECT_THAT(ui.ProgressEvents(), ElementsAre("start", "stop"));
}
