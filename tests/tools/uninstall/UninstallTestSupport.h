#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Helpers for tests that install something into a test prefix and run the real uninstaller on it.
namespace tltest {

/// What the machine prefix holds, one sorted line per folder ("d drive_c/..."), file
/// ("f drive_c/... <size>") and registry line ("reg HKEY_LOCAL_MACHINE.reg [key]", value lines
/// joined with their continuations). The hives are listed by content, not as files, and the
/// registry's lock files are left out. Lines that begin with one of the excluded texts are left
/// out too.
std::vector<std::string> ListPrefix(const std::filesystem::path& prefix,
                                    const std::vector<std::string>& excluded = {});

/// The lines of after that are not in before, and the lines of before that are gone, as one
/// readable text ("+ line" and "- line"); empty when both listings are the same.
std::string ListingDifference(const std::vector<std::string>& before, const std::vector<std::string>& after);

/// What a program run said and how it ended.
struct ProgramRun {
    int exitCode = -1; ///< 128 + the signal when a signal ended it
    std::string out;
    std::string err;
};

/// Runs a program to its end on the current machine (its prefix, computer and user name in the
/// environment), with standard output and error read back whole.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments);

/// Copies the built TLMUINST.EXE into a Windows folder of the current machine, as the
/// installation downloads it there; returns its host path.
std::filesystem::path PlaceUninstaller(const std::string& installDirectory);

/// The baseline of a Windows computer before the product comes: the keys Windows and the scanner
/// software have, a share table, another program's registration and a few of the user's files.
void MakeWindowsBaseline();

/// What a first installation of type 0 leaves on the current machine (computer TESTPC): the home
/// directory with both databases and a case file, shared with the installation's remark; the
/// product files; the links and the Start-menu folder; the settings and their machine-wide copy;
/// the uninstall registration and the scanner key; the uninstaller; and TLMUINST.xml, written by
/// the setup's own manifest writer with the entries in the installation's order.
struct FirstInstallation {
    std::string installDirectory = "C:\\Program Files\\Fenmore Software\\Tallymar";
    std::string homeDirectory = "C:\\Users\\Public\\Documents\\BankruptcyCases";
    std::string shareName = "BankruptcyCases";

    void Make() const;
    std::string HomeUnc() const { return "\\\\TESTPC\\" + shareName; }
    /// Host path of the installed uninstaller.
    std::filesystem::path Program() const;
};

/// The install log's host path and text on the current machine.
std::filesystem::path InstallLogFile();
std::string InstallLogText();

} // namespace tltest
