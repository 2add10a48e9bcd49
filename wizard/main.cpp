#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "release/FetchUrl.h"
#include "update/RunUpdate.h"
#include "wizard/QtUserInterface.h"

#include <QApplication>
#include <cstdio>
#include <string_view>
#include <thread>

namespace {

int PrintUsage();
int PrintVersion();

// The command-line options. Without any the program runs as it always has: the settings decide
// between the first installation and the update.
struct Option {
    const char* name;
    const char* help;
    int (*run)();
};

constexpr Option kOptions[] = {
    {"--help", "show this text and exit", PrintUsage},
    {"--version", "show the program's version and exit", PrintVersion},
};

int PrintUsage() {
    std::printf("Usage: tlinstall [option]\n"
                "Installs Tallymar on this computer, or updates the installation, with a wizard.\n"
                "Whether it installs or updates follows from the user's settings.\n\n");
    for (const Option& option : kOptions)
        std::printf("  %-12s %s\n", option.name, option.help);
    std::printf("\nThe computer it works on is the machine prefix $TALLYMAR_PREFIX (default\n"
                "~/.local/share/tallymar); TALLYMAR_COMPUTERNAME, TALLYMAR_USERNAME and\n"
                "TALLYMAR_FILE_SERVER override the computer's name, the user and the file server.\n");
    return 0;
}

int PrintVersion() {
    std::printf("tlinstall %s\n", TL_VERSION);
    return 0;
}

// Runs the one option given; 2 for anything else, as for every program of ours.
int RunOption(int argc, char* argv[]) {
    for (const Option& option : kOptions) {
        if (argc == 2 && std::string_view(argv[1]) == option.name)
            return option.run();
    }
    std::fprintf(stderr, "tlinstall: unknown argument '%s'\n", argv[argc == 2 ? 1 : 2]);
    return 2;
}

} // namespace

// The GUI thread owns every window; the start-up routine, and with it the installation or update,
// runs on one engine thread that reaches the user through the Qt user interface.
int main(int argc, char* argv[]) {
    if (argc > 1)
        return RunOption(argc, argv);
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
    return app.ModeResult() != 0 ? 0 : 1;
}
