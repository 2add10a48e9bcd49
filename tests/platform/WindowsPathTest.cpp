#include "platform/WindowsPath.h"

#include "platform/FileApi.h"
#include "platform/FileTime.h"
#include "platform/LastError.h"
#include "platform/LocalShares.h"
#include "platform/UniqueFd.h"
#include "tests/support/TestMachine.h"

#include <unistd.h>

using tl::MapToHostPath;
using tl::ParseWindowsPath;
namespace fs = std::filesystem;

namespace {
class WindowsPathMapping : public tltest::MachineTest {};
} // namespace

TEST(WindowsPath, SplitsDriveAndUncPaths) {
    auto drive = ParseWindowsPath("c:/Program Files\\.\\Fenmore\\..\\Tallymar\\");
    ASSERT_TRUE(drive);
    EXPECT_EQ(drive->kind, tl::WindowsPath::Kind::Drive);
    EXPECT_EQ(drive->drive, 'C');
    EXPECT_EQ(drive->components, (std::vector<std::string>{"Program Files", "Tallymar"}));

    auto unc = ParseWindowsPath("\\\\Server\\Share\\a\\b.mdb");
    ASSERT_TRUE(unc);
    EXPECT_EQ(unc->kind, tl::WindowsPath::Kind::Unc);
    EXPECT_EQ(unc->server, "Server");
    EXPECT_EQ(unc->share, "Share");
    EXPECT_EQ(unc->components, (std::vector<std::string>{"a", "b.mdb"}));

    // Drive-relative forms resolve against the drive's root.
    EXPECT_TRUE(ParseWindowsPath("C:")->components.empty());
    EXPECT_EQ(ParseWindowsPath("C:folder")->components, std::vector<std::string>{"folder"});
}

