#include "platform/NetApi.h"

#include "platform/LastError.h"
#include "platform/LocalShares.h"
#include "platform/PasswordHash.h"
#include "platform/Registry.h"
#include "platform/SecurityBackend.h"
#include "platform/Sid.h"
#include "tests/support/TestMachine.h"

#include <filesystem>
#include <gmock/gmock.h>

using namespace win;

namespace {

class NetApi : public tltest::MachineTest {
protected:
    static USER_INFO_1 User(const std::string& name, const std::string& password = "S3cret&Pass") {
        USER_INFO_1 user;
        user.usri1_name = name;
        user.usri1_password = password;
        user.usri1_flags = UF_NORMAL_ACCOUNT | UF_DONT_EXPIRE_PASSWD;
        return user;
    }
    std::string SidOf(const std::string& name, std::string* domain = nullptr, SID_NAME_USE* use = nullptr) {
        DWORD sidSize = 0;
        DWORD domainSize = 0;
        SID_NAME_USE kind{};
        EXPECT_FALSE(LookupAccountNameA("", name, nullptr, &sidSize, nullptr, &domainSize, &kind));
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return "<error " + std::to_string(GetLastError()) + ">";
        std::vector<std::uint8_t> sid(sidSize);
        std::string domainText(domainSize, '\0');
        EXPECT_TRUE(
            LookupAccountNameA("", name, sid.data(), &sidSize, domainText.data(), &domainSize, &kind));
        EXPECT_EQ(domainSize, domainText.size() - 1) << "the length without the zero";
        domainText.resize(domainSize);
        if (domain != nullptr)
            *domain = domainText;
        if (use != nullptr)
            *use = kind;
        std::string text;
        EXPECT_TRUE(ConvertSidToStringSidA(sid.data(), text));
        return text;
    }
    std::string Sddl(const std::string& path) {
        SECURITY_DESCRIPTOR descriptor;
        EXPECT_EQ(GetNamedSecurityInfoA(path, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, descriptor),
                  ERROR_SUCCESS);
        std::string text;
        EXPECT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                         DACL_SECURITY_INFORMATION, text));
        return text;
    }
};

} // namespace

TEST_F(NetApi, UsersGetRelativeIdsFromAThousandUnderOneMachineSidAndNamesAreUniqueWithoutCase) {
    EXPECT_EQ(NetUserAdd("", 1, User("TallymarUser"), nullptr), NERR_Success);
    EXPECT_EQ(NetUserAdd("\\\\TESTPC", 1, User("Clerk"), nullptr), NERR_Success);
    EXPECT_EQ(NetUserAdd("", 1, User("tallymaruser"), nullptr), NERR_UserExists);
    EXPECT_EQ(NetUserAdd("", 1, User("Users"), nullptr), NERR_GroupExists);
    EXPECT_EQ(NetUserAdd("", 1, User("bad/name"), nullptr), NERR_BadUsername);
    EXPECT_EQ(NetUserAdd("OTHERPC", 1, User("Remote"), nullptr), ERROR_BAD_NETPATH);
    EXPECT_EQ(NetUserAdd("", 2, User("Level"), nullptr), ERROR_INVALID_LEVEL);

    const std::string machineSid = tl::TheSecurityBackend().MachineSid();
    EXPECT_THAT(machineSid, ::testing::MatchesRegex("S-1-5-21-[0-9]+-[0-9]+-[0-9]+"));
    std::string domain;
    SID_NAME_USE use{};
    EXPECT_EQ(SidOf("TallymarUser", &domain, &use), machineSid + "-1000");
    EXPECT_EQ(domain, "TESTPC");
    EXPECT_EQ(use, SidTypeUser);
    EXPECT_EQ(SidOf("TESTPC\\clerk"), machineSid + "-1001");
    EXPECT_EQ(SidOf("Administrator"), machineSid + "-500");
    EXPECT_EQ(SidOf("Users", &domain, &use), "S-1-5-32-545");
    EXPECT_EQ(domain, "BUILTIN");
    EXPECT_EQ(use, SidTypeAlias);
    EXPECT_EQ(SidOf("Everyone"), "S-1-1-0");
    EXPECT_EQ(SidOf("NT AUTHORITY\\SYSTEM"), "S-1-5-18");
    EXPECT_EQ(SidOf("Nobody"), "<error " + std::to_string(ERROR_NONE_MAPPED) + ">");
    // The machine keeps its SID: a new look at the prefix finds the same one.
    EXPECT_EQ(tl::TheSecurityBackend().MachineSid(), machineSid);
}

