#include "tools/publish/PublishRelease.h"

#include "platform/IoFaults.h"
#include "release/FetchManifest.h"
#include "tests/tools/PublishTestSupport.h"
#include "crypto/Sha256.h"
#include "xml/XmlDocument.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

class Tlpublish : public tltest::PublishTest {
protected:
    std::string Served(const std::string& serverName) {
        return ReadFile(Output() / "CurrentVersion" / serverName);
    }
    static bool IsZlib(const std::string& bytes) {
        return bytes.size() >= 2 && bytes[0] == '\x78' && bytes[1] == '\x9C';
    }
};

struct ExpectedEntry {
    const char* name;
    const char* description;
    const char* remarks;
    const char* state;
    int flags;
    const char* versionOrTime; ///< a module's version, a support file's "date time"
};

const ExpectedEntry kModules[] = {
    {"Tallymar.exe", "Tallymar \"main\" program",
     " Faster & <better> printing\nSee C:\\Tallymar\\Help; entities stay: &amp; &#65;", "", 0x03, "2.0.0.5"},
    {"Version Probe", "A Linux program of ours", "", "", 0x42, "3.14.159.2653"},
    {"Old Tool.exe", "", "", "", 0x28, ""},
};

const ExpectedEntry kSupportFiles[] = {
    {"CreditorNames.mdb", "Creditor names", "", "", 0x20A, "04/18/2006 14:00:00"},
    {"tlmscanx.ini", "", "", "", 0x02, "04/18/2006 14:00:01"},
    {"States.tlv", "Random bytes, served as they are", "", "", 0x03, "04/18/2006 14:00:02"},
    {"Empty.txt", "", "", "", 0x02, "04/18/2006 14:00:03"},
    {"Looks compressed.bin", "", "", "", 0x02, "04/18/2006 14:00:04"},
    {"R&D trustees.ini", "Texas trustees", "", "TX", 0x310, "04/18/2006 14:00:05"},
};

} // namespace

TEST_F(Tlpublish, RoundTripGivesBackEveryFieldAndEveryByte) {
    PutSampleRelease();
    const tltest::ProgramResult run = RunPublish();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("unlisted.txt is not in the description and is not published"));
    EXPECT_EQ(Snapshot(Output()).size(), 9u); // eight files and the manifest; none for the obsolete one
    ServeOutput();
    ASSERT_TRUE(::FetchManifest(sheet));
    const XCurrentVersion& manifest = *sheet.manifestObjects.front();
    EXPECT_EQ(manifest.DatabaseLevel, 14);
    EXPECT_EQ(manifest.UpdateLevel, 3);

    ASSERT_EQ(manifest.Modules.size(), std::size(kModules));
    for (std::size_t i = 0; i < std::size(kModules); ++i) {
        const XModule& module = *manifest.Modules[i];
        const ExpectedEntry& expected = kModules[i];
        EXPECT_EQ(module.Name, expected.name);
        EXPECT_EQ(module.Description, expected.description) << expected.name;
        EXPECT_EQ(module.Remarks, expected.remarks) << expected.name;
        EXPECT_EQ(module.State, expected.state) << expected.name;
        EXPECT_EQ(module.Flags, expected.flags) << expected.name;
        EXPECT_EQ(module.Version, expected.versionOrTime) << expected.name;
    }
    ASSERT_EQ(manifest.SupportFiles.size(), std::size(kSupportFiles));
    for (std::size_t i = 0; i < std::size(kSupportFiles); ++i) {
        const XSupportFile& file = *manifest.SupportFiles[i];
        const ExpectedEntry& expected = kSupportFiles[i];
        EXPECT_EQ(file.Name, expected.name);
        EXPECT_EQ(file.Description, expected.description) << expected.name;
        EXPECT_EQ(file.Remarks, expected.remarks) << expected.name;
        EXPECT_EQ(file.State, expected.state) << expected.name;
        EXPECT_EQ(file.Flags, expected.flags) << expected.name;
        EXPECT_EQ(file.Date.Text() + " " + file.Time, expected.versionOrTime) << expected.name;
    }
    ASSERT_EQ(manifest.Alerts.size(), 1u);
    const XAlert& alert = *manifest.Alerts[0];
    EXPECT_EQ(alert.ID, "A1");
    EXPECT_EQ(alert.Effective.Text(), "01/02/2006");
    EXPECT_TRUE(alert.Expires.IsNotApplicable());
    EXPECT_EQ(alert.Level, "High");
    EXPECT_EQ(alert.Text, "Back up first: C:\\Data & \"quotes\"");

    // Compressed where that pays, and always where the file itself would pass for a zlib stream
    // or the response would be empty.
    EXPECT_TRUE(IsZlib(Served("CreditorNames.exe")));
    EXPECT_TRUE(IsZlib(Served("Empty.txt")));
    EXPECT_TRUE(IsZlib(Served("Looks compressed.bin")));
    EXPECT_EQ(Served("States.bin"), ReadFile(ReleaseFolder() / "States.tlv"));
    EXPECT_EQ(Served("R&D trustees.txt"), ReadFile(ReleaseFolder() / "R&D trustees.ini"));
    InstallEverything();
}

