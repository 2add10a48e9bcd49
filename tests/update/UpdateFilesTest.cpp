#include "platform/IoFaults.h"
#include "release/DownloadFile.h"
#include "release/FetchManifest.h"
#include "tests/release/UpdateTestBase.h"
#include "update/RecoverInterruptedUpdate.h"
#include "update/StagedUpdate.h"
#include "update/UpdateList.h"

#include <cerrno>
#include <filesystem>
#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

class UpdateFiles : public tltest::UpdateTestBase {
protected:
    std::string FetchingLine() const { return "Fetching manifest from " + server.BaseUrl(); }
};

} // namespace

// The whole path of an update's files: manifest, work list, downloads and deletions.
TEST_F(UpdateFiles, AnUpdateInstallsReplacesAndDeletesWhatTheManifestSays) {
    const std::string folder = std::string(kInstallDirectory) + "\\";
    WriteFile(Host(folder + "TLMUINST.EXE"), "old uninstaller");
    WriteFile(Host(folder + "Retired.dll"), "retired");
    server.Serve("/CurrentVersion.xml",
                 "<CurrentVersion UpdateLevel=\"5\">"
                 "<Module Name=\"TLMUINST.EXE\" Flags=\"1\"/>"
                 "<Module Name=\"Retired.dll\" Flags=\"32\"/>"
                 "<SupportFile Name=\"CreditorNames.mdb\" Flags=\"10\" Date=\"04/18/2006\" "
                 "Time=\"14:00:00\"/>"
                 "</CurrentVersion>");
    server.Serve("/CurrentVersion/TLMUINST.EXE", "new uninstaller");
    server.Serve("/CurrentVersion/CreditorNames.exe", "creditor names");
    ASSERT_TRUE(FetchManifest(sheet));
    BuildUpdateList(sheet);
    ASSERT_EQ(theUpdateList.size(), 3u);
    for (const UpdateItem& item : theUpdateList) {
        if ((item.Flags & FlagObsolete) != 0)
            DeleteObsoleteFile(sheet, item.Name, FolderKindFromFlags(item.Flags));
        else
            EXPECT_TRUE(DownloadFile(sheet, item.Name, FolderKindFromFlags(item.Flags), item.FileTime));
    }
    EXPECT_EQ(ReadFile(Host(folder + "TLMUINST.EXE")), "new uninstaller");
    EXPECT_FALSE(std::filesystem::exists(Host(folder + "Retired.dll")));
    EXPECT_EQ(ReadFile(Host("C:\\TallymarData\\CreditorNames.mdb")), "creditor names");
    EXPECT_THAT(LogLines(),
                ElementsAre(FetchingLine(), "Manifest signature not checked: no trusted release key",
                            "Setup will install C:\\TallymarData\\CreditorNames.mdb, which is not present",
                            "Setup has installed " + folder + "TLMUINST.EXE",
                            "Setup has deleted " + folder + "Retired.dll",
                            "Setup has installed C:\\TallymarData\\CreditorNames.mdb"));
}

namespace {

// An update's files through the two phases: A.dll replaced, Retired.dll deleted, B.dll replaced.
class StagedFiles : public UpdateFiles {
protected:
    StagedFiles() {
        WriteFile(Installed("A.dll"), "old A");
        WriteFile(Installed("Retired.dll"), "retired");
        WriteFile(Installed("B.dll"), "old B");
        server.Serve("/CurrentVersion.xml", "<CurrentVersion UpdateLevel=\"5\">"
                                            "<Module Name=\"A.dll\" Flags=\"1\"/>"
                                            "<Module Name=\"Retired.dll\" Flags=\"32\"/>"
                                            "<Module Name=\"B.dll\" Flags=\"1\"/>"
                                            "</CurrentVersion>");
        server.Serve("/CurrentVersion/A.dll", "new A");
        server.Serve("/CurrentVersion/B.dll", "new B");
    }

    std::filesystem::path Installed(const std::string& name) const {
        return Host(std::string(kInstallDirectory) + "\\" + name);
    }
    std::vector<std::string> InstalledFiles() { return FolderContents(kInstallDirectory); }
    std::string Contents() {
        std::string text;
        for (const std::string& name : InstalledFiles())
            text += name + "=" + ReadFile(Installed(name)) + ";";
        return text;
    }
    // Fetches the manifest and runs both phases as the update does; false when one fails.
    bool Update() {
        EXPECT_TRUE(FetchManifest(sheet));
        BuildUpdateList(sheet);
        StagedUpdate files(sheet);
        for (const UpdateItem& item : theUpdateList)
            files.Add(item, FolderKindFromFlags(item.Flags));
        return files.Stage() && files.Commit();
    }

    static constexpr const char* kOld = "A.dll=old A;B.dll=old B;Retired.dll=retired;";
};

} // namespace

TEST_F(StagedFiles, TheLogKeepsTheWorkListsOrderAndNothingOfTheUpdateStays) {
    ASSERT_TRUE(Update());
    EXPECT_EQ(Contents(), "A.dll=new A;B.dll=new B;");
    const std::string folder = std::string(kInstallDirectory) + "\\";
    const auto lines = LogLines();
    EXPECT_THAT(std::vector(lines.end() - 3, lines.end()),
                ElementsAre("Setup has installed " + folder + "A.dll",
                            "Setup has deleted " + folder + "Retired.dll",
                            "Setup has installed " + folder + "B.dll"));
    EXPECT_FALSE(std::filesystem::exists(UpdateJournalFile()));
}

