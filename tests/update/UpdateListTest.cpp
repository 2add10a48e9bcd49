#include "update/UpdateList.h"

#include "platform/FileTime.h"
#include "release/TargetFolders.h"
#include "tests/release/UpdateTestBase.h"
#include "update/FileComparison.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr const char* kInstalled = "C:\\Program Files\\Fenmore Software\\Tallymar\\";
constexpr std::int64_t kApril18 = 127898424000000000LL; // 18 Apr 2006 14:00:00 UTC
constexpr std::int64_t kOneSecond = 10000000;

class UpdateList : public tltest::UpdateTestBase {
protected:
    UpdateList() { sheet.manifestObjects.push_back(std::make_unique<XCurrentVersion>()); }

    XCurrentVersion& Manifest() { return *sheet.manifestObjects.front(); }

    void AddModule(const std::string& name, const std::string& version, std::int32_t flags,
                   const std::string& state = "") {
        auto module = std::make_unique<XModule>();
        module->Name = name;
        module->Description = name + " description";
        module->Remarks = name + " remarks";
        module->Version = version;
        module->Flags = flags;
        module->State = state;
        Manifest().Modules.push_back(std::move(module));
    }

    // A support file dated 18 Apr 2006 14:00:00 unless told otherwise.
    XSupportFile& AddSupportFile(const std::string& name, std::int32_t flags,
                                 const std::string& time = "14:00:00") {
        auto file = std::make_unique<XSupportFile>();
        file->Name = name;
        file->Description = name + " description";
        file->Remarks = name + " remarks";
        EXPECT_TRUE(file->Date.FromParts(4, 18, 2006));
        file->Time = time;
        file->Flags = flags;
        Manifest().SupportFiles.push_back(std::move(file));
        return *Manifest().SupportFiles.back();
    }

    // Installs a copy of a test program under a product name.
    void InstallProgram(const std::string& windowsPath, const std::string& fixture) {
        WriteFile(Host(windowsPath), ReadFile(std::string(TL_TEST_DATA_DIR) + "/pe/" + fixture));
    }

    void InstallFile(const std::string& windowsPath, std::int64_t fileTime) {
        WriteFile(Host(windowsPath), "data");
        const timespec times[2] = {tl::TimespecFromFileTime(fileTime), tl::TimespecFromFileTime(fileTime)};
        ASSERT_EQ(::utimensat(AT_FDCWD, Host(windowsPath).c_str(), times, 0), 0);
    }

    static std::vector<std::string> RowNames() {
        std::vector<std::string> names;
        for (const UpdateItem& item : theUpdateList)
            names.push_back(item.Name);
        return names;
    }

    std::vector<std::string> ModuleNames() {
        std::vector<std::string> names;
        for (const auto& module : Manifest().Modules)
            names.push_back(module->Name);
        return names;
    }

    std::vector<std::string> SupportFileNames() {
        std::vector<std::string> names;
        for (const auto& file : Manifest().SupportFiles)
            names.push_back(file->Name);
        return names;
    }
};

} // namespace

TEST(VersionComparison, PartsCompareAsNumbersFromTheFirst) {
    const VersionParts installed{2, 0, 0, 5};
    EXPECT_TRUE(IsNewerVersion(installed, ParseManifestVersion("2.0.1.0")));
    EXPECT_FALSE(IsNewerVersion(installed, ParseManifestVersion("2.0.0.5")));
    EXPECT_FALSE(IsNewerVersion(installed, ParseManifestVersion("1.9.9.9")));
    EXPECT_TRUE(IsNewerVersion(installed, ParseManifestVersion("3")));
    EXPECT_FALSE(IsNewerVersion(VersionParts{1, 0, 0, 10}, ParseManifestVersion("1.0.0.9")));
    EXPECT_TRUE(IsNewerVersion(VersionParts{1, 0, 0, 9}, ParseManifestVersion("1.0.0.10")));
}

