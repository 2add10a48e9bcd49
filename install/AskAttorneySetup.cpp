#include "install/AskAttorneySetup.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "install/InstallType.h"

void AskAttorneySetup(CSetupSheet& sheet) {
    if (sheet.GetChoice(kChoiceSetupAttorneysNow) != 0 && sheet.installType != kInstallSharedFilesElsewhere) {
        sheet.Log("User opted to setup attorneys now");
        TheUserInterface().RunAttorneyRoster(sheet);
        return;
    }
    sheet.Log("User opted not to setup attorneys now");
}
