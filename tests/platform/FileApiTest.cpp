#include "platform/FileApi.h"

#include "platform/LastError.h"
#include "tests/support/TestMachine.h"

#include <sys/stat.h>

using namespace win;
namespace fs = std::filesystem;

namespace {
class FileApi : public tltest::MachineTest {};
} // namespace

TEST_F(FileApi, AttributesAndErrorsFollowWindows) {
    WriteFile(Host("C:\\dir\\file.txt"), "x");
    EXPECT_EQ(GetFileAttributes("C:\\dir"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributes("C:\\dir\\file.txt"), FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(SetFileAttributes("C:\\dir\\file.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributes("C:\\dir\\file.txt"), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(GetFileAttributes("C:\\dir\\missing.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetFileAttributes("C:\\nodir\\missing.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    EXPECT_FALSE(DeleteFile("C:\\dir\\file.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << "read-only files are not deleted";
    ASSERT_TRUE(SetFileAttributes("C:\\dir\\file.txt", 0));
    EXPECT_FALSE(DeleteFile("C:\\dir"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DeleteFile("C:\\DIR\\FILE.TXT"));
    EXPECT_FALSE(DeleteFile("C:\\dir\\file.txt"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileApi, CreateDirectoryNeedsItsParentAndAFreeName) {
    EXPECT_TRUE(CreateDirectory("C:\\one"));
    EXPECT_FALSE(CreateDirectory("C:\\one"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectory("C:\\two\\three"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(RemoveDirectory("C:\\one"));
}

TEST_F(FileApi, DriveTypesComeFromTheMachine) {
    machine().AddDrive('D', DRIVE_CDROM);
    EXPECT_EQ(GetDriveType("C:\\"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveType("d:\\"), DRIVE_CDROM);
    EXPECT_EQ(GetDriveType("X:\\"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(GetDriveType("C:\\Windows"), DRIVE_NO_ROOT_DIR) << "not a root";
    fs::create_directories(machine().NetworkFolder() / "SERVER" / "share");
    EXPECT_EQ(GetDriveType("\\\\SERVER\\share\\"), DRIVE_REMOTE);
}

TEST_F(FileApi, ShellFoldersLookLikeWindowsAndCanBeOverridden) {
    std::string path;
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_PERSONAL, path, false));
    EXPECT_EQ(path, "C:\\Users\\tester\\Documents");
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_COMMON_DOCUMENTS, path, false));
    EXPECT_EQ(path, "C:\\Users\\Public\\Documents");
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_PROGRAM_FILES, path, false));
    EXPECT_EQ(path, "C:\\Program Files");
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_COMMON_PROGRAMS, path, false));
    EXPECT_EQ(path, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(GetTempPath(), "C:\\Users\\tester\\AppData\\Local\\Temp\\");
    EXPECT_EQ(GetComputerName(), "TESTPC");
    EXPECT_EQ(GetUserName(), "tester");

    machine().SetFolderPath(CSIDL_COMMON_DOCUMENTS, "C:\\Documents and Settings\\All Users\\Documents");
    EXPECT_FALSE(SHGetSpecialFolderPath(CSIDL_COMMON_DOCUMENTS, path, false)) << "missing without create";
    ASSERT_TRUE(SHGetSpecialFolderPath(CSIDL_COMMON_DOCUMENTS, path, true));
    EXPECT_EQ(path, "C:\\Documents and Settings\\All Users\\Documents");
    machine().SetFolderPath(CSIDL_PERSONAL, "");
    EXPECT_FALSE(SHGetSpecialFolderPath(CSIDL_PERSONAL, path, true));
}

TEST_F(FileApi, ComputerNameIsNetBiosForm) {
    machine().SetComputerName("very-long-workstation-name.example.com");
    EXPECT_EQ(GetComputerName(), "VERY-LONG-WORKS");
    machine().SetComputerName("pc7");
    EXPECT_EQ(GetComputerName(), "PC7");
}

TEST_F(FileApi, ShortPathNameIsTheLongPathOfAnExistingFile) {
    WriteFile(Host("C:\\Program Files\\Fenmore Software\\Tallymar\\TLMUINST.exe"), "MZ");
    EXPECT_EQ(GetShortPathName("C:\\Program Files\\Fenmore Software\\Tallymar\\TLMUINST.exe"),
              "C:\\Program Files\\Fenmore Software\\Tallymar\\TLMUINST.exe");
    EXPECT_EQ(GetShortPathName("C:\\missing.exe"), "");
}