TEST(VersionComparison, MissingOrMalformedManifestPartsReadAsZero) {
    EXPECT_EQ(ParseManifestVersion("2.1"), (VersionParts{2, 1, 0, 0}));
    EXPECT_EQ(ParseManifestVersion(""), (VersionParts{0, 0, 0, 0}));
    EXPECT_EQ(ParseManifestVersion("1.2.3.4.5"), (VersionParts{1, 2, 3, 4}));
    EXPECT_EQ(ParseManifestVersion("3.x.1.1"), (VersionParts{3, 0, 0, 0}));
    EXPECT_EQ(ParseManifestVersion("1.99999999999"), (VersionParts{1, 4294967295u, 0, 0}));
}

TEST_F(UpdateList, ModulesAreComparedByTheVersionOfTheInstalledProgram) {
    InstallProgram(std::string(kInstalled) + "Tallymar.exe", "pe64_2.0.0.5.exe");
    InstallProgram(std::string(kInstalled) + "Same.exe", "pe64_2.0.0.5.exe");
    InstallProgram(std::string(kInstalled) + "Older.dll", "pe32_2.0.0.5.dll");
    InstallProgram(std::string(kInstalled) + "Numeric.dll", "pe64_1.0.0.10.dll");
    AddModule("Tallymar.exe", "2.0.1.0", FlagInstallIfAbsent);
    AddModule("Same.exe", "2.0.0.5", FlagInstallIfAbsent);
    AddModule("Older.dll", "1.9.9.9", 0);
    AddModule("Numeric.dll", "1.0.0.9", 0);
    BuildUpdateList(sheet);
    const std::string folder = kInstalled;
    EXPECT_THAT(LogLines(),
                ElementsAre("Setup will replace " + folder + "Tallymar.exe 2.0.0.5 with 2.0.1.0",
                            "Setup will not replace " + folder + "Same.exe 2.0.0.5 with 2.0.0.5",
                            "Setup will not replace " + folder + "Older.dll 2.0.0.5 with 1.9.9.9",
                            "Setup will not replace " + folder + "Numeric.dll 1.0.0.10 with 1.0.0.9"));
    ASSERT_EQ(theUpdateList.size(), 1u);
    const UpdateItem& row = theUpdateList[0];
    EXPECT_EQ(row.Name, "Tallymar.exe");
    EXPECT_EQ(row.Description, "Tallymar.exe description");
    EXPECT_EQ(row.Remarks, "Tallymar.exe remarks");
    EXPECT_EQ(row.Flags, FlagInstallIfAbsent);
    EXPECT_EQ(row.FileTime, -1);
    EXPECT_THAT(ModuleNames(), ElementsAre("Tallymar.exe")) << "entries that need nothing leave the manifest";
}

TEST_F(UpdateList, AProgramWithoutReadableVersionIsAlwaysReplaced) {
    InstallProgram(std::string(kInstalled) + "NoVersion.exe", "pe64_no_version_resource.exe");
    InstallProgram(std::string(kInstalled) + "BadRoot.dll", "pe32_bad_fixed_info_signature.dll");
    AddModule("NoVersion.exe", "1.0.0.0", 0);
    AddModule("BadRoot.dll", "1.0.0.0", 0);
    BuildUpdateList(sheet);
    EXPECT_THAT(LogLines(),
                ElementsAre("**** GetFileVersionInfo failed for " + std::string(kInstalled) + "NoVersion.exe",
                            "**** GetFileVersionInfo failed for " + std::string(kInstalled) + "BadRoot.dll"));
    EXPECT_THAT(RowNames(), ElementsAre("NoVersion.exe", "BadRoot.dll"));
}

