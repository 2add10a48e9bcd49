#pragma once

#include "tests/install/FullInstallTestBase.h"
#include "tests/support/ChildProcess.h"

#include <filesystem>
#include <string>
#include <vector>

// Helpers for tests that install something into a test prefix and run the real uninstaller on it.
namespace tltest {

/// What the machine prefix holds, one sorted line per folder ("d drive_c/..."), file
/// ("f drive_c/... <size>") and registry line ("reg HKEY_LOCAL_MACHINE.reg [key]", value lines
/// joined with their continuations). The hives are listed by content, not as files; the
/// registry's lock files, the named events and the pipes (runtime objects) are left out. Lines that begin
/// with one of the excluded texts are left out too.
std::vector<std::string> ListPrefix(const std::filesystem::path& prefix,
                                    const std::vector<std::string>& excluded = {});

/// The lines of after that are not in before, and the lines of before that are gone, as one
/// readable text ("+ line" and "- line"); empty when both listings are the same.
std::string ListingDifference(const std::vector<std::string>& before, const std::vector<std::string>& after);

/// The baseline of a Windows computer before the product comes: the keys Windows and the scanner
/// software have, a share table, another program's registration and a few of the user's files.
void MakeWindowsBaseline();

/// A first installation (the real sequence, against a release served on the loopback interface)
/// whose release carries the built TLMUINST.EXE, on a machine that had the Windows baseline
/// before; the prefix's listing from before the installation is kept.
class InstalledProduct : public FullInstallTest {
protected:
    /// Lays the baseline, takes the listing, installs the standard release; fails the test when
    /// the installation does not succeed.
    void InstallProduct();
    /// The listing of the prefix without the install log and lines beginning with excluded.
    std::vector<std::string> List(std::vector<std::string> excluded = {});
    /// What is kept without --remove-data: the home directory, its share and access list, the
    /// network user.
    static std::vector<std::string> KeptData();
    /// Host path of the installed uninstaller.
    std::filesystem::path Program();
    /// Runs the installed uninstaller to its end on the test's machine.
    ProgramResult Uninstall(const std::vector<std::string>& arguments);
    bool Exists(const std::string& windowsPath);
    /// The install log's lines from the last "**** Beginning uninstall" on, time stamps masked.
    std::string UninstallLog();

    std::vector<std::string> before;
};

/// The lines of listing that begin with none of excluded.
std::vector<std::string> Without(std::vector<std::string> listing, const std::vector<std::string>& excluded);

/// Compares text line by line with tests/data/uninstall/<name>; TL_UPDATE_GOLDEN=1 rewrites the file.
void ExpectGolden(const std::string& name, const std::string& text);

} // namespace tltest
