#include "wizard/UpdateWizard.h"

#include "app/CSetupSheet.h"
#include "wizard/CInstallDirectoryPage.h"
#include "wizard/CInstallTypePage.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/CSharedUpdatesPage.h"
#include "wizard/CStatePage.h"
#include "wizard/CUpdateListPage.h"
#include "wizard/CUpdateWelcomePage.h"

void AddUpdatePages(CSetupSheetWindow& window) {
    const CSetupSheet& sheet = window.Sheet();
    window.AddPage(new CUpdateWelcomePage(window));
    if (sheet.installDirectory.empty())
        window.AddPage(new CInstallDirectoryPage(window));
    if (sheet.installType < 0)
        window.AddPage(new CInstallTypePage(window));
    window.AddPage(new CStatePage(window));
    window.AddPage(new CSharedUpdatesPage(window));
    window.AddPage(new CUpdateListPage(window));
}

int RunUpdateWizardWindow(CSetupSheet& sheet) {
    CSetupSheetWindow window(sheet);
    AddUpdatePages(window);
    return window.DoModal();
}