TEST(WindowsPath, RefusesPathsWithoutRootOrWithForbiddenNames) {
    struct Case {
        const char* path;
        DWORD error;
    } cases[] = {
        {"relative\\path", win::ERROR_PATH_NOT_FOUND},
        {"\\rooted\\no\\drive", win::ERROR_PATH_NOT_FOUND},
        {"", win::ERROR_PATH_NOT_FOUND},
        {"C:\\file.txt:stream", win::ERROR_INVALID_NAME},
        {"C:\\a\\b?c", win::ERROR_INVALID_NAME},
        {"C:\\tab\there", win::ERROR_INVALID_NAME},
        {"\\\\server", win::ERROR_INVALID_NAME},
        {"\\\\server\\", win::ERROR_INVALID_NAME},
        {"\\\\.\\pipe\\name", win::ERROR_INVALID_NAME},
        {"\\\\?\\C:\\x", win::ERROR_INVALID_NAME},
    };
    for (const Case& c : cases) {
        DWORD error = 0;
        EXPECT_FALSE(ParseWindowsPath(c.path, &error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
}

TEST_F(WindowsPathMapping, DotDotNeverLeavesTheDrive) {
    const fs::path root = *machine().DriveFolder('C');
    EXPECT_EQ(Host("C:\\..\\..\\..\\etc\\passwd"), root / "etc" / "passwd");
    EXPECT_FALSE(MapToHostPath("\\\\OTHER\\..\\x", machine())) << "a share named .. is refused";
}

TEST_F(WindowsPathMapping, ExistingComponentsMatchWithoutRegardToCase) {
    const fs::path root = *machine().DriveFolder('C');
    fs::create_directories(root / "Program Files" / "Fenmore Software");
    WriteFile(root / "Program Files" / "Fenmore Software" / "Tallymar.exe", "MZ");
    EXPECT_EQ(Host("c:\\PROGRAM FILES\\fenmore software\\TALLYMAR.EXE"),
              root / "Program Files" / "Fenmore Software" / "Tallymar.exe");
    // A missing component keeps the spelling given, and so does everything below it.
    EXPECT_EQ(Host("C:\\program files\\New\\Sub"), root / "Program Files" / "New" / "Sub");
}

TEST_F(WindowsPathMapping, TheNameAsGivenWinsAndOtherwiseTheFileOfAnyCaseIsFound) {
    const fs::path folder = *machine().DriveFolder('C') / "Tallymar";
    WriteFile(folder / "readme.txt", "lower");
    WriteFile(folder / "README.TXT", "upper");
    WriteFile(folder / "Checklists.ini", "checklists");
    EXPECT_EQ(Host("C:\\tallymar\\README.TXT"), folder / "README.TXT");
    EXPECT_EQ(Host("C:\\Tallymar\\CHECKLISTS.INI"), folder / "Checklists.ini")
        << "a file of a folder that exists";
    EXPECT_EQ(tl::HostPathAsGiven("C:\\tallymar\\x.txt", machine()),
              folder.parent_path() / "tallymar" / "x.txt");
    EXPECT_FALSE(tl::HostPathAsGiven("\\\\TESTPC\\C$\\x.txt", machine()));

    // The file calls take the name as given first and fall back to matching without regard to case.
    const auto read = [](const std::string& path) {
        const tl::UniqueFd fd = tl::OpenFileForReading(path);
        char bytes[16] = {};
        return fd ? std::string(bytes, static_cast<std::size_t>(::read(fd.get(), bytes, sizeof bytes)))
                  : "(none)";
    };
    EXPECT_EQ(read("C:\\Tallymar\\README.TXT"), "upper");
    EXPECT_EQ(read("C:\\Tallymar\\readme.txt"), "lower");
    EXPECT_EQ(read("C:\\TALLYMAR\\checklists.INI"), "checklists");
    EXPECT_EQ(read("C:\\Tallymar\\missing.txt"), "(none)");
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_NE(win::GetFileAttributes("c:\\TALLYMAR\\CHECKLISTS.ini"), win::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(win::GetFileAttributes("C:\\Tallymar\\Missing\\x.txt"), win::INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
}

TEST_F(WindowsPathMapping, DrivesMapToTheirFoldersAndUnknownLettersFail) {
    machine().AddDrive('N', win::DRIVE_REMOTE);
    EXPECT_EQ(Host("n:\\data"), prefix() / "machine" / "drive_n" / "data");
    DWORD error = 0;
    EXPECT_FALSE(MapToHostPath("Q:\\x", machine(), &error));
    EXPECT_EQ(error, win::ERROR_PATH_NOT_FOUND);
}

TEST_F(WindowsPathMapping, UncPathsToThisComputerUseItsShares) {
    const fs::path root = *machine().DriveFolder('C');
    fs::create_directories(root / "Users" / "Public" / "Documents" / "BankruptcyCases");
    ASSERT_EQ(tl::AddLocalShare({"BankruptcyCases", "C:\\Users\\Public\\Documents\\BankruptcyCases",
                                 "Tallymar Home Directory"}),
              0u);
    const fs::path shared = root / "Users" / "Public" / "Documents" / "BankruptcyCases";
    EXPECT_EQ(Host("\\\\TESTPC\\BankruptcyCases\\Tallymar.mdb"), shared / "Tallymar.mdb");
    EXPECT_EQ(Host("\\\\testpc\\bankruptcycases"), shared);
    EXPECT_EQ(Host("\\\\localhost\\BankruptcyCases"), shared);
    EXPECT_EQ(Host("\\\\TESTPC\\C$\\Users"), root / "Users");

    DWORD error = 0;
    EXPECT_FALSE(MapToHostPath("\\\\TESTPC\\NoSuchShare\\x", machine(), &error));
    EXPECT_EQ(error, win::ERROR_BAD_NET_NAME);
    EXPECT_EQ(tl::AddLocalShare({"bankruptcycases", "C:\\Elsewhere", ""}), win::NERR_DuplicateShare);
}

TEST_F(WindowsPathMapping, UncPathsToOtherComputersUseTheSandboxNetwork) {
    const fs::path share = machine().NetworkFolder() / "SERVER1" / "Cases";
    fs::create_directories(share);
    EXPECT_EQ(Host("\\\\server1\\CASES\\Tallymar.mdb"), share / "Tallymar.mdb");

    DWORD error = 0;
    EXPECT_FALSE(MapToHostPath("\\\\NOBODY\\Cases", machine(), &error));
    EXPECT_EQ(error, win::ERROR_BAD_NETPATH);
    EXPECT_FALSE(MapToHostPath("\\\\SERVER1\\Missing", machine(), &error));
    EXPECT_EQ(error, win::ERROR_BAD_NET_NAME);
}
