// Updates as a user runs them: an installation made by the first installation, a changed release
// on the loopback interface, the update through the scripted user interface, and the install log
// compared with the committed golden logs.
#include "app/AppConstants.h"
#include "app/ProfileSettings.h"
#include "platform/PathHelpers.h"
#include "platform/Registry.h"
#include "tests/release/UpdateTestBase.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ParsedShellLink.h"
#include "tests/update/HistoricalDatabases.h"
#include "tests/update/UpdateRunTestBase.h"
#include "update/EcfMonitorShutdown.h"
#include "update/RunUpdate.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Lines = std::vector<std::string>;

const std::string kProgramFolder = "C:\\Program Files\\Fenmore Software\\Tallymar\\";
const std::string kStartMenuLink =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tallydesk\\Tallydesk.lnk";
const std::string kDesktopLink = "C:\\Users\\tester\\Desktop\\Tallydesk.lnk";

class UpdateRun : public tltest::UpdateRunTest {
protected:
    std::string Installed(const std::string& name) { return ReadFile(Host(kProgramFolder + name)); }

    std::string LinkTarget(const std::string& windowsPath) {
        const auto link = tltest::ParseShellLink(ReadFile(Host(windowsPath)));
        return link ? link->localBasePath : "<no link>";
    }
    std::size_t Count(const Lines& lines, const std::string& text) {
        return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), text));
    }

    // The lines of a hive file that belong to one key.
    static Lines KeyLines(win::HKEY_ROOT root, const std::string& key) {
        std::istringstream hive(ReadFile(win::HiveFile(root)));
        const std::string header =
            "[" + std::string(root == win::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER") +
            "\\" + key + "]";
        Lines lines;
        bool inKey = false;
        for (std::string line; std::getline(hive, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty() && line.front() == '[')
                inKey = line == header;
            else if (inKey && !line.empty())
                lines.push_back(line);
        }
        return lines;
    }
};

} // namespace

TEST_F(UpdateRun, ANewReleaseReplacesInstallsAndDeletesAndTheUninstallerLearnsOfIt) {
    InstallFirst();
    const std::string links = ReadFile(Host(kStartMenuLink)) + ReadFile(Host(kDesktopLink));
    const std::string machine = ReadFile(win::HiveFile(win::HKEY_LOCAL_MACHINE));
    updateLevel = 31;
    NewVersion("Tallymar.exe", "1.0.0.2");
    NewVersion("TLMECF.EXE", "1.0.1.0");
    File("Legacy.dll").flags = 0x20;
    modules.push_back({"tlmMeans.dll", 0x02, "means test module", "", "", "", false});
    NewDate("Tallymar Help.chm", "03/01/2024", "10:00:00");
    File("Tallymar Help.chm").content = "new help";
    NewDate("MeansTest.mdb", "04/01/2024", "07:00:00");
    NewDate("Creditors.ini", "04/02/2024", "08:00:00");
    File("Creditors.ini").content +=
        "\n[Target]\nName=Target\nAddress1=PO Box 673\nCity=Minneapolis\nState=MN\n"
        "Zipcode=55440\n";

    EXPECT_EQ(Update(), 1);
    ExpectGoldenLines("type0.log", UpdateLogLines());
    EXPECT_THAT(UpdateMessages(), ElementsAre("Your copy of Tallymar is now up to date"));
    EXPECT_EQ(ui.Messages().back().style, win::MB_OK | win::MB_ICONINFORMATION);
    ASSERT_EQ(wizardRuns.size(), 1u);
    EXPECT_EQ(wizardRuns[0].installDirectory + "|" + std::to_string(wizardRuns[0].installType),
              std::string(kInstallDirectory) + "|0")
        << "from the settings: no directory or type page";

    EXPECT_EQ(Installed("Tallymar.exe"), File("Tallymar.exe").content);
    EXPECT_FALSE(tl::PathExists(kProgramFolder + "Legacy.dll"));
    EXPECT_EQ(Installed("Tallymar Help.chm"), "new help");
    EXPECT_EQ(WriteTime(kProgramFolder + "Tallymar Help.chm"), FileTimeOf(2024, 3, 1, 10));
    EXPECT_EQ(WriteTime(std::string(kLocalHome) + "\\MeansTest.mdb"), FileTimeOf(2024, 4, 1, 7));
    EXPECT_EQ(GetProfileInt("UpdateLevel", 0), 31);
    EXPECT_EQ(GetProfileInt("DatabaseLevel", 0), 15);
    EXPECT_EQ(ReadFile(win::HiveFile(win::HKEY_LOCAL_MACHINE)), machine) << "an existing copy is kept";
    EXPECT_EQ(ReadFile(Host(kStartMenuLink)) + ReadFile(Host(kDesktopLink)), links)
        << "the starter was there";
    const std::string manifest = Installed("TLMUINST.xml");
    EXPECT_EQ(manifest, Golden("type0-TLMUINST.xml", manifest));
}

