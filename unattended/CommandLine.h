#pragma once

#include <string>
#include <vector>

/// What tlinstall's command line asks for. Without arguments it runs the wizard, as it always has;
/// the options are additions.
struct CommandLine {
    enum class Action { RunWizard, RunUnattended, ShowHelp, ShowVersion, Refused };

    Action action = Action::RunWizard;
    std::string answerFile;     ///< --answers FILE
    bool passwordStdin = false; ///< --password-stdin
    std::string error;          ///< for Refused: what is wrong, naming the argument
};

/// Reads the arguments (without the program's name): --answers FILE (or --answers=FILE),
/// --password-stdin (only with --answers), --help, --version. --help and --version stand alone.
/// Anything else, an option given twice or a missing file name gives Refused.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

/// The text of --help: every option, the unattended mode, the exit status and the environment.
const char* UsageText();
/// The text of --version: "tlinstall <version>".
std::string VersionText();
