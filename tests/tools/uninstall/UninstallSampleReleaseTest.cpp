// The sample release as the demonstration installs it: published with tlpublish (at build time),
// served by tlserve and installed by tlinstall unattended, on a machine that had the Windows
// baseline; then the TLMUINST.EXE that the installation put into the installation directory, run
// unattended.
#include "tests/support/ChildProcess.h"
#include "tests/tools/uninstall/UninstallTestSupport.h"

namespace {

using tltest::ListingDifference;
using tltest::Without;

class UninstallSampleRelease : public tltest::InstalledProduct {
protected:
    /// Serves sample release n as the build published it and runs tlinstall on it with the
    /// sample answers (a first installation or an update, as the settings say); false when a step
    /// fails.
    bool RunTlinstall(int release) {
        const std::string published = TL_PUBLISHED_DIR "/release-" + std::to_string(release);
        tltest::ChildProcess tlserve({TL_SERVE_PROGRAM, published, "--port", "0", "--bind", "127.0.0.1"});
        const std::optional<std::string> banner = tlserve.ReadLine();
        const std::size_t url = banner ? banner->find(" at http://") : std::string::npos;
        if (url == std::string::npos) {
            ADD_FAILURE() << "tlserve: " << banner.value_or("") << tlserve.Error();
            return false;
        }
        std::vector<std::string> environment = tltest::MachineEnvironment();
        environment.push_back("TALLYMAR_FILE_SERVER=" + banner->substr(url + 4));
        const tltest::ProgramResult run = tltest::RunProgram(
            {TL_TLINSTALL, "--answers", TL_SOURCE_DIR "/sample/answers.ini", "--password-stdin"}, environment,
            "MasterPassword=Slate-Harbor-7741\nAttorneyPassword=Counsel&Brief3\n");
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        return run.status == 0;
    }

    /// Lays the baseline, takes the listing and installs sample release 1.
    void InstallSampleRelease() {
        tltest::MakeWindowsBaseline();
        before = List();
        ASSERT_TRUE(RunTlinstall(1)) << "the first installation failed";
    }

    const std::string installDirectory = kInstallDirectory;
};

} // namespace

TEST_F(UninstallSampleRelease, RemovesWhatTheInstallationBroughtAndKeepsTheFirmsData) {
    InstallSampleRelease();
    ASSERT_TRUE(Exists(installDirectory + "\\TLMUINST.EXE"));
    const tltest::ProgramResult run = Uninstall({"--unattended"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ListingDifference(Without(before, KeptData()), List(KeptData())), "");
    EXPECT_TRUE(Exists(std::string(kLocalHome) + "\\Tallymar.mdb"));
}

TEST_F(UninstallSampleRelease, RemoveDataLeavesOnlyTheLog) {
    InstallSampleRelease();
    const tltest::ProgramResult run = Uninstall({"--unattended", "--remove-data"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    // The sandbox keeps the access lists it set by path: the deleted home directory's stays behind.
    const std::vector<std::string> accessLists = {"f security/dacls.txt"};
    EXPECT_EQ(ListingDifference(Without(before, accessLists), List(accessLists)), "");
    EXPECT_NE(UninstallLog().find("**** Beginning uninstall"), std::string::npos);
}

TEST_F(UninstallSampleRelease, AfterTheUpdateTheFilesItBroughtGoToo) {
    InstallSampleRelease();
    ASSERT_TRUE(RunTlinstall(2)) << "the update failed";
    ASSERT_TRUE(Exists(installDirectory + "\\Creditors2025.ini")) << "release 2 brings it";
    const tltest::ProgramResult run = Uninstall({"--unattended"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(ListingDifference(Without(before, KeptData()), List(KeptData())), "") << UninstallLog();
}