TEST_F(UpdateList, SupportFilesAreReplacedOnlyWhenTheManifestTimeIsLater) {
    InstallFile(std::string(kInstalled) + "Same.ini", kApril18);
    InstallFile(std::string(kInstalled) + "Older.ini", kApril18 - kOneSecond);
    InstallFile(std::string(kInstalled) + "Newer.ini", kApril18 + kOneSecond);
    AddSupportFile("Same.ini", 0);
    AddSupportFile("Older.ini", 0);
    AddSupportFile("Newer.ini", 0);
    BuildUpdateList(sheet);
    const std::string folder = kInstalled;
    EXPECT_THAT(LogLines(), ElementsAre("Setup will not replace " + folder +
                                            "Same.ini dated 04/18/2006 14:00:00 with 04/18/2006 14:00:00",
                                        "Setup will replace " + folder +
                                            "Older.ini dated 04/18/2006 13:59:59 with 04/18/2006 14:00:00",
                                        "Setup will not replace " + folder +
                                            "Newer.ini dated 04/18/2006 14:00:01 with 04/18/2006 14:00:00"));
    ASSERT_THAT(RowNames(), ElementsAre("Older.ini"));
    EXPECT_EQ(theUpdateList[0].FileTime, kApril18);
    EXPECT_THAT(SupportFileNames(), ElementsAre("Older.ini"));
}

TEST_F(UpdateList, AbsentFilesAreInstalledOnlyWhenTheirFlagsAskForIt) {
    sheet.states = {"ca", "tx"};
    AddModule("Required.exe", "1.0.0.0", FlagInstallIfAbsent);
    AddModule("Texas.dll", "1.0.0.0", FlagStateModule, "TX");
    AddModule("Florida.dll", "1.0.0.0", FlagStateModule, "FL");
    AddModule("Optional.dll", "1.0.0.0", 0);
    AddModule("Gone.dll", "1.0.0.0", FlagObsolete);
    AddModule("Retired.dll", "1.0.0.0", FlagObsolete | FlagInstallIfAbsent); // nothing to delete
    AddSupportFile("Checklist.ini", FlagInstallIfAbsent | 0x100);
    AddSupportFile("Optional.txt", FlagAlwaysReplace);
    BuildUpdateList(sheet);
    const std::string folder = kInstalled;
    EXPECT_THAT(LogLines(),
                ElementsAre("Setup will install " + folder + "Required.exe, which is not present",
                            "Setup will install " + folder + "Texas.dll, which is not present",
                            "Setup will install " + folder + "Checklist.ini, which is not present"));
    EXPECT_THAT(RowNames(), ElementsAre("Required.exe", "Texas.dll", "Checklist.ini"));
    EXPECT_EQ(theUpdateList[2].FileTime, kApril18);
    EXPECT_THAT(ModuleNames(), ElementsAre("Required.exe", "Texas.dll"));
    EXPECT_THAT(SupportFileNames(), ElementsAre("Checklist.ini"));
}

TEST_F(UpdateList, StatesAreSelectedWithoutRegardToCase) {
    sheet.states = {"tx", "Ca"};
    EXPECT_TRUE(IsStateSelected(sheet, "TX"));
    EXPECT_TRUE(IsStateSelected(sheet, "cA"));
    EXPECT_FALSE(IsStateSelected(sheet, "FL"));
    EXPECT_FALSE(IsStateSelected(sheet, ""));
}

TEST_F(UpdateList, ExistingFilesMarkedObsoleteOrAlwaysReplacedNeedNoComparison) {
    InstallProgram(std::string(kInstalled) + "Old.exe", "pe64_2.0.0.5.exe");
    InstallFile(std::string(kInstalled) + "Old.txt", kApril18 + 1000 * kOneSecond);
    InstallProgram(std::string(kInstalled) + "Always.dll", "pe64_1.0.0.10.dll");
    AddModule("Old.exe", "1.0.0.0", FlagObsolete);
    AddModule("Always.dll", "1.0.0.0", FlagAlwaysReplace);
    AddSupportFile("Old.txt", FlagObsolete);
    BuildUpdateList(sheet);
    EXPECT_THAT(LogLines(), IsEmpty());
    EXPECT_THAT(RowNames(), ElementsAre("Old.exe", "Always.dll", "Old.txt"));
}

TEST_F(UpdateList, FilesGoToTheFolderTheirFlagsName) {
    EXPECT_EQ(TargetFolderFor(sheet, 0), kInstalled);
    EXPECT_EQ(TargetFolderFor(sheet, FlagSharedFolder), "C:\\TallymarData\\");
    EXPECT_EQ(TargetFolderFor(sheet, FlagLocalAppData), "C:\\Users\\tester\\AppData\\Local\\");
    EXPECT_EQ(TargetFolderFor(sheet, 0x48), "C:\\TallymarData\\") << "the shared folder wins";
    AddModule("Shared.dll", "1.0.0.0", 0x48 | FlagInstallIfAbsent);
    BuildUpdateList(sheet);
    EXPECT_THAT(LogLines(),
                ElementsAre("Setup will install C:\\TallymarData\\Shared.dll, which is not present"));
}

