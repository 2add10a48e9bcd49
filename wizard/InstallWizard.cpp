#include "wizard/InstallWizard.h"

#include "wizard/CAttorneySetupPage.h"
#include "wizard/CFinishPage.h"
#include "wizard/CFirmNamePage.h"
#include "wizard/CHomeDirPage.h"
#include "wizard/CInstallDirPage.h"
#include "wizard/CLicensePage.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/CStatePage.h"
#include "wizard/CUserPasswordPage.h"
#include "wizard/CWelcomePage.h"

void AddInstallPages(CSetupSheetWindow& window) {
    window.AddPage(new CWelcomePage(window));
    window.AddPage(new CLicensePage(window));
    window.AddPage(new CFirmNamePage(window));
    window.AddPage(new CUserPasswordPage(window, CUserPasswordPage::Users::Attorneys));
    window.AddPage(new CUserPasswordPage(window, CUserPasswordPage::Users::Staff));
    window.AddPage(new CInstallDirPage(window));
    window.AddPage(new CHomeDirPage(window));
    window.AddPage(new CAttorneySetupPage(window));
    window.AddPage(new CStatePage(window));
    window.AddPage(new CFinishPage(window));
}

int RunInstallWizardWindow(CSetupSheet& sheet) {
    CSetupSheetWindow window(sheet);
    AddInstallPages(window);
    return window.DoModal();
}