TEST_F(StagedFiles, AFileThatCannotBeStagedChangesNoInstalledFile) {
    for (const char* fault : {"missing", "tampered"}) {
        if (fault == std::string("missing"))
            server.Serve("/CurrentVersion/B.dll", "", 404);
        else
            server.Serve("/CurrentVersion.xml", "<CurrentVersion><Module Name=\"A.dll\" Flags=\"1\"/>"
                                                "<Module Name=\"B.dll\" Flags=\"1\" Size=\"5\" Sha256=\"" +
                                                    std::string(64, '0') + "\"/></CurrentVersion>");
        EXPECT_FALSE(Update()) << fault;
        EXPECT_EQ(Contents(), kOld) << fault << ": no staging folder, no file changed";
        EXPECT_EQ(LogLines().back(),
                  "**** The update's files could not all be downloaded; no installed file was changed");
        EXPECT_EQ(Messages().back(), "Error downloading B.dll");
        EXPECT_FALSE(std::filesystem::exists(UpdateJournalFile()));
    }
}

TEST_F(StagedFiles, AFileThatCannotBeMovedInPutsEveryFileBack) {
    const std::filesystem::path b = Installed("B.dll");
    int failed = 0; // only moving the new B in: putting the old one back goes ahead
    {
        tl::ScopedWriteFault fault([&](const std::filesystem::path& target, tl::IoStep step) {
            return step == tl::IoStep::Rename && target == b && !failed++ ? EIO : 0;
        });
        EXPECT_FALSE(Update());
    }
    EXPECT_EQ(Contents(), kOld);
    EXPECT_EQ(LogLines().back(), "**** Error 1117 trying to install " + std::string(kInstallDirectory) +
                                     "\\B.dll; every file of the update is put back as it was");
    EXPECT_FALSE(std::filesystem::exists(UpdateJournalFile()));
}

// Two backups under one name, the second over the first, would lose the file on an undo.
TEST_F(StagedFiles, AFileListedTwiceIsUpdatedOnce) {
    server.Serve("/CurrentVersion.xml", "<CurrentVersion><Module Name=\"A.dll\" Flags=\"1\"/>"
                                        "<Module Name=\"A.dll\" Flags=\"1\"/>"
                                        "<Module Name=\"a.DLL\" Flags=\"1\"/></CurrentVersion>");
    server.Serve("/CurrentVersion/a.DLL", "not the first");
    EXPECT_TRUE(Update());
    EXPECT_EQ(Contents(), "A.dll=new A;B.dll=old B;Retired.dll=retired;");
    const std::string folder = std::string(kInstallDirectory) + "\\";
    const auto lines = LogLines();
    EXPECT_THAT(std::vector(lines.end() - 3, lines.end()),
                ElementsAre("**** " + folder + "A.dll is listed more than once; only its first entry is used",
                            "**** " + folder + "a.DLL is listed more than once; only its first entry is used",
                            "Setup has installed " + folder + "A.dll"));
}

TEST_F(StagedFiles, BackupsThatCannotBeRemovedAreLeftForTheNextRunToComplete) {
    {
        tl::ScopedWriteFault fault([](const std::filesystem::path&, tl::IoStep step) {
            return step == tl::IoStep::Remove ? EACCES : 0;
        });
        EXPECT_TRUE(Update()) << "every file is in place";
    }
    EXPECT_TRUE(std::filesystem::exists(UpdateJournalFile()));
    RecoverInterruptedUpdate(sheet);
    EXPECT_EQ(LogLines().back(), "**** Completing an interrupted update");
    EXPECT_EQ(Contents(), "A.dll=new A;B.dll=new B;");
    EXPECT_FALSE(std::filesystem::exists(UpdateJournalFile()));
}

TEST_F(StagedFiles, AJournalThatIsStillHereKeepsItsBackupsAndChangesNoInstalledFile) {
    // An interrupted update that could not be put back: its journal, and the backup of a file that
    // is not in place.
    const std::filesystem::path backup = Installed(".tlupdate") / "old" / "C.dll";
    std::filesystem::create_directories(backup.parent_path());
    WriteFile(backup, "old C");
    std::filesystem::create_directories(UpdateJournalFile().parent_path());
    WriteFile(UpdateJournalFile(), "TlInstall update journal 1\nphase commit\n");
    EXPECT_FALSE(Update());
    EXPECT_EQ(LogLines().back(), "**** An interrupted update is not finished (" +
                                     UpdateJournalFile().string() + "); no installed file was changed");
    EXPECT_EQ(ReadFile(backup), "old C");
    EXPECT_EQ(ReadFile(UpdateJournalFile()), "TlInstall update journal 1\nphase commit\n");
    EXPECT_EQ(ReadFile(Installed("A.dll")) + ReadFile(Installed("B.dll")) +
                  ReadFile(Installed("Retired.dll")),
              "old Aold Bretired");
}