TEST_F(NetApi, GroupMembersAreAddedOnceAndPasswordsAreKeptOnlyAsHashes) {
    ASSERT_EQ(NetUserAdd("", 1, User("TallymarUser", "Gr4nite&Quartz"), nullptr), NERR_Success);
    EXPECT_EQ(NetLocalGroupAddMembers("", "Users", 3, {{"TallymarUser"}}), NERR_Success);
    EXPECT_EQ(NetLocalGroupAddMembers("", "users", 3, {{"TESTPC\\TallymarUser"}}), ERROR_MEMBER_IN_ALIAS);
    EXPECT_EQ(NetLocalGroupAddMembers("", "Users", 3, {{"Nobody"}}), ERROR_NO_SUCH_MEMBER);
    EXPECT_EQ(NetLocalGroupAddMembers("", "Accountants", 3, {{"TallymarUser"}}), NERR_GroupNotFound);

    std::filesystem::create_directories(Host("C:\\Cases"));
    SHARE_INFO_2 share;
    share.shi2_netname = "Cases";
    share.shi2_path = "C:\\Cases";
    share.shi2_passwd = "Gr4nite&Quartz";
    EXPECT_EQ(NetShareAdd("", 2, share, nullptr), NERR_Success);
    share.shi2_netname = "CASES";
    EXPECT_EQ(NetShareAdd("", 2, share, nullptr), NERR_DuplicateShare);
    share.shi2_netname = "Missing";
    share.shi2_path = "C:\\Missing";
    EXPECT_EQ(NetShareAdd("", 2, share, nullptr), NERR_UnknownDevDir);
    share.shi2_netname = "Bad:Name";
    EXPECT_EQ(NetShareAdd("", 2, share, nullptr), ERROR_INVALID_NAME);

    const std::string accounts = ReadFile(prefix() / "machine" / "security" / "accounts.txt");
    const std::string hive = ReadFile(HiveFile(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(accounts.find("Gr4nite&Quartz"), std::string::npos);
    EXPECT_EQ(hive.find("Gr4nite&Quartz"), std::string::npos);
    const std::size_t hash = accounts.find("$y$");
    ASSERT_NE(hash, std::string::npos) << accounts;
    EXPECT_TRUE(
        tl::PasswordMatchesHash("Gr4nite&Quartz", accounts.substr(hash, accounts.find('\n', hash) - hash)));
    EXPECT_FALSE(
        tl::PasswordMatchesHash("Gr4nite&quartz", accounts.substr(hash, accounts.find('\n', hash) - hash)));
    EXPECT_NE(tl::HashPassword("same"), tl::HashPassword("same")) << "salted";
}

TEST_F(NetApi, UsersAreListedWithoutPasswordsAndDeletedWithTheirMemberships) {
    USER_INFO_1 network = User("TallymarUser");
    network.usri1_comment = "Tallymar network user";
    ASSERT_EQ(NetUserAdd("", 1, network, nullptr), NERR_Success);
    ASSERT_EQ(NetUserAdd("", 1, User("Clerk"), nullptr), NERR_Success);
    ASSERT_EQ(NetLocalGroupAddMembers("", "Users", 3, {{"TallymarUser"}}), NERR_Success);
    const std::string sid = SidOf("TallymarUser");
    std::vector<USER_INFO_1> users;
    ASSERT_EQ(NetUserEnum("", 1, users), NERR_Success);
    ASSERT_EQ(users.size(), 2U) << "the built-in accounts are not listed";
    EXPECT_EQ(users[0].usri1_name, "TallymarUser");
    EXPECT_EQ(users[0].usri1_comment, "Tallymar network user");
    EXPECT_EQ(users[0].usri1_flags, UF_NORMAL_ACCOUNT | UF_DONT_EXPIRE_PASSWD);
    EXPECT_EQ(users[0].usri1_password, "");
    EXPECT_EQ(NetUserEnum("", 0, users), ERROR_INVALID_LEVEL);
    EXPECT_EQ(NetUserEnum("OTHERPC", 1, users), ERROR_BAD_NETPATH);

    EXPECT_EQ(NetUserDel("OTHERPC", "TallymarUser"), ERROR_BAD_NETPATH);
    EXPECT_EQ(NetUserDel("", "tallymaruser"), NERR_Success);
    EXPECT_EQ(NetUserDel("", "TallymarUser"), NERR_UserNotFound);
    EXPECT_EQ(SidOf("TallymarUser"), "<error 1332>");
    const std::string accounts = ReadFile(prefix() / "machine" / "security" / "accounts.txt");
    EXPECT_EQ(accounts.find(sid), std::string::npos) << "its membership went with it";
    ASSERT_EQ(NetUserEnum("", 1, users), NERR_Success);
    ASSERT_EQ(users.size(), 1U);
    EXPECT_EQ(users[0].usri1_name, "Clerk");
}

TEST_F(NetApi, SddlReadsAndWritesBothWaysAndRefusesWhatWindowsRefuses) {
    const std::string machineSid = tl::TheSecurityBackend().MachineSid();
    const std::pair<std::string, std::string> roundTrips[] = {
        {"D:PAI(A;OICI;FA;;;SY)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;S-1-5-32-545)",
         "D:PAI(A;OICI;FA;;;SY)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)"},
        {"D:(A;OICI;GASDFA;;;" + machineSid + "-1000)", "D:(A;OICI;0x101f01ff;;;" + machineSid + "-1000)"},
        {"D:(D;;GAGR;;;" + machineSid + "-500)", "D:(D;;GAGR;;;LA)"},
        {"O:BAG:SYD:NO_ACCESS_CONTROL", "D:NO_ACCESS_CONTROL"},
        {"D:ARAI(A;CI;LCRPWP;;;AU)S:(AU;SA;FA;;;WD)", "D:ARAI(A;CI;RPWPLC;;;AU)"},
        {"D:(OA;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;WD)",
         "D:(OA;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;WD)"},
        {"D:", "D:"},
        {"", ""},
    };
    for (const auto& [given, written] : roundTrips) {
        SECURITY_DESCRIPTOR descriptor;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(given, SDDL_REVISION_1, descriptor))
            << given;
        std::string text;
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                         DACL_SECURITY_INFORMATION, text));
        EXPECT_EQ(text, written) << given;
    }
    for (const char* malformed :
         {"D:(A;;FA;;;)", "D:(A;;FA;;;XX)", "D:(A;OICI;FA;;SY)", "D:(Q;;FA;;;SY)", "D:(A;;ZZ;;;SY)",
          "D:(A;;FA;;;SY", "D:X(A;;FA;;;SY)", "X:(A;;FA;;;SY)", "D:(A;;FA;;;SY)D:(A;;FA;;;SY)",
          "D:NO_ACCESS_CONTROL(A;;FA;;;SY)", "D:(A;;FA;;;S-1-5-21-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15)",
          "D:(A;;FA;nope;;SY)"}) {
        SECURITY_DESCRIPTOR descriptor;
        SetLastError(0);
        EXPECT_FALSE(
            ConvertStringSecurityDescriptorToSecurityDescriptorA(malformed, SDDL_REVISION_1, descriptor))
            << malformed;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << malformed;
    }
    SECURITY_DESCRIPTOR descriptor;
    EXPECT_FALSE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:", 2, descriptor));
    EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_REVISION);
}

