#include "platform/PathHelpers.h"

#include "platform/FileApi.h"
#include "platform/LastError.h"
#include "tests/support/TestMachine.h"

using namespace tl;
namespace fs = std::filesystem;

namespace {
class PathHelpers : public tltest::MachineTest {};
} // namespace

TEST(ParentPathTest, CutsAtLastBackslashFromPositionOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a\\b", "C:\\a"},
        {"C:\\a", "C:"},
        {"C:\\", "C:"},
        {"\\a", ""},
        {"a", ""},
        {"", ""},
        {"\\\\server\\share\\f", "\\\\server\\share"},
        {"a\\b", "a"},
    };
    for (const auto& [path, parent] : cases)
        EXPECT_EQ(ParentPath(path), parent) << path;
}

TEST_F(PathHelpers, PathExistsTellsFilesFromFolders) {
    WriteFile(Host("C:\\data\\file.txt"), "x");
    EXPECT_TRUE(PathExists("C:\\data"));
    EXPECT_TRUE(PathExists("C:\\data", true));
    EXPECT_TRUE(PathExists("C:\\DATA\\FILE.TXT"));
    EXPECT_FALSE(PathExists("C:\\data\\file.txt", true));
    EXPECT_FALSE(PathExists("C:\\data\\missing"));
    EXPECT_FALSE(PathExists("relative"));
}

TEST_F(PathHelpers, CreateDirectoryPathMakesEveryFolderAboveTheLastComponent) {
    EXPECT_TRUE(CreateDirectoryPath("C:\\Users\\Public\\Documents\\Bankruptcy\\Cases\\foo"));
    EXPECT_TRUE(PathExists("C:\\Users\\Public\\Documents\\Bankruptcy\\Cases", true));
    EXPECT_FALSE(PathExists("C:\\Users\\Public\\Documents\\Bankruptcy\\Cases\\foo"));
    // Calling again finds everything in place.
    EXPECT_TRUE(CreateDirectoryPath("C:\\Users\\Public\\Documents\\Bankruptcy\\Cases\\foo"));
}

TEST_F(PathHelpers, CreateDirectoryPathFailsWithoutParentOrWhenAFileIsInTheWay) {
    EXPECT_FALSE(CreateDirectoryPath("bare"));
    WriteFile(Host("C:\\blocker"), "file, not folder");
    EXPECT_FALSE(CreateDirectoryPath("C:\\blocker\\foo"));
    EXPECT_FALSE(CreateDirectoryPath("C:\\blocker\\deeper\\foo"));
    EXPECT_FALSE(CreateDirectoryPath("Z:\\no\\such\\drive"));
}

TEST_F(PathHelpers, IsLocalHardDriveAcceptsOnlyRootedPathsOnFixedDrives) {
    machine().AddDrive('N', win::DRIVE_REMOTE);
    machine().AddDrive('R', win::DRIVE_REMOVABLE);
    machine().AddDrive('D', win::DRIVE_CDROM);
    machine().AddDrive('M', win::DRIVE_RAMDISK);
    machine().AddDrive('E', win::DRIVE_FIXED);
    const std::pair<const char*, bool> cases[] = {
        {"C:\\", true},         {"C:\\Program Files\\x", true},
        {"e:\\data", true},     {"C:", false},
        {"C:folder", false},    {"\\\\TESTPC\\C$\\x", false},
        {"N:\\shared", false},  {"R:\\stick", false},
        {"D:\\cd", false},      {"M:\\ram", false},
        {"Q:\\unknown", false}, {"", false},
        {"\\\\a\\b", false},
    };
    for (const auto& [path, local] : cases)
        EXPECT_EQ(IsLocalHardDrive(path), local) << path;
}

TEST_F(PathHelpers, LocalAppDataDirEndsInBackslash) {
    EXPECT_EQ(GetLocalAppDataDir(), "C:\\Users\\tester\\AppData\\Local\\");
    machine().SetFolderPath(win::CSIDL_LOCAL_APPDATA, "");
    EXPECT_EQ(GetLocalAppDataDir(), "");
}
