#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace tl::uninstall {

/// What the uninstaller was asked to do.
struct UninstallCommandLine {
    bool unattended = false; ///< no windows
    bool dryRun = false;     ///< list the steps, change nothing (implies unattended)
    bool removeData = false; ///< also delete the firm's databases and case files
    bool help = false;
    bool version = false;
    std::string error; ///< set when the command line is bad
};

/// Parses the arguments after the program's name. Unknown options, arguments that are not options
/// and options given twice set error.
UninstallCommandLine ParseUninstallCommandLine(const std::vector<std::string>& arguments);

/// The text of --help.
std::string UninstallUsage();

/// Runs without windows: with dryRun lists the plan on out, otherwise removes the product and
/// writes the summary to out. Errors go to err. Returns the exit code (ExitCode).
int RunWithoutWindows(const UninstallCommandLine& command, const std::filesystem::path& programFile,
                      std::ostream& out, std::ostream& err);

} // namespace tl::uninstall
