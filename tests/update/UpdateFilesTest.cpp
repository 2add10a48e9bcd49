#include "release/DownloadFile.h"
#include "release/FetchManifest.h"
#include "tests/release/UpdateTestBase.h"
#include "update/UpdateList.h"

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
