#include "app/AppConstants.h"
#include "app/AppGlobals.h"
#include "app/CSetupApp.h"
#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "install/RunFullInstall.h"
#include "install/UninstallRegistration.h"
#include "platform/IoFaults.h"
#include "platform/LocalShares.h"
#include "platform/PathHelpers.h"
#include "platform/Registry.h"
#include "platform/SecurityBackend.h"
#include "release/FetchManifest.h"
#include "tests/install/FullInstallTestBase.h"
#include "tests/release/UpdateTestBase.h"
#include "update/UpdateList.h"

#include <cerrno>
#include <filesystem>
#include <gmock/gmock.h>
#include <sys/stat.h>

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

class FullInstallFaults : public tltest::FullInstallTest {
protected:
    FullInstallFaults() { UseStandardRelease(); }

    /// The last message box, as "<text>|<style>".
    std::string LastMessage() const {
        if (ui.Messages().empty())
            return "<none>";
        return ui.Messages().back().text + "|" + std::to_string(ui.Messages().back().style);
    }
    static std::string Stop(const std::string& text) { return text + "|" + std::to_string(win::MB_ICONSTOP); }
    static bool PathExists(const std::string& path) { return tl::PathExists(path); }
    bool HasSettings() { return !GetProfileString("HomeDirectory", "").empty(); }
    bool Logged(const std::string& line) {
        const Lines lines = LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    void MakeReadOnly(const fs::path& path) { ASSERT_EQ(::chmod(path.c_str(), 0555), 0) << path; }
    // A key first, so the hive file exists; then the user may no longer change it.
    void MakeMachineHiveReadOnly() {
        win::RegKey key;
        ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_LOCAL_MACHINE, "SOFTWARE", key), 0);
        ASSERT_EQ(::chmod(win::HiveFile(win::HKEY_LOCAL_MACHINE).c_str(), 0444), 0);
    }
};

} // namespace

TEST_F(FullInstallFaults, AManifestThatCannotBeFetchedEndsTheRunBeforeAnythingIsAsked) {
    int wizardRuns = 0;
    ui.installWizard = [&](CSetupSheet&) { return ++wizardRuns, win::ID_WIZFINISH; };
    const std::string log = "drive_c/Users/tester/Documents/TallymarInstallLog.txt";
    const Lines before = PrefixListing(log);
    EXPECT_FALSE(RunFullInstall(0)); // nothing published: the server answers 404
    EXPECT_EQ(wizardRuns, 0);
    EXPECT_THAT(LogLines(), Contains("**** Error fetching manifest"));
    EXPECT_EQ(ui.Messages().back().text, "Unable to retrieve file manifest from file server");
    EXPECT_TRUE(ui.ProgressEvents().empty());
    EXPECT_EQ(PrefixListing(log), before);
}

TEST_F(FullInstallFaults, AManifestNotSignedByATrustedKeyEndsTheRunBeforeAnythingIsAsked) {
    int wizardRuns = 0;
    const auto wizard = ui.installWizard;
    ui.installWizard = [&](CSetupSheet& sheet) { return ++wizardRuns, wizard(sheet); };
    const Ed25519Seed vendorSeed{7};
    const Ed25519PublicKey vendor = Ed25519PrivateKey::FromSeed(vendorSeed).PublicKey();
    tltest::TrustReleaseKeys({Ed25519KeyText(vendor)});
    const std::string log = "drive_c/Users/tester/Documents/TallymarInstallLog.txt";
    const Lines before = PrefixListing(log);
    EXPECT_FALSE(Install()); // published without a signature
    EXPECT_EQ(wizardRuns, 0);
    EXPECT_THAT(LogLines(),
                ElementsAre("**** Beginning full new-scheme install", "Executable path is <program>",
                            "Fetching manifest from <server>/",
                            "**** Error fetching manifest signature <server>/CurrentVersion.xml.sig",
                            "**** The file server's manifest is not signed by a trusted key"));
    EXPECT_EQ(LastMessage(),
              "The file server's manifest is not signed by a trusted key. Setup cannot continue.|" +
                  std::to_string(win::MB_ICONERROR));
    EXPECT_TRUE(ui.ProgressEvents().empty());
    EXPECT_EQ(PrefixListing(log), before);

    // Signed, the compressed manifest is checked as it reads once inflated.
    signingKey = Ed25519PrivateKey::FromSeed(vendorSeed);
    EXPECT_TRUE(Install());
    EXPECT_EQ(wizardRuns, 1);
    EXPECT_TRUE(Logged("Manifest signed by trusted release key " + Ed25519KeyText(vendor)));
}