TEST_F(Tlpublish, EveryFileCarriesSizeAndSha256OfTheFileAsInstalled) {
    PutSampleRelease();
    ASSERT_EQ(RunPublish().status, 0);
    XmlDocument document(false);
    ASSERT_TRUE(document.Parse(ReadFile(Output() / "CurrentVersion.xml")));
    std::size_t checked = 0;
    for (const auto& entry : document.roots.front()->children) {
        std::map<std::string, std::string> attributes;
        for (const auto& attribute : entry->attributes)
            attributes[attribute->name] = attribute->value;
        if (entry->name == "Alert" || attributes["Flags"] == "40")
            continue; // an alert, and the obsolete module, which has no file
        const std::string source = ReadFile(ReleaseFolder() / attributes["Name"]);
        EXPECT_EQ(attributes["Size"], std::to_string(source.size())) << attributes["Name"];
        EXPECT_EQ(attributes["Sha256"], Sha256::Of(source)) << attributes["Name"];
        ++checked;
    }
    EXPECT_EQ(checked, 8u);
    // The setup program's binding knows neither attribute and binds the entries all the same.
    ServeOutput();
    ASSERT_TRUE(::FetchManifest(sheet));
    EXPECT_EQ(sheet.manifestObjects.front()->Modules.size(), 3u);
    EXPECT_EQ(sheet.manifestObjects.front()->SupportFiles.size(), 6u);
}

TEST_F(Tlpublish, SameInputGivesSameBytes) {
    PutSampleRelease();
    ASSERT_EQ(RunPublish().status, 0);
    const auto first = Snapshot(Output());
    // Replaces its own earlier output, here named with a trailing slash.
    const tltest::ProgramResult again =
        tltest::RunProgram({TL_PUBLISH_PROGRAM, ReleaseFolder().string(), Output().string() + "/"});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_THAT(again.out, HasSubstr("tlpublish: published 9 entries, 8 files (5 compressed)"));
    EXPECT_EQ(Snapshot(Output()), first);
    EXPECT_THAT(OutputNeighbours(), ElementsAre("tallymar"));
}

