#include "release/DownloadFile.h"

#include "platform/FileTime.h"
#include "platform/IoFaults.h"
#include "tests/release/UpdateTestBase.h"

#include <cerrno>
#include <ctime>
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <zlib.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class DownloadFile : public tltest::UpdateTestBase {
protected:
    static constexpr const char* kInstalled = "C:\\Program Files\\Fenmore Software\\Tallymar\\";

    std::string Installed(const std::string& name) { return ReadFile(Host(kInstalled + name)); }
    mode_t ModeOf(const std::string& windowsPath) {
        struct stat info {};
        EXPECT_EQ(::stat(Host(windowsPath).c_str(), &info), 0) << windowsPath;
        return info.st_mode & 07777;
    }
    std::int64_t MTimeOf(const std::string& windowsPath) {
        struct stat info {};
        EXPECT_EQ(::stat(Host(windowsPath).c_str(), &info), 0) << windowsPath;
        return tl::FileTimeFromTimespec(info.st_mtim);
    }
    std::vector<std::string> DeleteFileEntries() {
        std::vector<std::string> paths;
        for (const auto& root : sheet.uninstallManifest.roots) {
            for (const auto& entry : root->children) {
                EXPECT_EQ(entry->name, "DeleteFile");
                paths.push_back(entry->Text());
            }
        }
        return paths;
    }
    std::vector<std::string> RequestedPaths() {
        std::vector<std::string> paths;
        for (const auto& request : server.Requests())
            paths.push_back(request.path);
        return paths;
    }
};

} // namespace

TEST_F(DownloadFile, ServerNamesReplaceThreeExtensionsInAnyCase) {
    const std::pair<const char*, const char*> names[] = {
        {"CreditorNames.mdb", "CreditorNames.exe"},
        {"PLACES.MDB", "PLACES.exe"},
        {"tlmscanx.ini", "tlmscanx.txt"},
        {"States.Tlv", "States.bin"},
        {"Tallymar.exe", "Tallymar.exe"},
        {"readme.mdbx", "readme.mdbx"},
        {"mdb", "exe"},
        {"db", "db"},
    };
    for (const auto& [local, remote] : names)
        EXPECT_EQ(ServerFileName(local), remote) << local;
    EXPECT_EQ(DownloadUrlFor("Tallymar Help #2.chm"),
              server.BaseUrl() + "CurrentVersion/Tallymar%20Help%20%232.chm");
}