TEST_F(FullInstallFaults, AHomeDirectoryThatCannotBeCreatedStopsTheInstallation) {
    WriteFile(Host("C:\\Locked"), "a file where the folder above the home directory belongs");
    answers.homeDirectory = "C:\\Locked\\Cases";
    EXPECT_FALSE(Install());
    EXPECT_EQ(LastMessage(), Stop("Unable to create home directory 'C:\\Locked\\Cases'"));
    EXPECT_TRUE(Logged("**** Unable to create home directory 'C:\\Locked\\Cases'"));
    EXPECT_FALSE(Logged("Setup finished - success"));
    EXPECT_FALSE(HasSettings());
    EXPECT_FALSE(tl::PathExists(std::string(kInstallDirectory) + "\\TLMUINST.xml"));
    EXPECT_EQ(ui.ProgressEvents().back(), "stop");
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
}

TEST_F(FullInstallFaults, AUserThatCannotBeAddedIsReportedWithItsCode) {
    fs::create_directories(machine().Prefix() / "security");
    MakeReadOnly(machine().Prefix() / "security");
    EXPECT_FALSE(Install());
    EXPECT_EQ(LastMessage(), Stop("Error creating user or network share - 5"));
    EXPECT_TRUE(PathExists(kLocalHome)); // what was done before the failure stays
    EXPECT_TRUE(tl::ListLocalShares().empty());
    EXPECT_FALSE(HasSettings());
}

TEST_F(FullInstallFaults, AShareThatCannotBeAddedIsReportedWithItsCodeAndTheUserStays) {
    MakeMachineHiveReadOnly();
    EXPECT_FALSE(Install());
    EXPECT_EQ(LastMessage(), Stop("Error creating user or network share - 5"));
    EXPECT_TRUE(Logged("**** Error creating user or network share - 5"));
    EXPECT_TRUE(tl::TheSecurityBackend().FindAccount("TallymarUser").has_value());
    EXPECT_FALSE(tl::PathExists(std::string(kLocalHome) + "\\Tallymar.mdb"));
    EXPECT_FALSE(PrefixContains(kMasterPassword));
}

TEST_F(FullInstallFaults, DatabasesThatCannotBeCreatedAreReported) {
    const std::pair<const char*, const char*> cases[] = {
        {"Tallymar.mdb", "Setup was unable to create the main Tallymar database"},
        {"CreditorNames.mdb", "Setup was unable to create the creditor database"},
    };
    for (const auto& [blocker, message] : cases) {
        // A folder of the database's name can be neither deleted nor replaced by the file.
        answers.homeDirectory = std::string("C:\\Firm") + blocker[0];
        answers.shareName = std::string("Firm") + blocker[0];
        fs::create_directories(Host(answers.homeDirectory + "\\" + blocker));
        EXPECT_FALSE(Install()) << blocker;
        EXPECT_EQ(LastMessage(), Stop(message));
        EXPECT_TRUE(Logged(std::string("**** ") + message));
        EXPECT_FALSE(HasSettings());
    }
    EXPECT_THAT(MessageTexts(), Contains("SQLConfigDataSource(Tallymar) failed - 80"));
    EXPECT_THAT(MessageTexts(), Contains("SQLConfigDataSource(CreditorNames) failed - 80"));
}

