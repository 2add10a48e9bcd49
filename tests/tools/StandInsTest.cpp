// The stand-ins for the product's own programs, run as real processes.
#include "tests/support/ChildProcess.h"
#include "tests/support/TestMachine.h"
#include "update/DuplicateRunCheck.h"
#include "update/FileComparison.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

constexpr char kInstalled[] = "C:\\Program Files\\Fenmore Software\\Tallymar\\";

class StandIns : public tltest::MachineTest {
protected:
    // Installs the three programs as the update would and returns their folder on the host.
    fs::path InstallPrograms() {
        const fs::path folder = Host(kInstalled);
        fs::create_directories(folder);
        fs::copy_file(TL_TALLYMAR_STANDIN, folder / "Tallymar.exe");
        fs::copy_file(TL_ECF_MONITOR_STANDIN, folder / "TLMECF.EXE");
        fs::copy_file(TL_SPLASH_STANDIN, folder / "TlSplash.exe");
        return folder;
    }
};

} // namespace

TEST_F(StandIns, CarryTheFileVersionThatTheUpdateCompares) {
    InstallPrograms();
    for (const char* name : {"Tallymar.exe", "TLMECF.EXE", "TlSplash.exe"}) {
        VersionParts parts{};
        ASSERT_EQ(ReadInstalledVersion(std::string(kInstalled) + name, parts), InstalledVersion::Read)
            << name;
        EXPECT_EQ(parts, (VersionParts{1, 0, 0, 1})) << name;
    }
}

TEST_F(StandIns, TheSplashProgramRunsTheProductFromItsOwnFolder) {
    const fs::path folder = InstallPrograms();
    tltest::ChildProcess splash({(folder / "TlSplash.exe").string()}, tltest::MachineEnvironment());
    EXPECT_EQ(splash.ReadLine(), "Tallymar.exe: running");
    EXPECT_TRUE(IsProductRunning());
    EXPECT_EQ(splash.Stop(), 0);
    EXPECT_FALSE(IsProductRunning()) << "the event went with the process";

    fs::remove(folder / "Tallymar.exe");
    tltest::ChildProcess alone({(folder / "TlSplash.exe").string()}, tltest::MachineEnvironment());
    EXPECT_EQ(alone.WaitForExit(), 1);
}