TEST_F(UpdateRun, TheStarterArrivingPointsBothProgramLinksAtItOnce) {
    Withdraw("TlSplash.exe");
    InstallFirst();
    ASSERT_EQ(LinkTarget(kDesktopLink), kProgramFolder + "Tallymar.exe");
    UseVersionedRelease();
    const std::string created = "Setup created a desktop shortcut to " + kProgramFolder + "TlSplash.exe";
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(Update(), 1);
        EXPECT_EQ(Count(UpdateLogLines(), created), run == 0 ? 2u : 0u) << "only when the starter arrived";
        EXPECT_EQ(LinkTarget(kStartMenuLink), kProgramFolder + "TlSplash.exe");
        EXPECT_EQ(LinkTarget(kDesktopLink), kProgramFolder + "TlSplash.exe");
        EXPECT_THAT(FolderContents("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tallydesk"),
                    ElementsAre("Tallydesk.lnk"));
        EXPECT_THAT(FolderContents("C:\\Users\\tester\\Desktop"),
                    ElementsAre("BankruptcyCases.lnk", "Tallydesk.lnk"));
        // The links were recorded by the first installation; the starter joins them once.
        const std::string manifest = Installed("TLMUINST.xml");
        EXPECT_EQ(manifest, Golden("starter-TLMUINST.xml", manifest));
    }
}

TEST_F(UpdateRun, AnUpToDateInstallationListsNothingYetWritesSettingsUpgradesAndImports) {
    InstallFirst();
    const std::string manifest = Installed("TLMUINST.xml");
    const std::int64_t manifestTime = WriteTime(kProgramFolder + "TLMUINST.xml");
    SetSetting("DatabaseLevel", 14); // the creditor rung below 15 runs, and fails: its tables are there
    update.states = {};
    EXPECT_EQ(Update(), 1);
    ExpectGoldenLines("up-to-date.log", UpdateLogLines());
    ASSERT_EQ(wizardRuns.size(), 1u);
    EXPECT_THAT(wizardRuns[0].rows, IsEmpty());
    EXPECT_THAT(UpdateMessages(), ElementsAre("Your copy of Tallymar is now up to date"));
    EXPECT_EQ(KeyLines(win::HKEY_CURRENT_USER, kSettingsKey)[4], "\"States\"=hex(7):00");
    EXPECT_EQ(GetProfileInt("DatabaseLevel", 0), 15);
    EXPECT_THAT(UpdateProgressEvents(),
                ElementsAre("start", "show:Tallymar Update|", "text:Upgrading CreditorNames database",
                            "show:Tallymar Setup|", "hide", "hide", "hide", "stop"))
        << "the import shows and hides its window";
    EXPECT_EQ(Installed("TLMUINST.xml"), manifest);
    EXPECT_EQ(WriteTime(kProgramFolder + "TLMUINST.xml"), manifestTime) << "nothing to record: not written";
}

