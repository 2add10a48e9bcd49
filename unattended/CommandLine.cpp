#include "unattended/CommandLine.h"

namespace {

CommandLine Refuse(std::string error) {
    CommandLine refused;
    refused.action = CommandLine::Action::Refused;
    refused.error = std::move(error);
    return refused;
}

bool IsOption(const std::string& argument) {
    return argument == "--help" || argument == "--version" || argument == "--password-stdin" ||
           argument == "--answers" || argument.starts_with("--answers=");
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    // An unknown argument is named first, whatever else the line holds.
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--answers")
            ++i;
        else if (!IsOption(arguments[i]))
            return Refuse("unknown argument '" + arguments[i] + "'");
    }
    CommandLine line;
    bool answers = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "--version") {
            if (arguments.size() != 1)
                return Refuse(argument + " takes no other argument");
            line.action =
                argument == "--help" ? CommandLine::Action::ShowHelp : CommandLine::Action::ShowVersion;
            return line;
        }
        if (argument == "--password-stdin") {
            if (line.passwordStdin)
                return Refuse("--password-stdin is given twice");
            line.passwordStdin = true;
        } else if (argument == "--answers" || argument.starts_with("--answers=")) {
            if (answers)
                return Refuse("--answers is given twice");
            answers = true;
            if (argument == "--answers") {
                if (i + 1 == arguments.size())
                    return Refuse("--answers needs the name of the answer file");
                line.answerFile = arguments[++i];
            } else {
                line.answerFile = argument.substr(10);
            }
            if (line.answerFile.empty())
                return Refuse("--answers needs the name of the answer file");
        }
    }
    if (line.passwordStdin && !answers)
        return Refuse("--password-stdin needs --answers");
    if (answers)
        line.action = CommandLine::Action::RunUnattended;
    return line;
}

const char* UsageText() {
    return R"(Usage: tlinstall
       tlinstall --answers FILE [--password-stdin]
       tlinstall --help | --version

Installs Tallymar on this computer, or updates the installation. The user's settings decide
which: without a home directory in them it makes a first installation, otherwise it updates.

Without options it shows the wizard. With --answers it makes the same installation or update
without windows, every answer of the wizard taken from an answer file.

Options:
  --answers FILE    the answer file: an INI file with the sections [Install] (the installation
                    wizard's pages), [Update] (the update wizard's), [Replies] (message box
                    texts and the button each is answered with) and [Attorney <name>] (one per
                    attorney stored after the installation). A file that holds a password must
                    be readable by its owner only (chmod 600 FILE).
  --password-stdin  read the passwords from standard input instead, as Key=Value lines
                    (MasterPassword=..., AttorneyPassword=..., StaffPassword=...; an attorney's
                    under its [Attorney <name>] header)
  --help            show this text and exit
  --version         show the program's version and exit

In the unattended mode every message box is written to standard error with its caption and
answered with the reply that [Replies] gives for its text ("*" stands for any characters), or
with its safe default (OK, No, Cancel); every progress text is one line on standard error; the
install log is written as always. No password is ever written.

Exit status:
  0  done
  1  a step failed (the install log says which)
  2  a wrong command line or answer file (the message names the key and line)
  3  an answer ended the run (a message box answered No or Cancel where that ends it)
  4  Tallymar is running on this computer

Environment: TALLYMAR_PREFIX (the machine prefix, default ~/.local/share/tallymar),
TALLYMAR_COMPUTERNAME, TALLYMAR_USERNAME (this computer's name and the user) and
TALLYMAR_FILE_SERVER (the file server's base URL).
)";
}

std::string VersionText() {
    return std::string("tlinstall ") + TL_VERSION;
}
