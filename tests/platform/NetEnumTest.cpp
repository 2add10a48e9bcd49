#include "platform/NetEnum.h"

#include "platform/LocalShares.h"
#include "platform/ShellNamespace.h"
#include "tests/support/TestMachine.h"

#include <filesystem>

using namespace win;
namespace fs = std::filesystem;

namespace {

class NetEnum : public tltest::MachineTest {
protected:
    void AddRemoteShare(const std::string& computer, const std::string& share) {
        fs::create_directories(machine().NetworkFolder() / computer / share);
    }

    static std::vector<std::string> Names(const std::vector<SERVER_INFO_101>& servers) {
        std::vector<std::string> names;
        for (const auto& server : servers)
            names.push_back(server.sv101_name);
        return names;
    }

    static std::vector<std::string> Names(const std::vector<SHARE_INFO_1>& shares) {
        std::vector<std::string> names;
        for (const auto& share : shares)
            names.push_back(share.shi1_netname + ":" + std::to_string(share.shi1_type));
        return names;
    }
};

} // namespace

TEST_F(NetEnum, ServersAreTheSandboxComputersAndThisOneSortedByName) {
    AddRemoteShare("zulu", "Data");
    AddRemoteShare("Alpha", "Cases");
    fs::create_directories(machine().NetworkFolder() /
                           "TESTPC"); // this computer's folder is not listed twice
    MachineTest::WriteFile(machine().NetworkFolder() / "notes.txt", "a file is no computer");
    std::vector<SERVER_INFO_101> servers;
    ASSERT_EQ(NetServerEnum("", 101, servers, SV_TYPE_WORKSTATION, ""), NERR_Success);
    EXPECT_EQ(Names(servers), (std::vector<std::string>{"ALPHA", "TESTPC", "ZULU"}));
    EXPECT_EQ(servers[0].sv101_platform_id, PLATFORM_ID_NT);
    EXPECT_NE(servers[0].sv101_type & SV_TYPE_WORKSTATION, 0u);
}

TEST_F(NetEnum, ServerEnumerationRefusesWhatItCannotAnswer) {
    std::vector<SERVER_INFO_101> servers;
    EXPECT_EQ(NetServerEnum("", 100, servers, SV_TYPE_WORKSTATION, ""), ERROR_INVALID_LEVEL);
    EXPECT_EQ(NetServerEnum("\\\\ALPHA", 101, servers, SV_TYPE_WORKSTATION, ""), ERROR_BAD_NETPATH);
    EXPECT_EQ(NetServerEnum("", 101, servers, SV_TYPE_WORKSTATION, "OTHERDOMAIN"),
              ERROR_NO_BROWSER_SERVERS_FOUND);
    fs::remove_all(machine().NetworkFolder());
    EXPECT_EQ(NetServerEnum("", 101, servers, SV_TYPE_WORKSTATION, ""), ERROR_NO_BROWSER_SERVERS_FOUND);
    EXPECT_TRUE(servers.empty());
}

TEST_F(NetEnum, SharesOfAnotherComputerAreItsFoldersWithHiddenOnesMarkedSpecial) {
    AddRemoteShare("ALPHA", "Scans");
    AddRemoteShare("ALPHA", "cases");
    AddRemoteShare("ALPHA", "D$");
    MachineTest::WriteFile(machine().NetworkFolder() / "ALPHA" / "readme.txt", "not a share");
    std::vector<SHARE_INFO_1> shares;
    ASSERT_EQ(NetShareEnum("\\\\alpha", 1, shares), NERR_Success);
    EXPECT_EQ(Names(shares),
              (std::vector<std::string>{"cases:0", "D$:2147483648", "IPC$:2147483651", "Scans:0"}));
    EXPECT_EQ(NetShareEnum("BRAVO", 1, shares), ERROR_BAD_NETPATH);
    EXPECT_EQ(NetShareEnum("ALPHA", 2, shares), ERROR_INVALID_LEVEL);
}

