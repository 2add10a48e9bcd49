#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "update/RunUpdate.h"
#include "wizard/QtUserInterface.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QtUserInterface ui;
    SetUserInterface(&ui);

    CSetupApp app(RunFullInstall, RunUpdate);
    app.InitInstance();

    SetUserInterface(nullptr);
    return app.ModeResult() != 0 ? 0 : 1;
}
