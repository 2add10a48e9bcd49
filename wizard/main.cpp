#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "release/FetchUrl.h"
#include "update/RunUpdate.h"
#include "wizard/QtUserInterface.h"

#include <QApplication>
#include <thread>

// The GUI thread owns every window; the start-up routine, and with it the installation or update,
// runs on one engine thread that reaches the user through the Qt user interface.
int main(int argc, char* argv[]) {
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