TEST_F(UpdateList, BuildingAgainAfterBackAndNextGivesTheSameRows) {
    InstallProgram(std::string(kInstalled) + "Tallymar.exe", "pe64_2.0.0.5.exe");
    InstallProgram(std::string(kInstalled) + "Same.exe", "pe64_2.0.0.5.exe");
    InstallFile(std::string(kInstalled) + "Older.ini", kApril18 - kOneSecond);
    AddModule("Tallymar.exe", "2.0.1.0", 0);
    AddModule("Same.exe", "2.0.0.5", 0);
    AddModule("New.exe", "1.0.0.0", FlagInstallIfAbsent);
    AddSupportFile("Older.ini", 0);
    BuildUpdateList(sheet);
    const std::vector<std::string> first = RowNames();
    BuildUpdateList(sheet);
    EXPECT_EQ(RowNames(), first);
    EXPECT_THAT(first, ElementsAre("Tallymar.exe", "New.exe", "Older.ini"));
    EXPECT_EQ(LogLines().size(), 4u + 3u);
}

TEST_F(UpdateList, SupportFilesWithoutAValidManifestTimeAreReplacedOnlyWhenForced) {
    InstallFile(std::string(kInstalled) + "Undated.txt", kApril18);
    InstallFile(std::string(kInstalled) + "Forced.txt", kApril18);
    AddSupportFile("Undated.txt", 0).Date = CPackedDate::NotApplicable();
    AddSupportFile("Forced.txt", FlagAlwaysReplace).Date = CPackedDate::Unknown();
    AddSupportFile("BadTime.txt", FlagInstallIfAbsent, "14:00");
    BuildUpdateList(sheet);
    const std::string folder = kInstalled;
    EXPECT_THAT(LogLines(),
                ElementsAre("Setup will not replace " + folder +
                                "Undated.txt dated 04/18/2006 14:00:00 with 00/00/0000 14:00:00",
                            "Setup will install " + folder + "BadTime.txt, which is not present"));
    ASSERT_THAT(RowNames(), ElementsAre("Forced.txt", "BadTime.txt"));
    EXPECT_EQ(theUpdateList[0].FileTime, -1);
    EXPECT_EQ(theUpdateList[1].FileTime, -1) << "no time: the download keeps the time of writing";
}

TEST_F(UpdateList, AFileThatCannotBeOpenedIsDropped) {
    WriteFile(Host(std::string(kInstalled) + "Folder.txt\\inside"), "x");
    AddSupportFile("Folder.txt", 0);
    BuildUpdateList(sheet);
    EXPECT_THAT(LogLines(), ElementsAre("**** Can't get timestamp for " + std::string(kInstalled) +
                                        "Folder.txt to check versioning"));
    EXPECT_THAT(RowNames(), IsEmpty());
    EXPECT_THAT(SupportFileNames(), IsEmpty());
}

TEST_F(UpdateList, ManifestNamesThatAreNotPlainFileNamesAreDropped) {
    WriteFile(Host("C:\\Windows\\system.ini"), "x");
    AddModule("..\\..\\..\\Windows\\evil.exe", "1.0.0.0", FlagInstallIfAbsent);
    AddSupportFile("..\\..\\..\\Windows\\system.ini", FlagObsolete);
    AddModule("Good.exe", "1.0.0.0", FlagInstallIfAbsent);
    BuildUpdateList(sheet);
    EXPECT_THAT(LogLines(), ElementsAre("**** Refusing file name ..\\..\\..\\Windows\\evil.exe from the file "
                                        "manifest: not a plain file name",
                                        "Setup will install " + std::string(kInstalled) +
                                            "Good.exe, which is not present",
                                        "**** Refusing file name ..\\..\\..\\Windows\\system.ini from the "
                                        "file manifest: not a plain file name"));
    EXPECT_THAT(RowNames(), ElementsAre("Good.exe"));
}

