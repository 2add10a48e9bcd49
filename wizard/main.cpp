#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "release/FetchUrl.h"
#include "unattended/CommandLine.h"
#include "unattended/ExitCodes.h"
#include "unattended/RunUnattended.h"
#include "update/RunUpdate.h"
#include "wizard/QtUserInterface.h"

#include <QApplication>
#include <cstdio>
#include <thread>

namespace {

// The GUI thread owns every window; the start-up routine, and with it the installation or update,
// runs on one engine thread that reaches the user through the Qt user interface.
int RunWizard(int argc, char* argv[]) {
    // Process-wide C-library initialisation, once, before any thread starts.
    CurlGlobalScope curl;
    QApplication application(argc, argv);
    // Between two message boxes no window may be open; that must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QtUserInterface ui;
    SetUserInterface(&ui);

    CSetupApp app(RunFullInstall, RunUpdate);
    std::thread engine([&app] {
        app.InitInstance();
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QApplication::exec();
    // The loop can also end without the engine (the session closes): release it before joining.
    ui.Shutdown();
    engine.join();

    ui.StopProgressThread();
    SetUserInterface(nullptr);
    return app.ModeResult() != 0 ? kExitDone : kExitStepFailed;
}

} // namespace

// Without arguments the wizard, as always; the options of unattended/CommandLine.h are additions.
int main(int argc, char* argv[]) {
    const CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
    case CommandLine::Action::ShowHelp:
        std::fputs(UsageText(), stdout);
        return kExitDone;
    case CommandLine::Action::ShowVersion:
        std::printf("%s\n", VersionText().c_str());
        return kExitDone;
    case CommandLine::Action::Refused:
        std::fprintf(stderr, "tlinstall: %s\nTry tlinstall --help.\n", commandLine.error.c_str());
        return kExitBadAnswers;
    case CommandLine::Action::RunUnattended: {
        // No windows, no Qt application: the run needs no display.
        CurlGlobalScope curl;
        return RunUnattended(commandLine, RunFullInstall, RunUpdate, stdin, stderr);
    }
    case CommandLine::Action::RunWizard:
        break;
    }
    return RunWizard(argc, argv);
}