TEST_F(DownloadFile, FetchesUnderTheServerNameAndWritesTheLocalName) {
    server.Serve("/CurrentVersion/CreditorNames.exe", "creditor database");
    server.Serve("/CurrentVersion/tlmscanx.txt", "[scanner]\r\n");
    server.Serve("/CurrentVersion/Tallymar Help.chm", "help");
    ASSERT_TRUE(::DownloadFile(sheet, "CreditorNames.mdb", FolderInstall, -1));
    ASSERT_TRUE(::DownloadFile(sheet, "tlmscanx.ini", FolderInstall, -1));
    ASSERT_TRUE(::DownloadFile(sheet, "Tallymar Help.chm", FolderInstall, -1));
    EXPECT_EQ(Installed("CreditorNames.mdb"), "creditor database");
    EXPECT_EQ(Installed("tlmscanx.ini"), "[scanner]\r\n");
    EXPECT_EQ(Installed("Tallymar Help.chm"), "help");
    EXPECT_THAT(FolderContents(kInstalled),
                ElementsAre("CreditorNames.mdb", "Tallymar Help.chm", "tlmscanx.ini"));
    EXPECT_THAT(RequestedPaths(),
                ElementsAre("/CurrentVersion/CreditorNames.exe", "/CurrentVersion/tlmscanx.txt",
                            "/CurrentVersion/Tallymar Help.chm"));
    EXPECT_THAT(
        LogLines(),
        ElementsAre("Setup has installed C:\\Program Files\\Fenmore Software\\Tallymar\\CreditorNames.mdb",
                    "Setup has installed C:\\Program Files\\Fenmore Software\\Tallymar\\tlmscanx.ini",
                    "Setup has installed C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar Help.chm"));
    EXPECT_THAT(ui.ProgressEvents(),
                ElementsAre("text:Downloading CreditorNames.mdb...", "text:Downloading tlmscanx.ini...",
                            "text:Downloading Tallymar Help.chm..."));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(DownloadFile, EachFolderKindHasItsFolderAndMissingFoldersAreMade) {
    EXPECT_EQ(TargetPathFor(sheet, "a.dll", FolderInstall),
              "C:\\Program Files\\Fenmore Software\\Tallymar\\a.dll");
    EXPECT_EQ(TargetPathFor(sheet, "b.mdb", FolderHome), "C:\\TallymarData\\b.mdb");
    EXPECT_EQ(TargetPathFor(sheet, "c.ini", FolderLocalAppData), "C:\\Users\\tester\\AppData\\Local\\c.ini");

    sheet.homeDirectory = "C:\\Firm\\Shared\\TallymarData";
    server.Serve("/CurrentVersion/b.exe", "shared");
    ASSERT_TRUE(::DownloadFile(sheet, "b.mdb", FolderHome, -1));
    EXPECT_EQ(ReadFile(Host("C:\\Firm\\Shared\\TallymarData\\b.mdb")), "shared");
}

TEST_F(DownloadFile, CompressedFilesAreWrittenInflated) {
    const std::string content(30000, 'T');
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    std::string compressed(size, '\0');
    ASSERT_EQ(compress(reinterpret_cast<Bytef*>(compressed.data()), &size,
                       reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size())),
              Z_OK);
    compressed.resize(size);
    server.Serve("/CurrentVersion/Tallymar.exe", compressed);
    ASSERT_TRUE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_EQ(Installed("Tallymar.exe"), content);
}

TEST_F(DownloadFile, ASupportFileTakesTheManifestTimeAndAModuleKeepsTheTimeOfWriting) {
    const std::int64_t manifestTime = 127898424000000000LL; // 18 Apr 2006 14:00:00 UTC
    server.Serve("/CurrentVersion/Checklist.txt", "checklist");
    server.Serve("/CurrentVersion/Tallymar.exe", "program");
    const std::int64_t before = tl::FileTimeFromTimespec(timespec{std::time(nullptr) - 2, 0});
    ASSERT_TRUE(::DownloadFile(sheet, "Checklist.ini", FolderInstall, manifestTime));
    ASSERT_TRUE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_EQ(MTimeOf(std::string(kInstalled) + "Checklist.ini"), manifestTime);
    EXPECT_GE(MTimeOf(std::string(kInstalled) + "Tallymar.exe"), before);
}

TEST_F(DownloadFile, OurLinuxProgramsBecomeExecutable) {
    server.Serve("/CurrentVersion/tlmfimprt", ReadFile(TL_VERSION_PROBE));
    server.Serve("/CurrentVersion/notes.txt", "\x7F"
                                              "ELF but only text");
    ASSERT_TRUE(::DownloadFile(sheet, "tlmfimprt", FolderInstall, -1));
    ASSERT_TRUE(::DownloadFile(sheet, "notes.txt", FolderInstall, -1));
    EXPECT_EQ(ModeOf(std::string(kInstalled) + "tlmfimprt"), 0755u);
    EXPECT_EQ(ModeOf(std::string(kInstalled) + "notes.txt"), 0644u);
}

TEST_F(DownloadFile, AFailedFetchLeavesTheInstalledFileAsItWas) {
    WriteFile(Host(std::string(kInstalled) + "Tallymar.exe"), "old program");
    server.Serve("/CurrentVersion/Tallymar.exe", "<html>Server Error</html>", 500);
    EXPECT_FALSE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_FALSE(::DownloadFile(sheet, "Empty.dll", FolderInstall, -1));
    EXPECT_EQ(Installed("Tallymar.exe"), "old program");
    EXPECT_THAT(FolderContents(kInstalled), ElementsAre("Tallymar.exe"));
    const std::string url = server.BaseUrl() + "CurrentVersion/";
    EXPECT_THAT(Messages(),
                ElementsAre("Internal error RIF102 (500) trying to download " + url +
                                "Tallymar.exe. Please write down this message and contact technical support.",
                            "Error downloading Tallymar.exe",
                            "Internal error RIF102 (404) trying to download " + url +
                                "Empty.dll. Please write down this message and contact technical support.",
                            "Error downloading Empty.dll"));
    EXPECT_THAT(LogLines(), IsEmpty());
}