TEST_F(UpdateList, SharedCheckLooksOnlyAtTheHomeDirectoryAndStopsAtTheFirstNeed) {
    InstallProgram("C:\\TallymarData\\Current.dll", "pe64_2.0.0.5.exe");
    InstallProgram("C:\\TallymarData\\Stale.dll", "pe64_1.0.0.10.dll");
    AddModule("Local.exe", "9.0.0.0", FlagInstallIfAbsent);
    AddModule("Current.dll", "2.0.0.5", FlagSharedFolder);
    AddModule("Stale.dll", "1.0.0.11", FlagSharedFolder);
    AddModule("Later.dll", "1.0.0.0", FlagSharedFolder | FlagInstallIfAbsent);
    CheckSharedFileUpdates(sheet);
    EXPECT_EQ(sheet.sharedUpdatesNeeded, 1);
    EXPECT_THAT(
        LogLines(),
        ElementsAre("Setup will not replace shared C:\\TallymarData\\Current.dll 2.0.0.5 with 2.0.0.5",
                    "Setup will replace shared C:\\TallymarData\\Stale.dll 1.0.0.10 with 1.0.0.11"));
    EXPECT_EQ(Manifest().Modules.size(), 4u) << "the check changes nothing";
}

TEST_F(UpdateList, SharedCheckCountsNeitherUnreadableVersionsNorObsoleteFiles) {
    InstallProgram("C:\\TallymarData\\NoVersion.dll", "pe64_no_version_resource.exe");
    InstallProgram("C:\\TallymarData\\BadRoot.dll", "pe32_bad_fixed_info_signature.dll");
    InstallFile("C:\\TallymarData\\Obsolete.txt", kApril18 + kOneSecond);
    InstallFile("C:\\TallymarData\\Same.txt", kApril18);
    AddModule("NoVersion.dll", "9.0.0.0", FlagSharedFolder);
    AddModule("BadRoot.dll", "9.0.0.0", FlagSharedFolder);
    AddModule("Absent.dll", "9.0.0.0", FlagSharedFolder);
    AddModule("Retired.dll", "9.0.0.0", FlagSharedFolder | FlagObsolete | FlagInstallIfAbsent);
    AddSupportFile("Obsolete.txt", FlagSharedFolder | FlagObsolete);
    AddSupportFile("Same.txt", FlagSharedFolder);
    CheckSharedFileUpdates(sheet);
    EXPECT_EQ(sheet.sharedUpdatesNeeded, 0);
    EXPECT_THAT(
        LogLines(),
        ElementsAre(
            "**** GetFileVersionInfo failed for C:\\TallymarData\\NoVersion.dll",
            "**** VerQueryValue failed for file C:\\TallymarData\\BadRoot.dll",
            "Setup will not replace shared C:\\TallymarData\\Obsolete.txt dated 04/18/2006 14:00:01 with "
            "04/18/2006 14:00:00",
            "Setup will not replace shared C:\\TallymarData\\Same.txt dated 04/18/2006 14:00:00 with "
            "04/18/2006 14:00:00"));
}

TEST_F(UpdateList, SharedCheckCountsAbsentFilesThatWouldBeInstalledAndForcedReplacements) {
    AddSupportFile("Texas.txt", FlagSharedFolder | FlagStateModule, "").State = "TX";
    CheckSharedFileUpdates(sheet);
    EXPECT_EQ(sheet.sharedUpdatesNeeded, 1) << "selected states are not consulted";
    EXPECT_THAT(LogLines(), IsEmpty());

    sheet.sharedUpdatesNeeded = 0;
    Manifest().SupportFiles.clear();
    InstallFile("C:\\TallymarData\\Forced.txt", kApril18 + kOneSecond);
    AddSupportFile("Forced.txt", FlagSharedFolder | FlagAlwaysReplace);
    CheckSharedFileUpdates(sheet);
    EXPECT_EQ(sheet.sharedUpdatesNeeded, 1);
}