TEST_F(UpdateRun, SharedFilesElsewhereAreLeftForTheServerUnlessTheBoxIsTicked) {
    MakeMainComputer("MAIN", "Cases");
    answers.installType = 2;
    answers.homeDirectory = "\\\\MAIN\\Cases";
    InstallFirst();
    SetSetting("DatabaseLevel", 14); // no creditor or places rung for type 2 all the same
    NewVersion("Tallymar.exe", "1.0.0.2");
    ASSERT_TRUE(std::filesystem::remove(Host("\\\\MAIN\\Cases\\MeansTest.mdb"))); // a shared file to install
    Withdraw("TallymarPlaces.mdb"); // its copy on the server is as new as the server made it
    EXPECT_EQ(Update(), 1);
    ExpectGoldenLines("type2-shared-left.log", UpdateLogLines());
    ASSERT_EQ(wizardRuns.size(), 1u);
    EXPECT_TRUE(wizardRuns[0].sharedUpdatesPage);
    EXPECT_THAT(UpdateMessages(), ElementsAre("Your system still needs updates to one or more shared files. "
                                              "That should be done in a session on your server."));
    EXPECT_EQ(Installed("Tallymar.exe"), File("Tallymar.exe").content) << "the rest is done";
    EXPECT_FALSE(tl::PathExists("\\\\MAIN\\Cases\\MeansTest.mdb"));
    EXPECT_EQ(Count(UpdateProgressEvents(), "text:Upgrading CreditorNames database"), 0u);

    update.applySharedUpdates = true;
    EXPECT_EQ(Update(), 1);
    EXPECT_EQ(UpdateLogLines().back(), "Update complete - success");
    EXPECT_EQ(ReadFile(Host("\\\\MAIN\\Cases\\MeansTest.mdb")), File("MeansTest.mdb").content);
    const std::string manifest = Installed("TLMUINST.xml");
    EXPECT_EQ(manifest.find("\\\\MAIN\\Cases"), std::string::npos)
        << "the server's files are not ours to remove";
}

