#include "app/CSetupSheet.h"
#include "platform/IoFaults.h"
#include "platform/LastError.h"
#include "tests/support/TestMachine.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr char kHeader[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n";

class UninstallManifest : public tltest::MachineTest {
protected:
    UninstallManifest() : sheet(CSetupSheet::kInstallCaptionId) {
        sheet.installDirectory = "C:\\Program Files\\Tallymar";
        std::filesystem::create_directories(Host(sheet.installDirectory));
        sheet.OpenLog();
    }

    std::string ManifestFile() { return ReadFile(Host("C:\\Program Files\\Tallymar\\TLMUINST.xml")); }
    std::string LogText() { return ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")); }
    std::vector<std::string> Entries() {
        std::vector<std::string> entries;
        for (const auto& entry : sheet.uninstallManifest.roots.at(0)->children)
            entries.push_back(entry->name + ":" + entry->Text());
        return entries;
    }

    CSetupSheet sheet;
};

} // namespace

TEST_F(UninstallManifest, FileHasOneEntryPerLineAndReadsBackUnchanged) {
    sheet.CreateUninstallRoot();
    sheet.AddDeleteFile("\\\\TESTPC\\Tallymar Data\\tallymar.mdb");
    sheet.AddDeleteFile("C:\\Program Files\\Tallymar\\Smith & Jones.dll");
    sheet.AddDeleteFile("C:\\Program Files\\Tallymar\\TLMUINST.XML");
    sheet.AddDeleteKey("Software\\Fenmore Software\\Tallymar");
    ASSERT_TRUE(sheet.SaveUninstallManifest());

    const std::string file = ManifestFile();
    EXPECT_EQ(file, std::string(kHeader) +
                        "<TallymarUninstall>\r\n"
                        "<DeleteFile>\\\\TESTPC\\Tallymar Data\\tallymar.mdb</DeleteFile>\r\n"
                        "<DeleteFile>C:\\Program Files\\Tallymar\\Smith &#38; Jones.dll</DeleteFile>\r\n"
                        "<DeleteFile>C:\\Program Files\\Tallymar\\TLMUINST.XML</DeleteFile>\r\n"
                        "<DeleteKey>Software\\Fenmore Software\\Tallymar</DeleteKey>\r\n"
                        "</TallymarUninstall>\r\n");

    XmlDocument back(false);
    ASSERT_TRUE(back.Parse(file));
    ASSERT_EQ(back.roots.size(), 1U);
    EXPECT_EQ(back.roots[0]->children.at(1)->Text(), "C:\\Program Files\\Tallymar\\Smith & Jones.dll");
    EXPECT_EQ(back.roots[0]->children.at(3)->name, "DeleteKey");
}

TEST_F(UninstallManifest, EntriesKeepTheirOrderAndAreNeverMerged) {
    sheet.CreateUninstallRoot();
    sheet.AddDeleteFile("C:\\a.exe");
    sheet.AddDeleteFile("C:\\a.exe");
    sheet.AddDeleteKey("C:\\a.exe");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DeleteFile:C:\\a.exe", "DeleteFile:C:\\a.exe",
                                                   "DeleteKey:C:\\a.exe"}));
    auto loose = sheet.AddUninstallEntry("DeleteFile", "C:\\b.exe");
    EXPECT_EQ(loose->Text(), "C:\\b.exe");
    EXPECT_EQ(loose->creator, &sheet.uninstallElementFactory);
    EXPECT_EQ(Entries().size(), 3U) << "AddUninstallEntry attaches nothing";
}