TEST_F(NetApi, FoldersInheritTheirListUntilOneIsSetAndNullListsReadNoAccessControl) {
    std::filesystem::create_directories(Host("C:\\Firm\\Cases\\2024"));
    EXPECT_EQ(Sddl("C:\\Firm"),
              "D:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIIOID;GA;;;CO)(A;OICIID;0x1200a9;;;BU)");
    SECURITY_DESCRIPTOR given;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:(A;OICI;FA;;;AU)(A;CINP;FR;;;WD)(A;OI;FR;;;BG)", SDDL_REVISION_1, given));
    ASSERT_EQ(
        SetNamedSecurityInfoA("C:\\Firm\\Cases", SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, &*given.dacl),
        0u);
    EXPECT_EQ(Sddl("C:\\Firm\\Cases"), "D:AI(A;OICI;FA;;;AU)(A;CINP;FR;;;WD)(A;OI;FR;;;BG)");
    EXPECT_EQ(Sddl("C:\\Firm\\Cases\\2024"), "D:AI(A;OICIID;FA;;;AU)(A;ID;FR;;;WD)(A;OIIOID;FR;;;BG)");
    ASSERT_EQ(SetNamedSecurityInfoA("C:\\Firm\\Cases", SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr),
              0u);
    EXPECT_EQ(Sddl("C:\\Firm\\Cases"), "D:PAINO_ACCESS_CONTROL");
    SECURITY_DESCRIPTOR none;
    EXPECT_EQ(GetNamedSecurityInfoA("C:\\Firm\\Nothing", SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, none),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetNamedSecurityInfoA("C:\\No\\Nothing", SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, none),
              ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(SetNamedSecurityInfoA("C:\\Firm", SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, nullptr),
              ERROR_INVALID_PARAMETER);
    bool present = false;
    bool defaulted = true;
    const ACL* dacl = &*given.dacl;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:NO_ACCESS_CONTROL", 1, none));
    EXPECT_TRUE(GetSecurityDescriptorDacl(none, present, dacl, defaulted));
    EXPECT_TRUE(present);
    EXPECT_EQ(dacl, nullptr);
    EXPECT_FALSE(defaulted);
}

TEST_F(NetApi, SidsConvertBetweenTheirBinaryAndTextForms) {
    const auto binary = tl::SidFromText("S-1-5-21-3623811015-3361044348-30300820-1013");
    ASSERT_TRUE(binary.has_value());
    const std::vector<std::uint8_t> expected = {1,    5,    0,    0,    0,    0,    0,    5,    21,   0,
                                                0,    0,    0xC7, 0xF7, 0xFE, 0xD7, 0x7C, 0x77, 0x55, 0xC8,
                                                0x94, 0x5A, 0xCE, 0x01, 0xF5, 0x03, 0,    0};
    EXPECT_EQ(*binary, expected);
    std::string text;
    EXPECT_TRUE(ConvertSidToStringSidA(binary->data(), text));
    EXPECT_EQ(text, "S-1-5-21-3623811015-3361044348-30300820-1013");
    const std::uint8_t broken[] = {2, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
    EXPECT_FALSE(ConvertSidToStringSidA(broken, text));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_SID);
    for (const char* bad : {"S-1", "S-1-5", "S-2-5-18", "S-1-5-", "S-1-x-18", "1-5-18"})
        EXPECT_FALSE(tl::SidFromText(bad).has_value()) << bad;
}