TEST_F(UpdateRun, TheProductRunningIsToldAndNothingElseHappens) {
    InstallFirst();
    const std::string log = ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt"));
    const std::size_t requests = server.Requests().size();
    tltest::ChildProcess product({TL_TALLYMAR_STANDIN}, tltest::MachineEnvironment());
    ASSERT_EQ(product.ReadLine(), "Tallymar.exe: running");
    EXPECT_EQ(Update(), 0);
    EXPECT_THAT(UpdateMessages(),
                ElementsAre("Tallymar is presently running on this workstation. Please save "
                            "your work and close Tallymar. Then you can run Setup again."));
    EXPECT_EQ(ui.Messages().back().style, win::MB_ICONINFORMATION);
    EXPECT_EQ(ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")), log);
    EXPECT_EQ(server.Requests().size(), requests);
    EXPECT_THAT(wizardRuns, IsEmpty());
}

TEST_F(UpdateRun, TheMonitorIsAskedToStopFirstAndOneThatWillNotKeepsItsProgram) {
    InstallFirst();
    const std::string installed = Installed("TLMECF.EXE");
    NewVersion("TLMECF.EXE", "1.0.1.0");
    SetEcfShutdownWaitForTesting(200);
    {
        tltest::ChildProcess monitor({TL_ECF_MONITOR_STANDIN, "--ignore-kill"}, tltest::MachineEnvironment());
        ASSERT_EQ(monitor.ReadLine(), "TLMECF.EXE: running, ignoring the kill event");
        EXPECT_EQ(Update(), 1);
        EXPECT_THAT(UpdateMessages(), ElementsAre("Unable to shut down TLMECF.EXE in order to update it.",
                                                  "Your copy of Tallymar is now up to date"));
        EXPECT_EQ(Count(UpdateLogLines(), "Unable to shut down TLMECF.EXE in order to update it."), 1u);
        EXPECT_EQ(Installed("TLMECF.EXE"), installed);
    }
    SetEcfShutdownWaitForTesting(std::nullopt);
    tltest::ChildProcess monitor({TL_ECF_MONITOR_STANDIN}, tltest::MachineEnvironment());
    ASSERT_EQ(monitor.ReadLine(), "TLMECF.EXE: running");
    EXPECT_EQ(Update(), 1);
    EXPECT_EQ(monitor.ReadLine(), "TLMECF.EXE: stopped");
    EXPECT_EQ(monitor.WaitForExit(), 0);
    EXPECT_EQ(Count(ui.ProgressEvents(),
                    "text:Shutting down the Tallymar ECF monitor program. (Tallymar will restart it later.)"),
              2u);
    EXPECT_EQ(Installed("TLMECF.EXE"), File("TLMECF.EXE").content);

    File("TLMECF.EXE").flags = 0x20; // retired: stopped, then deleted rather than fetched again
    EXPECT_EQ(Update(), 1);
    EXPECT_FALSE(tl::PathExists(kProgramFolder + "TLMECF.EXE"));
    EXPECT_EQ(Installed("TLMUINST.xml").find("TLMECF.EXE"), std::string::npos);
}

TEST_F(UpdateRun, ADamagedUninstallManifestIsLeftAsItIs) {
    InstallFirst();
    const std::string manifest = Installed("TLMUINST.xml");
    const std::string damaged = manifest.substr(0, manifest.size() / 2);
    WriteFile(Host(kProgramFolder + "TLMUINST.xml"), damaged);
    NewVersion("Tallymar.exe", "1.0.0.2");
    modules.push_back({"tlmMeans.dll", 0x02, "means test module", "", "", "", false});
    EXPECT_EQ(Update(), 1) << "the update itself is done";
    EXPECT_EQ(Installed("TLMUINST.xml"), damaged);
    EXPECT_EQ(
        Count(UpdateLogLines(), "**** " + kProgramFolder +
                                    "TLMUINST.xml is not an uninstall manifest; this update's files are "
                                    "not recorded in it"),
        1u);
}

TEST_F(UpdateRun, FromAnOldLevelWithoutCreditorNamesTheLadderRunsAndThePlacesCome) {
    InstallFirst();
    tltest::MakeHistoricalDatabases(kLocalHome, 3);
    ASSERT_TRUE(std::filesystem::remove(Host(std::string(kLocalHome) + "\\CreditorNames.mdb")));
    SetSetting("DatabaseLevel", 3);
    EXPECT_EQ(Update(), 1);
    ExpectGoldenLines("level3-no-creditors.log", UpdateLogLines());
    EXPECT_EQ(GetProfileInt("DatabaseLevel", 0), 15);
    EXPECT_EQ(GetProfileInt("UpdateLevel", 0), 30);
    EXPECT_EQ(Count(ui.ProgressEvents(), "text:Fixing MA office assignments"), 1u);
}

TEST_F(UpdateRun, WithoutDirectoryAndTypeInTheSettingsTheAnswersAreStoredAndACopyIsMade) {
    InstallFirst();
    SetSetting("InstallType", -1);
    {
        win::RegKey key;
        ASSERT_EQ(GetSectionKey(key), 0);
        win::RegDeleteValue(key, "InstallDirectory");
    }
    ASSERT_EQ(win::RegDeleteTree(win::HKEY_LOCAL_MACHINE, kSettingsKey), 0); // a machine without the copy
    update.installType = 1;
    EXPECT_EQ(Update(), 1);
    ASSERT_EQ(wizardRuns.size(), 1u);
    EXPECT_EQ(wizardRuns[0].installDirectory, "") << "the directory page is shown";
    EXPECT_EQ(wizardRuns[0].installType, -1) << "the type page is shown";
    EXPECT_THAT(UpdateMessages(), ElementsAre("Since shared components may be updated, make sure no-one is "
                                              "using Tallymar over the network before proceeding",
                                              "Your copy of Tallymar is now up to date"));
    EXPECT_EQ(GetProfileString("InstallDirectory", ""), kInstallDirectory);
    EXPECT_EQ(GetProfileInt("InstallType", -1), 1);
    EXPECT_EQ(KeyLines(win::HKEY_LOCAL_MACHINE, kSettingsKey),
              (Lines{"\"m_homedir\"=\"\\\\\\\\TESTPC\\\\BankruptcyCases\"",
                     "\"HomeDirectory\"=\"\\\\\\\\TESTPC\\\\BankruptcyCases\"",
                     "\"InstallDirectory\"=\"C:\\\\Program Files\\\\Fenmore Software\\\\Tallymar\"",
                     "\"InstallType\"=dword:00000001", "\"DatabaseLevel\"=dword:0000000f",
                     "\"States\"=hex(7):41,5a,00,00"}));
    EXPECT_EQ(Count(UpdateLogLines(), "Created HKLM shadow copy of settings key"), 1u);
}

TEST_F(UpdateRun, AManifestNotSignedByATrustedKeyEndsTheUpdateBeforeTheWizard) {
    InstallFirst();
    const std::string settings = ReadFile(win::HiveFile(win::HKEY_CURRENT_USER));
    const std::string program = Installed("Tallymar.exe");
    const Ed25519Seed vendorSeed{9};
    const Ed25519PrivateKey vendor = Ed25519PrivateKey::FromSeed(vendorSeed);
    tltest::TrustReleaseKeys({Ed25519KeyText(vendor.PublicKey())});
    NewVersion("Tallymar.exe", "1.0.0.2");
    EXPECT_EQ(Update(), 0);
    EXPECT_THAT(UpdateLogLines(),
                ElementsAre("**** Beginning update", "Fetching manifest from <server>/",
                            "**** Error fetching manifest signature <server>/CurrentVersion.xml.sig",
                            "**** The file server's manifest is not signed by a trusted key",
                            "Error fetching manifest"));
    EXPECT_EQ(UpdateMessages().back(),
              "The file server's manifest is not signed by a trusted key. Setup cannot continue.");
    EXPECT_THAT(wizardRuns, IsEmpty());
    EXPECT_EQ(Installed("Tallymar.exe"), program);
    EXPECT_EQ(ReadFile(win::HiveFile(win::HKEY_CURRENT_USER)), settings);

    signingKey = Ed25519PrivateKey::FromSeed(vendorSeed);
    EXPECT_EQ(Update(), 1);
    EXPECT_EQ(wizardRuns.size(), 1u);
    EXPECT_EQ(Installed("Tallymar.exe"), File("Tallymar.exe").content);
}

TEST_F(UpdateRun, ARunThatDoesNotReachTheWorkSaysWhyAndChangesNoSetting) {
    InstallFirst();
    const std::string settings = ReadFile(win::HiveFile(win::HKEY_CURRENT_USER));
    update.finish = false;
    EXPECT_EQ(Update(), 0);
    EXPECT_THAT(UpdateLogLines().back(), "Abandoning update at user request");
    EXPECT_EQ(ui.ProgressEvents().back(), "stop");

    server.Serve("/CurrentVersion.xml", "", 404);
    EXPECT_EQ(RunUpdate(0), 0);
    EXPECT_THAT(UpdateLogLines(), ElementsAre("**** Beginning update", "Fetching manifest from <server>/",
                                              "**** Error fetching manifest", "Error fetching manifest"));
    EXPECT_EQ(UpdateMessages().back(), "Unable to retrieve file manifest from file server");

    const std::size_t messages = UpdateMessages().size();
    std::filesystem::remove(Host(std::string(kLocalHome) + "\\Tallymar.mdb"));
    EXPECT_EQ(Update(), 0);
    EXPECT_THAT(UpdateLogLines(),
                ElementsAre("**** Beginning update", "Failed trying to open Tallymar database"));
    EXPECT_EQ(UpdateMessages().size(), messages) << "no box for it";
    EXPECT_EQ(ReadFile(win::HiveFile(win::HKEY_CURRENT_USER)), settings);
    EXPECT_EQ(wizardRuns.size(), 1u);
}

// Databases brought to the new level beside the old files would be a mix: the ladder waits.
TEST_F(UpdateRun, AnUpdateWhoseFilesCannotAllBeFetchedChangesNoFileAndRunsNoLadder) {
    InstallFirst();
    tltest::MakeHistoricalDatabases(kLocalHome, 3);
    SetSetting("DatabaseLevel", 3);
    const std::string program = Installed("Tallymar.exe");
    NewVersion("Tallymar.exe", "1.0.0.2");
    NewVersion("TLMECF.EXE", "1.0.1.0");
    Publish();
    server.Serve("/CurrentVersion/TLMECF.EXE", "", 404);
    RunUpdate(0);
    const Lines lines = UpdateLogLines();
    EXPECT_EQ(
        Count(lines, "**** The update's files could not all be downloaded; no installed file was changed"),
        1u);
    EXPECT_EQ(lines.back(), "Update complete - failure");
    EXPECT_EQ(Installed("Tallymar.exe"), program);
    EXPECT_FALSE(std::filesystem::exists(Host(kProgramFolder + ".tlupdate")));
    EXPECT_EQ(GetProfileInt("DatabaseLevel", 0), 3) << "the ladder did not run";
}