TEST_F(UninstallManifest, RemoveDeleteFileIgnoresCaseAndTouchesNothingElse) {
    sheet.CreateUninstallRoot();
    sheet.AddDeleteFile("C:\\Program Files\\Tallymar\\Old.dll");
    sheet.AddDeleteFile("C:\\Program Files\\Tallymar\\Keep.exe");
    sheet.AddDeleteKey("c:\\program files\\tallymar\\old.dll");
    sheet.AddDeleteFile("C:\\PROGRAM FILES\\TALLYMAR\\OLD.DLL");
    sheet.AddDeleteFile("C:\\Program Files\\Tallymar\\Last.hlp");

    sheet.RemoveDeleteFile("C:\\Program Files\\Tallymar\\NotThere.dll");
    EXPECT_EQ(Entries().size(), 5U);
    sheet.RemoveDeleteFile("c:\\program files\\tallymar\\old.dll");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"DeleteFile:C:\\Program Files\\Tallymar\\Keep.exe",
                                                   "DeleteKey:c:\\program files\\tallymar\\old.dll",
                                                   "DeleteFile:C:\\Program Files\\Tallymar\\Last.hlp"}));
}

TEST_F(UninstallManifest, EntriesBeforeTheRootGetOneAndAnUpdateAppendsAFreshRoot) {
    sheet.AddDeleteFile("C:\\early.dll");
    sheet.RemoveDeleteFile("C:\\nothing");
    ASSERT_EQ(sheet.uninstallManifest.roots.size(), 1U);
    EXPECT_EQ(sheet.uninstallManifest.roots[0]->name, "TallymarUninstall");
    EXPECT_EQ(Entries(), std::vector<std::string>{"DeleteFile:C:\\early.dll"});

    sheet.CreateUninstallRoot();
    sheet.AddDeleteFile("C:\\late.dll");
    ASSERT_EQ(sheet.uninstallManifest.roots.size(), 2U);
    EXPECT_EQ(sheet.uninstallManifest.roots[1]->children.at(0)->Text(), "C:\\late.dll");
}

TEST_F(UninstallManifest, SavingReplacesALongerEarlierFile) {
    WriteFile(Host("C:\\Program Files\\Tallymar\\TLMUINST.xml"), std::string(5000, 'x'));
    sheet.CreateUninstallRoot();
    ASSERT_TRUE(sheet.SaveUninstallManifest());
    EXPECT_EQ(ManifestFile(), std::string(kHeader) + "<TallymarUninstall/>");
}

TEST_F(UninstallManifest, AFailedSaveIsLoggedAndKeepsFileAndEntries) {
    const std::string earlier = "earlier manifest";
    WriteFile(Host("C:\\Program Files\\Tallymar\\TLMUINST.xml"), earlier);
    sheet.CreateUninstallRoot();
    sheet.AddDeleteFile("C:\\Program Files\\Tallymar\\a.exe");
    {
        tl::ScopedWriteFault diskFull([](const std::filesystem::path& target) {
            return target.filename() == "TLMUINST.xml" ? ENOSPC : 0;
        });
        EXPECT_FALSE(sheet.SaveUninstallManifest());
    }
    EXPECT_EQ(win::GetLastError(), win::ERROR_DISK_FULL);
    EXPECT_EQ(ManifestFile(), earlier);
    EXPECT_TRUE(LogText().ends_with(
        " - **** Error 112 trying to write C:\\Program Files\\Tallymar\\TLMUINST.xml\r\n"));

    // A read-only file is refused as Windows refuses to truncate it.
    ::chmod(Host("C:\\Program Files\\Tallymar\\TLMUINST.xml").c_str(), 0444);
    EXPECT_FALSE(sheet.SaveUninstallManifest());
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_EQ(ManifestFile(), earlier);

    // The entries are still there for a later attempt.
    ::chmod(Host("C:\\Program Files\\Tallymar\\TLMUINST.xml").c_str(), 0644);
    ASSERT_TRUE(sheet.SaveUninstallManifest());
    EXPECT_NE(ManifestFile().find("<DeleteFile>C:\\Program Files\\Tallymar\\a.exe</DeleteFile>"),
              std::string::npos);
}

TEST_F(UninstallManifest, AnInstallDirectoryOnAMissingDriveFails) {
    sheet.installDirectory = "Q:\\Tallymar";
    sheet.CreateUninstallRoot();
    EXPECT_FALSE(sheet.SaveUninstallManifest());
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
    EXPECT_TRUE(LogText().ends_with(" - **** Error 3 trying to write Q:\\Tallymar\\TLMUINST.xml\r\n"));
}
