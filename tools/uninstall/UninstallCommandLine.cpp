#include "tools/uninstall/UninstallCommandLine.h"

#include "tools/uninstall/UninstallNames.h"
#include "tools/uninstall/Uninstaller.h"

#include <ostream>

namespace tl::uninstall {

namespace {

struct Option {
    const char* name;
    bool UninstallCommandLine::*flag;
};

constexpr Option kOptions[] = {
    {"--unattended", &UninstallCommandLine::unattended},  {"--dry-run", &UninstallCommandLine::dryRun},
    {"--remove-data", &UninstallCommandLine::removeData}, {"--help", &UninstallCommandLine::help},
    {"--version", &UninstallCommandLine::version},
};

} // namespace

UninstallCommandLine ParseUninstallCommandLine(const std::vector<std::string>& arguments) {
    UninstallCommandLine command;
    for (const std::string& argument : arguments) {
        const Option* option = nullptr;
        for (const Option& candidate : kOptions) {
            if (argument == candidate.name)
                option = &candidate;
        }
        if (option == nullptr) {
            command.error = "unknown argument '" + argument + "'";
            return command;
        }
        if (command.*option->flag) {
            command.error = argument + " is given twice";
            return command;
        }
        command.*option->flag = true;
    }
    if (command.dryRun)
        command.unattended = true;
    return command;
}

std::string UninstallUsage() {
    return std::string("Usage: ") + kProgramName +
           " [--unattended [--dry-run] [--remove-data]] [--help] [--version]\n"
           "Removes Tallydesk from this computer as the uninstall manifest " +
           kManifestName +
           " beside the program lists it.\n"
           "Without options a window asks for confirmation first.\n"
           "\n"
           "  --unattended   remove without windows; the summary goes to standard output\n"
           "  --dry-run      list what would be done and change nothing\n"
           "  --remove-data  also delete the firm's databases and case files (the home directory),\n"
           "                 its network share and its network user; without it they stay\n"
           "  --help         show this text\n"
           "  --version      show the program's version\n"
           "\n"
           "Exit codes: 0 done; 1 a step failed or an entry was refused; 2 bad command line or\n"
           "manifest; 3 cancelled.\n";
}

int RunWithoutWindows(const UninstallCommandLine& command, const std::filesystem::path& programFile,
                      std::ostream& out, std::ostream& err) {
    Uninstaller uninstaller(programFile);
    if (!uninstaller.Prepare(!command.dryRun)) {
        err << kProgramName << ": " << uninstaller.Error() << "\nNothing was removed.\n";
        return kExitBadInput;
    }
    if (command.dryRun) {
        for (const UninstallAction& action : uninstaller.Plan(command.removeData))
            out << DescribeAction(action) << "\n";
        return kExitDone;
    }
    const UninstallResult result = uninstaller.Run(command.removeData, nullptr);
    for (const std::string& line : result.summary)
        out << line << "\n";
    return result.exitCode;
}

} // namespace tl::uninstall