TEST_F(NetEnum, SharesOfThisComputerComeFromItsRegistryAndDrives) {
    ASSERT_EQ(tl::AddLocalShare({"BankruptcyCases", "C:\\Cases", "Tallymar Home Directory"}), NERR_Success);
    machine().AddDrive('E', DRIVE_FIXED);
    machine().AddDrive('N', DRIVE_REMOTE);
    std::vector<SHARE_INFO_1> shares;
    ASSERT_EQ(NetShareEnum("", 1, shares), NERR_Success);
    EXPECT_EQ(Names(shares), (std::vector<std::string>{"BankruptcyCases:0", "C$:2147483648", "E$:2147483648",
                                                       "IPC$:2147483651"}));
    std::vector<SHARE_INFO_1> byName;
    ASSERT_EQ(NetShareEnum("\\\\TESTPC", 1, byName), NERR_Success);
    EXPECT_EQ(Names(byName), Names(shares));
}

TEST_F(NetEnum, ShareDetailsAreGivenForThisComputerOnly) {
    ASSERT_EQ(
        tl::AddLocalShare({"BankruptcyCases", "C:\\Cases", "Tallymar Home Directory", STYPE_DISKTREE, 127}),
        NERR_Success);
    AddRemoteShare("ALPHA", "Cases");
    SHARE_INFO_2 info;
    ASSERT_EQ(NetShareGetInfo("", "bankruptcycases", 2, info), NERR_Success);
    EXPECT_EQ(info.shi2_path, "C:\\Cases");
    EXPECT_EQ(info.shi2_remark, "Tallymar Home Directory");
    EXPECT_EQ(info.shi2_permissions, 127u);
    EXPECT_TRUE(info.shi2_passwd.empty());
    EXPECT_EQ(NetShareGetInfo("", "Missing", 2, info), NERR_NetNameNotFound);
    EXPECT_EQ(NetShareGetInfo("ALPHA", "Cases", 2, info), ERROR_ACCESS_DENIED);
    EXPECT_EQ(NetShareGetInfo("BRAVO", "Cases", 2, info), ERROR_BAD_NETPATH);
    EXPECT_EQ(NetShareGetInfo("", "BankruptcyCases", 1, info), ERROR_INVALID_LEVEL);
}

TEST_F(NetEnum, ShellNamespaceListsDrivesFoldersAndTheLongestExistingLead) {
    machine().AddDrive('N', DRIVE_REMOTE);
    const auto drives = tl::ListDrives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].root, "C:\\");
    EXPECT_EQ(drives[1].type, DRIVE_REMOTE);

    fs::create_directories(Host("C:\\Data\\beta"));
    fs::create_directories(Host("C:\\Data\\Alpha"));
    fs::create_directories(Host("C:\\Data") / ".hidden");
    MachineTest::WriteFile(Host("C:\\Data\\file.txt"), "x");
    EXPECT_EQ(tl::ListSubfolders("C:\\data"), (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_TRUE(tl::ListSubfolders("Q:\\").empty());

    EXPECT_EQ(tl::LongestExistingLeadingPath("C:\\Data\\Alpha\\x\\y"), "C:\\Data\\Alpha");
    EXPECT_EQ(tl::LongestExistingLeadingPath("C:\\Data"), "C:\\Data");
    EXPECT_EQ(tl::LongestExistingLeadingPath("C:\\Nothing"), "C:");
    EXPECT_EQ(tl::LongestExistingLeadingPath("Q:\\Nothing"), "");
    EXPECT_EQ(tl::LongestExistingLeadingPath("\\\\ALPHA\\Cases\\x"), "");
    AddRemoteShare("ALPHA", "Cases");
    EXPECT_EQ(tl::LongestExistingLeadingPath("\\\\ALPHA\\Cases\\x"), "\\\\ALPHA\\Cases");
    EXPECT_EQ(tl::JoinPath("C:\\", "a"), "C:\\a");
    EXPECT_EQ(tl::JoinPath("C:\\a", "b"), "C:\\a\\b");
}