TEST_F(DownloadFile, AnEmptyResponseIsRIF103ThenErrorDownloading) {
    server.Serve("/CurrentVersion/Tallymar.exe", "");
    EXPECT_FALSE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_THAT(Messages(), ElementsAre("Internal error RIF103 (0) trying to download " + server.BaseUrl() +
                                            "CurrentVersion/Tallymar.exe. Please write down this message and "
                                            "contact technical support.",
                                        "Error downloading Tallymar.exe"));
    EXPECT_FALSE(std::filesystem::exists(Host(std::string(kInstalled) + "Tallymar.exe")));
}

TEST_F(DownloadFile, AnInterruptedTransferNeverReplacesTheInstalledFile) {
    WriteFile(Host(std::string(kInstalled) + "Tallymar.exe"), "old program");
    server.Handle("/CurrentVersion/Tallymar.exe", [](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            100000, "application/octet-stream", [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                return offset == 0 && sink.write(std::string(50000, 'n').data(), 50000);
            });
    });
    EXPECT_FALSE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_EQ(Installed("Tallymar.exe"), "old program");
    EXPECT_THAT(FolderContents(kInstalled), ElementsAre("Tallymar.exe"));
}

TEST_F(DownloadFile, AFailedWriteShowsItsErrorAndKeepsTheOldFile) {
    WriteFile(Host(std::string(kInstalled) + "Tallymar.exe"), "old program");
    server.Serve("/CurrentVersion/Tallymar.exe", "new program");
    {
        tl::ScopedWriteFault diskFull([](const std::filesystem::path&) { return ENOSPC; });
        EXPECT_FALSE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    }
    EXPECT_EQ(Installed("Tallymar.exe"), "old program");
    EXPECT_THAT(FolderContents(kInstalled), ElementsAre("Tallymar.exe"));
    EXPECT_THAT(Messages(),
                ElementsAre("Disk full while accessing C:\\Program Files\\Fenmore Software\\Tallymar\\"
                            "Tallymar.exe."));
    EXPECT_EQ(ui.Messages()[0].style, win::MB_OK | win::MB_ICONERROR);
    EXPECT_THAT(LogLines(), IsEmpty());
}

TEST_F(DownloadFile, AReadOnlyFileIsNotReplaced) {
    const auto host = Host(std::string(kInstalled) + "Tallymar.exe");
    WriteFile(host, "old program");
    ::chmod(host.c_str(), 0444);
    server.Serve("/CurrentVersion/Tallymar.exe", "new program");
    EXPECT_FALSE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    EXPECT_EQ(Installed("Tallymar.exe"), "old program");
    EXPECT_THAT(Messages(),
                ElementsAre("Access to C:\\Program Files\\Fenmore Software\\Tallymar\\Tallymar.exe was "
                            "denied."));
}

TEST_F(DownloadFile, AFolderThatCannotBeMadeIsLoggedAndTheWriteFails) {
    WriteFile(Host("C:\\blocked"), "a file where a folder should be");
    sheet.homeDirectory = "C:\\blocked\\TallymarData";
    server.Serve("/CurrentVersion/Shared.dll", "shared");
    EXPECT_FALSE(::DownloadFile(sheet, "Shared.dll", FolderHome, -1));
    EXPECT_THAT(LogLines(),
                ElementsAre("**** Error trying to create path to C:\\blocked\\TallymarData\\Shared.dll"));
    EXPECT_THAT(Messages(), ElementsAre("C:\\blocked\\TallymarData\\Shared.dll contains an incorrect path."));
}

