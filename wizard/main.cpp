#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "update/FetchUrl.h"
#include "update/RunUpdate.h"
#include "wizard/QtUserInterface.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Process-wide C-library initialisation, once, before any thread starts.
    CurlGlobalScope curl;
    QApplication application(argc, argv);
    QtUserInterface ui;
    SetUserInterface(&ui);

    CSetupApp app(RunFullInstall, RunUpdate);
    app.InitInstance();

    SetUserInterface(nullptr);
    return app.ModeResult() != 0 ? 0 : 1;
}
