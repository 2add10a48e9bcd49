#include "tools/uninstall/UninstallCommandLine.h"
#include "tools/uninstall/UninstallNames.h"
#include "tools/uninstall/UninstallWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <filesystem>
#include <iostream>

// TLMUINST.EXE: with no arguments a window asks, shows the progress and the result; with
// --unattended it works without windows. The manifest is the one beside the program.
int main(int argc, char* argv[]) {
    using namespace tl::uninstall;
    const UninstallCommandLine command =
        ParseUninstallCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!command.error.empty()) {
        std::cerr << kProgramName << ": " << command.error << "\n" << UninstallUsage();
        return kExitBadInput;
    }
    if (command.help) {
        std::cout << UninstallUsage();
        return kExitDone;
    }
    if (command.version) {
        std::cout << kProgramName << " " << TL_UNINSTALL_VERSION << "\n";
        return kExitDone;
    }
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::cerr << kProgramName << ": cannot tell where the program lies: " << error.message() << "\n";
        return kExitBadInput;
    }
    if (command.unattended)
        return RunWithoutWindows(command, program, std::cout, std::cerr);

    QApplication application(argc, argv);
    Uninstaller uninstaller(program);
    if (!uninstaller.Prepare()) {
        QMessageBox::critical(nullptr, QString("Uninstall %1").arg(kDisplayName),
                              QString::fromStdString(uninstaller.Error() + "\n\nNothing was removed."));
        return kExitBadInput;
    }
    UninstallWindow window(uninstaller, command.removeData);
    window.exec();
    return window.ExitCode();
}