TEST_F(Tlpublish, ErrorsNameTheFileAndLineAndKeepTheOldOutput) {
    PutSampleRelease();
    PutFile("NoVersion.exe", ReadFile(std::string(TL_TEST_DATA_DIR) + "/pe/pe64_no_version_resource.exe"));
    ASSERT_EQ(RunPublish().status, 0);
    const auto published = Snapshot(Output());
    const std::string release = "[Release]\nDatabaseLevel=1\nUpdateLevel=1\n";
    const std::pair<std::string, std::string> cases[] = {
        {release + "[Module Missing.exe]\n", "(4): Missing.exe is not in the release folder"},
        {release + "[Module tlmscanx.ini]\n", "(4): tlmscanx.ini is a module but neither a Windows program "
                                              "nor a program of ours, so it has no version"},
        {release + "[Module NoVersion.exe]\n",
         "(4): NoVersion.exe is a module without a version (no version resource or version note)"},
        {release + "[Module Tallymar.exe]\nFlags=InstallIfAbsent Shared\n",
         "(5): Flags has the unknown flag Shared; the flags are AlwaysReplace, InstallIfAbsent, "
         "SharedFolder, "
         "StateModule, Obsolete or LocalAppData"},
        {release + "[SupportFile Creditors.ini]\nImport=Debtors\n",
         "(5): Import has the unknown import kind Debtors"},
        {release + "[SupportFile ..\\evil.ini]\n", "(4): \"..\\evil.ini\" is not a plain file name"},
        {release + "[SupportFile sub/file.txt]\n", "(4): \"sub/file.txt\" is not a plain file name"},
        {release + "[Module Tallymar.exe]\nDescription Tallymar\n", "(5): expected [section] or Key=Value"},
        {release + "[Module Tallymar.exe]\nVersion=2.0.0.5\n",
         "(5): Version is not a key of [Module]; its keys are Description, Remarks, State, Flags (a module's "
         "version is read from the file)"},
        {release + "[SupportFile Places.mdb]\n[SupportFile Places.exe]\n",
         "(5): Places.exe and Places.mdb (line 4) have the same name on the file server, Places.exe"},
        {release + "[Module Old.exe]\nFlags=Obsolete InstallIfAbsent\n",
         "(4): Old.exe: Obsolete excludes InstallIfAbsent, StateModule, AlwaysReplace and an import kind"},
        {"[Release]\nDatabaseLevel=1\n", "(1): [Release] lacks UpdateLevel"},
        {"[Module Tallymar.exe]\n", ": no [Release] section giving DatabaseLevel and UpdateLevel"},
    };
    for (const auto& [description, error] : cases) {
        Describe(description);
        const tltest::ProgramResult run = RunPublish();
        EXPECT_EQ(run.status, 1) << description;
        EXPECT_THAT(run.err, HasSubstr("tlpublish: " + Description().string() + error)) << description;
        EXPECT_THAT(run.err, HasSubstr("tlpublish: nothing was written"));
        EXPECT_EQ(Snapshot(Output()), published) << description;
        EXPECT_THAT(OutputNeighbours(), ElementsAre("tallymar")) << description;
    }
}

TEST_F(Tlpublish, NeverReplacesAFolderItDidNotWrite) {
    PutSampleRelease();
    WriteFile(Output() / "index.html", "somebody's site");
    tltest::ProgramResult run = RunPublish();
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("holds index.html, which tlpublish did not write"));
    EXPECT_EQ(ReadFile(Output() / "index.html"), "somebody's site");

    run = tltest::RunProgram(
        {TL_PUBLISH_PROGRAM, ReleaseFolder().string(), ReleaseFolder().parent_path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr("the output folder must not hold the release folder or its description"));
    EXPECT_TRUE(fs::exists(Description()));
}

TEST_F(Tlpublish, AFailedWriteLeavesTheOldOutputAndNoStagingFolder) {
    PutSampleRelease();
    ASSERT_EQ(RunPublish().status, 0);
    const auto published = Snapshot(Output());
    Describe(std::string(kSampleRelease) + "[SupportFile unlisted.txt]\n");
    const tl::ScopedWriteFault fullDisk(
        [](const fs::path& target) { return target.filename() == "unlisted.txt" ? ENOSPC : 0; });
    PublishSummary summary;
    EXPECT_FALSE(PublishRelease({ReleaseFolder(), Description(), Output(), {}}, summary));
    ASSERT_EQ(summary.errors.size(), 1u);
    EXPECT_THAT(summary.errors[0], HasSubstr("unlisted.txt cannot write"));
    EXPECT_THAT(summary.errors[0], HasSubstr("No space left on device"));
    EXPECT_EQ(Snapshot(Output()), published);
    EXPECT_THAT(OutputNeighbours(), ElementsAre("tallymar"));
}

TEST_F(Tlpublish, CommandLineErrorsAndHelp) {
    tltest::ProgramResult run = tltest::RunProgram({TL_PUBLISH_PROGRAM});
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("tlpublish: give the release folder and the output folder"));
    run = tltest::RunProgram({TL_PUBLISH_PROGRAM, "--frobnicate", "a", "b"});
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("unknown option --frobnicate"));
    run = tltest::RunProgram({TL_PUBLISH_PROGRAM, "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(
        run.out,
        HasSubstr("Usage: tlpublish [--description FILE] [--sign KEY_FILE]... RELEASE_FOLDER OUTPUT_FOLDER"));
}