TEST_F(FullInstallFaults, AMainDatabaseThatCannotBeOpenedStopsBeforeTheProductFiles) {
    MakeMainComputer("MAIN", "Cases");
    fs::remove(Host("\\\\MAIN\\Cases\\Tallymar.mdb"));
    fs::create_directories(Host("\\\\MAIN\\Cases\\Tallymar.mdb"));
    answers.installType = 2;
    answers.homeDirectory = "\\\\MAIN\\Cases";
    EXPECT_FALSE(Install());
    const std::string message =
        "Setup couldn't open the main database (\\\\MAIN\\Cases\\Tallymar.mdb) and cannot continue.";
    EXPECT_EQ(LastMessage(), Stop(message));
    EXPECT_TRUE(Logged("**** " + message));
    EXPECT_TRUE(HasSettings());
    EXPECT_FALSE(tl::PathExists(std::string(kInstallDirectory) + "\\Tallymar.exe"));
    EXPECT_FALSE(tl::PathExists(std::string(kInstallDirectory) + "\\TLMUINST.xml"));
}

TEST_F(FullInstallFaults, FilesThatCannotBeDownloadedFailTheInstallationAndTheNextRunUpdates) {
    Publish();
    server.Serve("/CurrentVersion/tlmAZ.dll", "gone", 404);
    // The disk fills up while the help file is written.
    tl::ScopedWriteFault full(
        [](const fs::path& target) { return target.filename() == "Tallymar Help.chm" ? ENOSPC : 0; });
    EXPECT_FALSE(RunFullInstall(0));
    EXPECT_THAT(MessageTexts(), Contains("Error downloading tlmAZ.dll"));
    EXPECT_THAT(MessageTexts(), Contains(HasSubstr("Tallymar Help.chm")));
    EXPECT_EQ(
        LastMessage(),
        Stop(
            "Setup could not download 2 of Tallymar's files. Run Setup again to complete the installation."));
    EXPECT_TRUE(Logged("**** 2 product files could not be downloaded"));
    EXPECT_FALSE(Logged("Setup finished - success"));
    EXPECT_FALSE(tl::PathExists(std::string(kInstallDirectory) + "\\tlmAZ.dll"));
    EXPECT_TRUE(tl::PathExists(std::string(kInstallDirectory) + "\\TLMUINST.xml"));

    // The settings are written, so the next start is an update, and it lists the missing files.
    CSetupApp app([](int) { return 0; }, [](int) { return 1; });
    app.InitInstance();
    theFileServerUrl = server.BaseUrl(); // start-up took the program's own
    EXPECT_EQ(app.ChosenMode(), CSetupApp::Mode::Update);
    CSetupSheet update(CSetupSheet::kUpdateCaptionId);
    update.installDirectory = GetProfileString("InstallDirectory", "");
    update.homeDirectory = GetProfileString("HomeDirectory", "");
    update.installType = GetProfileInt("InstallType", -1);
    update.states = {"AZ"};
    ASSERT_TRUE(FetchManifest(update));
    BuildUpdateList(update);
    Lines names;
    for (const UpdateItem& item : theUpdateList)
        names.push_back(item.Name);
    EXPECT_THAT(names, Contains("tlmAZ.dll"));
    EXPECT_THAT(names, Contains("Tallymar Help.chm"));
}

TEST_F(FullInstallFaults, WithoutAdministrativeRightsTheMachineKeysArePassedOver) {
    MakeMainComputer("MAIN", "Cases");
    MakeMachineHiveReadOnly();
    answers.installType = 2;
    answers.homeDirectory = "\\\\MAIN\\Cases";
    EXPECT_TRUE(Install()) << ::testing::PrintToString(MessageTexts());
    EXPECT_THAT(MessageTexts(), ElementsAre("Unable to open or create ScanSnap registry key",
                                            "Tallymar has been installed on this computer"));
    win::RegKey key;
    EXPECT_NE(win::RegOpenKeyEx(win::HKEY_LOCAL_MACHINE, kUninstallKey, false, key), 0);
    EXPECT_FALSE(Logged("Created HKLM shadow copy of settings key"));
    EXPECT_TRUE(HasSettings());
}