TEST_F(DownloadFile, NamesThatAreNotPlainFileNamesAreRefused) {
    WriteFile(Host("C:\\Windows\\evil.exe"), "system file");
    const std::string names[] = {"..\\..\\..\\Windows\\evil.exe",
                                 "..",
                                 "sub\\x.dll",
                                 "a/b.dll",
                                 "C:evil.exe",
                                 "file.txt:stream",
                                 "bad\r\nname.txt",
                                 ""};
    for (const std::string& name : names)
        EXPECT_FALSE(::DownloadFile(sheet, name, FolderInstall, -1)) << name;
    EXPECT_THAT(RequestedPaths(), IsEmpty());
    EXPECT_EQ(ReadFile(Host("C:\\Windows\\evil.exe")), "system file");
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), std::size(names));
    EXPECT_EQ(lines[0],
              "**** Refusing file name ..\\..\\..\\Windows\\evil.exe from the file manifest: not a plain "
              "file name");
    EXPECT_EQ(lines[6],
              "**** Refusing file name bad??name.txt from the file manifest: not a plain file name");
}

TEST_F(DownloadFile, DeletingAnObsoleteFileLogsTheOutcome) {
    WriteFile(Host(std::string(kInstalled) + "Old.dll"), "old");
    DeleteObsoleteFile(sheet, "Old.dll", FolderInstall);
    DeleteObsoleteFile(sheet, "Old.dll", FolderInstall);
    DeleteObsoleteFile(sheet, "..\\Other\\x.dll", FolderInstall);
    EXPECT_FALSE(std::filesystem::exists(Host(std::string(kInstalled) + "Old.dll")));
    EXPECT_THAT(
        LogLines(),
        ElementsAre(
            "Setup has deleted C:\\Program Files\\Fenmore Software\\Tallymar\\Old.dll",
            "**** Error 2 trying to delete C:\\Program Files\\Fenmore Software\\Tallymar\\Old.dll",
            "**** Refusing file name ..\\Other\\x.dll from the file manifest: not a plain file name"));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(DownloadFile, EveryInstalledFileButTheUninstallerIsRecordedForTheUninstaller) {
    server.Serve("/CurrentVersion/Tallymar.exe", "program");
    server.Serve("/CurrentVersion/tlmuinst.exe", "uninstaller");
    server.Serve("/CurrentVersion/CreditorNames.exe", "creditors");
    ASSERT_TRUE(::DownloadFile(sheet, "Tallymar.exe", FolderInstall, -1));
    ASSERT_TRUE(::DownloadFile(sheet, "tlmuinst.exe", FolderInstall, -1));
    ASSERT_TRUE(::DownloadFile(sheet, "CreditorNames.mdb", FolderHome, -1));
    EXPECT_THAT(DeleteFileEntries(),
                ElementsAre(std::string(kInstalled) + "Tallymar.exe", "C:\\TallymarData\\CreditorNames.mdb"));
    EXPECT_EQ(ReadFile(Host(std::string(kInstalled) + "TLMUINST.EXE")), "uninstaller");
}

TEST_F(DownloadFile, DeletingAnObsoleteFileForgetsItsUninstallEntry) {
    server.Serve("/CurrentVersion/Old.dll", "old");
    server.Serve("/CurrentVersion/Kept.dll", "kept");
    ASSERT_TRUE(::DownloadFile(sheet, "Old.dll", FolderInstall, -1));
    ASSERT_TRUE(::DownloadFile(sheet, "Kept.dll", FolderInstall, -1));
    sheet.installDirectory = "c:\\PROGRAM FILES\\Fenmore Software\\Tallymar";
    DeleteObsoleteFile(sheet, "OLD.DLL", FolderInstall);
    EXPECT_THAT(DeleteFileEntries(), ElementsAre(std::string(kInstalled) + "Kept.dll"));
    EXPECT_FALSE(std::filesystem::exists(Host(std::string(kInstalled) + "Old.dll")));

    DeleteObsoleteFile(sheet, "Missing.dll", FolderInstall);
    EXPECT_THAT(DeleteFileEntries(), ElementsAre(std::string(kInstalled) + "Kept.dll"));
}
