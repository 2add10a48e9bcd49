#include "platform/ShellLink.h"

#include "platform/FileTime.h"
#include "tests/support/ParsedShellLink.h"
#include "tests/support/TestMachine.h"

#include <array>
#include <cstdio>
#include <gmock/gmock.h>
#include <memory>
#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

class ShellLinkTest : public tltest::MachineTest {
protected:
    std::string Save(const std::string& target, const std::string& description, const std::string& link) {
        win::ShellLink shellLink;
        EXPECT_EQ(shellLink.SetPath(target), win::S_OK);
        EXPECT_EQ(shellLink.SetDescription(description), win::S_OK);
        EXPECT_EQ(shellLink.Save(link, true), win::S_OK);
        return ReadFile(Host(link));
    }

    // What Debian's lnkinfo makes of a link; empty when the tool is not installed.
    static std::string LnkInfo(const std::filesystem::path& file) {
        const std::string command = "lnkinfo '" + file.string() + "' 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        std::string output;
        std::array<char, 4096> buffer{};
        while (pipe && std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr)
            output += buffer.data();
        return output;
    }
};

} // namespace

TEST_F(ShellLinkTest, ALocalTargetIsWrittenFieldByFieldAsThePublishedLayoutSays) {
    WriteFile(Host("C:\\Program Files\\Tallymar\\TlSplash.exe"), "twelve bytes");
    const std::string bytes = Save("C:\\Program Files\\Tallymar\\TlSplash.exe", "Tallydesk",
                                   "C:\\Users\\tester\\Desktop\\Tallydesk.lnk");
    std::string why;
    const auto link = tltest::ParseShellLink(bytes, &why);
    ASSERT_TRUE(link.has_value()) << why;
    EXPECT_EQ(link->headerSize, 0x4Cu);
    EXPECT_EQ(link->clsid,
              std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(link->linkFlags, 0x86u) << "HasLinkInfo, HasName, IsUnicode";
    EXPECT_EQ(link->fileAttributes, 0x20u);
    struct stat info {};
    ASSERT_EQ(::stat(Host("C:\\Program Files\\Tallymar\\TlSplash.exe").c_str(), &info), 0);
    EXPECT_EQ(link->writeTime, static_cast<std::uint64_t>(tl::FileTimeFromTimespec(info.st_mtim)));
    EXPECT_EQ(link->fileSize, 12u);
    EXPECT_EQ(link->showCommand, 1u);
    EXPECT_EQ(link->linkInfoHeaderSize, 0x1Cu);
    EXPECT_EQ(link->linkInfoFlags, 1u) << "VolumeIDAndLocalBasePath";
    EXPECT_EQ(link->driveType, win::DRIVE_FIXED);
    EXPECT_EQ(link->localBasePath, "C:\\Program Files\\Tallymar\\TlSplash.exe");
    EXPECT_EQ(link->commonPathSuffix, "");
    EXPECT_EQ(link->name, u"Tallydesk");
    EXPECT_EQ(link->terminalBlock, 0u);
    EXPECT_EQ(link->endOffset, bytes.size());

    const std::string shown = LnkInfo(Host("C:\\Users\\tester\\Desktop\\Tallydesk.lnk"));
    if (shown.empty())
        GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
    EXPECT_THAT(shown, HasSubstr("Local path\t\t\t: C:\\Program Files\\Tallymar\\TlSplash.exe"));
    EXPECT_THAT(shown, HasSubstr("Description\t\t\t: Tallydesk"));
    EXPECT_THAT(shown, HasSubstr("Drive type\t\t\t: Fixed"));
}

TEST_F(ShellLinkTest, AUncTargetIsANetworkShareAndItsPathSuffix) {
    std::filesystem::create_directories(machine().NetworkFolder() / "MAIN" / "Cases" / "2024");
    const std::string bytes =
        Save("\\\\MAIN\\Cases\\2024", "Café cases", "C:\\Users\\tester\\Desktop\\Cases.lnk");
    const auto link = tltest::ParseShellLink(bytes);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->linkInfoFlags, 2u) << "CommonNetworkRelativeLinkAndPathSuffix";
    EXPECT_EQ(link->netName, "\\\\MAIN\\Cases");
    EXPECT_EQ(link->networkProviderType, 0x00020000u) << "WNNC_NET_LANMAN";
    EXPECT_EQ(link->commonPathSuffix, "2024");
    EXPECT_EQ(link->fileAttributes, 0x10u);
    EXPECT_EQ(link->name, u"Caf\u00e9 cases");

    const std::string shown = LnkInfo(Host("C:\\Users\\tester\\Desktop\\Cases.lnk"));
    if (shown.empty())
        GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
    EXPECT_THAT(shown, HasSubstr("Network path\t\t\t: \\\\MAIN\\Cases\\2024"));
}

TEST_F(ShellLinkTest, BadTargetsAndMissingFoldersFailWithTheirResults) {
    win::ShellLink link;
    EXPECT_EQ(link.Save("C:\\Users\\tester\\Desktop\\x.lnk", true), win::E_INVALIDARG);
    EXPECT_EQ(link.SetPath("relative\\path"), win::E_INVALIDARG);
    EXPECT_EQ(link.SetDescription(std::string(1025, 'x')), win::E_INVALIDARG);
    ASSERT_EQ(link.SetPath("C:\\Missing\\Tallymar.exe"), win::S_OK);
    EXPECT_EQ(link.Save("C:\\No Such Folder\\x.lnk", true), static_cast<win::HRESULT>(0x80070003u));
}
