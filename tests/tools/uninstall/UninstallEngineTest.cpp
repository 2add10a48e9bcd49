#include "tools/uninstall/UninstallManifest.h"

#include <gtest/gtest.h>

using namespace tl::uninstall;

TEST(UninstallManifestReader, KeepsEntriesInOrderAndReportsWhatIsWrong) {
    const UninstallManifest good = ParseUninstallManifest(
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<TallymarUninstall>\r\n"
        "<deletefile>C:\\Smith &#38; Jones.chm</deletefile>\r\n<DeleteKey>Software\\X</DeleteKey>\r\n"
        "<Other>y</Other>\r\n</TallymarUninstall>\r\n");
    ASSERT_TRUE(good.ok) << good.error;
    ASSERT_EQ(good.entries.size(), 3U);
    EXPECT_EQ(good.entries[0].kind, ManifestEntry::Kind::DeleteFile);
    EXPECT_EQ(good.entries[0].text, "C:\\Smith & Jones.chm");
    EXPECT_EQ(good.entries[1].kind, ManifestEntry::Kind::DeleteKey);
    EXPECT_EQ(good.entries[2].kind, ManifestEntry::Kind::Unknown);

    const UninstallManifest cut = ParseUninstallManifest("<TallymarUninstall><DeleteFile>C:\\a");
    EXPECT_FALSE(cut.ok);
    EXPECT_TRUE(cut.error.starts_with("XML parsing error at line 1 - ")) << cut.error;
    EXPECT_TRUE(cut.entries.empty());
    EXPECT_EQ(ParseUninstallManifest("").error,
              "The uninstall manifest has no single TallymarUninstall element");
    EXPECT_FALSE(ParseUninstallManifest("<TallymarUninstall/><TallymarUninstall/>").ok);
    EXPECT_EQ(ReadUninstallManifest("/nonexistent/TLMUINST.xml").error,
              "Cannot read /nonexistent/TLMUINST.xml: the file does not exist");
}
