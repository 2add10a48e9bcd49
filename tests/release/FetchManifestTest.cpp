#include "release/FetchManifest.h"

#include "release/DownloadFile.h"
#include "release/ManifestBinding.h"
#include "tests/release/TestBytes.h"
#include "tests/release/UpdateTestBase.h"

#include <gmock/gmock.h>
#include <zlib.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class FetchManifest : public tltest::UpdateTestBase {
protected:
    bool Fetch(const std::string& xml) {
        server.Serve("/CurrentVersion.xml", xml);
        return ::FetchManifest(sheet);
    }
    XCurrentVersion& First() { return *sheet.manifestObjects.front(); }
    std::string FetchingLine() const { return "Fetching manifest from " + server.BaseUrl(); }
    static constexpr const char* kUnchecked = "Manifest signature not checked: no trusted release key";
};

using tltest::Deflate;

} // namespace

TEST_F(FetchManifest, BindsEveryClassFromAttributesAndChildElements) {
    ASSERT_TRUE(Fetch(R"(<?xml version="1.0" encoding="utf-8" ?>
<CurrentVersion DatabaseLevel="14">
  <UpdateLevel>7</UpdateLevel>
  <Module Name="Tallymar.exe" Flags="3" Description="Main program" Remarks="Faster printing" State=""
          Version="2.0.1.0"/>
  <Module Name="Texas.dll" Flags="16"><Version>1.0.0.9</Version><State>TX</State></Module>
  <SupportFile Name="Checklist.ini" Description="Checklists" Date="04/18/2006" Time="14:00:00" Flags="258"/>
  <SupportFile><Name>Undated.txt</Name><Date></Date><Flags>12abc</Flags><Unknown>ignored</Unknown></SupportFile>
  <Alert ID="A1" Effective="01/02/2006" Level="High" Text="Read &amp;amp; act"/>
  <Ignored Name="x"/>
</CurrentVersion>)"));
    ASSERT_EQ(sheet.manifestObjects.size(), 1u);
    XCurrentVersion& manifest = First();
    EXPECT_EQ(manifest.DatabaseLevel, 14);
    EXPECT_EQ(manifest.UpdateLevel, 7);
    EXPECT_EQ(sheet.updateLevel, 7);

    ASSERT_EQ(manifest.Modules.size(), 2u);
    const XModule& program = *manifest.Modules[0];
    EXPECT_EQ(program.Name, "Tallymar.exe");
    EXPECT_EQ(program.Description, "Main program");
    EXPECT_EQ(program.Version, "2.0.1.0");
    EXPECT_EQ(program.Remarks, "Faster printing");
    EXPECT_EQ(program.Flags, 3);
    const XModule& texas = *manifest.Modules[1];
    EXPECT_EQ(texas.Version, "1.0.0.9");
    EXPECT_EQ(texas.State, "TX");
    EXPECT_EQ(texas.Flags, FlagStateModule);

    ASSERT_EQ(manifest.SupportFiles.size(), 2u);
    const XSupportFile& checklist = *manifest.SupportFiles[0];
    int month = 0, day = 0, year = 0;
    ASSERT_TRUE(checklist.Date.GetParts(month, day, year));
    EXPECT_EQ(year * 10000 + month * 100 + day, 20060418);
    EXPECT_EQ(checklist.Time, "14:00:00");
    EXPECT_EQ(ImportKindFromFlags(checklist.Flags), 1);
    const XSupportFile& undated = *manifest.SupportFiles[1];
    EXPECT_TRUE(undated.Date.IsNotApplicable()) << "an empty Date is not applicable, not unknown";
    EXPECT_EQ(undated.Flags, 12);
    EXPECT_TRUE(XSupportFile().Date.IsUnknown());

    ASSERT_EQ(manifest.Alerts.size(), 1u);
    EXPECT_EQ(manifest.Alerts[0]->ID, "A1");
    EXPECT_EQ(manifest.Alerts[0]->Level, "High");
    EXPECT_EQ(manifest.Alerts[0]->Text, "Read & act");
    EXPECT_TRUE(manifest.Alerts[0]->Expires.IsUnknown());
    EXPECT_THAT(LogLines(), ElementsAre(FetchingLine(), kUnchecked));
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(FetchManifest, AttributeAndChildFormsBindAlikeAndAttributesWin) {
    ASSERT_TRUE(Fetch("<currentversion>"
                      "<module Name=\"A.dll\" Flags=\"2\" Version=\"1.2.3.4\"/>"
                      "<MODULE Name=\"A.dll\" Flags=\"2\"><version>1.2.3.4</version></MODULE>"
                      "<Module Name=\"B.dll\" Version=\"5.0.0.0\"><Version>4.0.0.0</Version></Module>"
                      "</currentversion>"));
    ASSERT_EQ(First().Modules.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(First().Modules[i]->Name, "A.dll");
        EXPECT_EQ(First().Modules[i]->Flags, FlagInstallIfAbsent);
        EXPECT_EQ(First().Modules[i]->Version, "1.2.3.4");
    }
    EXPECT_EQ(First().Modules[2]->Version, "5.0.0.0") << "child elements bind first, then attributes";
    EXPECT_EQ(sheet.updateLevel, 0) << "no UpdateLevel reads as 0";
}

TEST_F(FetchManifest, SizeAndSha256AreReadAndChangeNothingElse) {
    // Every field a reader that knows nothing of Size and Sha256 reads, then the two.
    const auto bind = [](const std::string& module, const std::string& supportFile) {
        XmlDocument document(false);
        std::vector<std::unique_ptr<XCurrentVersion>> objects;
        EXPECT_TRUE(document.Parse("<CurrentVersion UpdateLevel=\"3\">" + module + supportFile +
                                   "</CurrentVersion>"));
        document.Bind(kManifestBinding, kManifestBindingCount, &objects);
        const XModule& m = *objects.at(0)->Modules.at(0);
        const XSupportFile& f = *objects.at(0)->SupportFiles.at(0);
        return std::make_pair(m.Name + "|" + m.Description + "|" + m.Version + "|" + m.Remarks + "|" +
                                  m.State + "|" + std::to_string(m.Flags) + "|" + f.Name + "|" +
                                  f.Description + "|" + f.Date.Text() + "|" + f.Time + "|" + f.Remarks + "|" +
                                  f.State + "|" + std::to_string(f.Flags),
                              m.Size + "|" + m.Sha256 + "|" + f.Size + "|" + f.Sha256);
    };
    const std::string plain = "A.exe||1.2.3.4|||3|B.ini||04/18/2006|14:00:00|||2";
    EXPECT_EQ(bind("<Module Name=\"A.exe\" Version=\"1.2.3.4\" Flags=\"3\"/>",
                   "<SupportFile Name=\"B.ini\" Date=\"04/18/2006\" Time=\"14:00:00\" Flags=\"2\"/>"),
              std::make_pair(plain, std::string("|||")));
    EXPECT_EQ(
        bind("<Module Name=\"A.exe\" Version=\"1.2.3.4\" Flags=\"3\" Size=\"20000\" Sha256=\"" +
                 std::string(64, 'a') + "\"/>",
             "<SupportFile Name=\"B.ini\" Date=\"04/18/2006\" Time=\"14:00:00\" Flags=\"2\"><Size>0</Size>"
             "<Sha256>e3b0</Sha256></SupportFile>"),
        std::make_pair(plain, "20000|" + std::string(64, 'a') + "|0|e3b0"));

    // Through the fetch, as tlpublish writes them: the run reads the rest as it always did.
    ASSERT_TRUE(Fetch("<CurrentVersion UpdateLevel=\"4\"><Module Name=\"A.exe\" Version=\"1.0.0.1\" "
                      "Size=\"11\" Sha256=\"" +
                      std::string(64, 'F') +
                      "\"/><SupportFile Name=\"B.ini\" Flags=\"2\" Size=\"7\"/></CurrentVersion>"));
    EXPECT_EQ(sheet.updateLevel, 4);
    EXPECT_EQ(First().Modules.at(0)->Version, "1.0.0.1");
    EXPECT_EQ(First().Modules.at(0)->Sha256, std::string(64, 'F'));
    EXPECT_EQ(First().SupportFiles.at(0)->Size, "7");
    EXPECT_EQ(First().SupportFiles.at(0)->Flags, 2);
    EXPECT_THAT(LogLines(), ElementsAre(FetchingLine(), kUnchecked));
}

TEST_F(FetchManifest, TwoManifestsAreBoundAndTheFirstIsUsed) {
    ASSERT_TRUE(Fetch("<CurrentVersion UpdateLevel=\"3\"><Module Name=\"One.dll\"/></CurrentVersion>"
                      "<CurrentVersion UpdateLevel=\"9\"><Module Name=\"Two.dll\"/></CurrentVersion>"));
    ASSERT_EQ(sheet.manifestObjects.size(), 2u);
    EXPECT_EQ(sheet.updateLevel, 3);
    EXPECT_EQ(First().Modules[0]->Name, "One.dll");
}

TEST_F(FetchManifest, FlagsSeventyTwoPutAModuleInTheHomeDirectory) {
    ASSERT_TRUE(Fetch("<CurrentVersion><Module Name=\"Shared.dll\" Flags=\"72\"/></CurrentVersion>"));
    EXPECT_EQ(First().Modules[0]->Flags, 0x48);
    EXPECT_EQ(FolderKindFromFlags(First().Modules[0]->Flags), FolderHome);
}

TEST_F(FetchManifest, ACompressedManifestIsInflatedBeforeParsing) {
    server.Serve("/CurrentVersion.xml", Deflate("<CurrentVersion><Module Name=\"Z.dll\"/></CurrentVersion>"));
    ASSERT_TRUE(::FetchManifest(sheet));
    EXPECT_EQ(First().Modules[0]->Name, "Z.dll");
}

TEST_F(FetchManifest, IntegersReadTheirLeadingNumberWithinRange) {
    EXPECT_EQ(ManifestInteger("42"), 42);
    EXPECT_EQ(ManifestInteger(" -7x"), -7);
    EXPECT_EQ(ManifestInteger("abc"), 0);
    EXPECT_EQ(ManifestInteger(""), 0);
    EXPECT_EQ(ManifestInteger("99999999999"), 2147483647);
    EXPECT_EQ(ManifestInteger("-99999999999"), -2147483647 - 1);
}

TEST_F(FetchManifest, EntriesThatWouldReachOutsideTheirFolderAreLeftOut) {
    ASSERT_TRUE(Fetch("<CurrentVersion>"
                      "<Module Flags=\"2\"><Name>..\\..\\Windows\\evil.dll</Name></Module>"
                      "<Module Name=\"Good.dll\"/><Module Description=\"no name\"/>"
                      "<SupportFile Flags=\"32\"><Name>C:\\boot.ini</Name></SupportFile>"
                      "<SupportFile Name=\"a/b.txt\"/></CurrentVersion>"));
    ASSERT_EQ(First().Modules.size(), 1u);
    EXPECT_EQ(First().Modules[0]->Name, "Good.dll");
    EXPECT_THAT(First().SupportFiles, IsEmpty());
    EXPECT_THAT(
        LogLines(),
        ElementsAre(
            FetchingLine(), kUnchecked,
            "**** Refusing file name ..\\..\\Windows\\evil.dll from the file manifest: not a plain file name",
            "**** Refusing file name  from the file manifest: not a plain file name",
            "**** Refusing file name C:\\boot.ini from the file manifest: not a plain file name",
            "**** Refusing file name a/b.txt from the file manifest: not a plain file name"));
}

TEST_F(FetchManifest, AFailedDownloadEndsTheRun) {
    EXPECT_FALSE(::FetchManifest(sheet));
    EXPECT_THAT(LogLines(), ElementsAre(FetchingLine(), "**** Error fetching manifest"));
    EXPECT_THAT(Messages(), ElementsAre("Internal error RIF102 (404) trying to download " + server.BaseUrl() +
                                            "CurrentVersion.xml. Please write down this message and contact "
                                            "technical support.",
                                        "Unable to retrieve file manifest from file server"));
    EXPECT_EQ(ui.Messages()[1].style, win::MB_OK | win::MB_ICONERROR);
}

TEST_F(FetchManifest, BrokenXmlAndAMissingCurrentVersionAreReportedApart) {
    EXPECT_FALSE(Fetch("<CurrentVersion><Module Name=\"A.dll\"></CurrentVersion>"));
    EXPECT_TRUE(sheet.manifestObjects.empty()) << "nothing of a broken document is bound";
    EXPECT_FALSE(Fetch("<Manifest><Module Name=\"A.dll\"/></Manifest>"));
    EXPECT_THAT(LogLines(),
                ElementsAre(FetchingLine(), kUnchecked, "**** Error in file manifest XML", FetchingLine(),
                            kUnchecked, "**** No CurrentVersion object in file manifest"));
    EXPECT_THAT(Messages(), ElementsAre("Error in online file manifest - unable to continue",
                                        "Error in online file manifest - unable to continue"));
}
