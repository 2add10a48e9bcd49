#include "wizard/CSetupPage.h"

#include "app/UserInterface.h"
#include "platform/WinTypes.h"
#include "wizard/CSetupSheetWindow.h"

CSetupPage::CSetupPage(CSetupSheetWindow& sheet, unsigned templateId, unsigned headerTitleId,
                       unsigned headerSubtitleId, unsigned captionId)
    : sheet_(sheet), templateId_(templateId), headerTitleId_(headerTitleId),
      headerSubtitleId_(headerSubtitleId), captionId_(captionId) {}

CSetupSheet& CSetupPage::Sheet() const {
    return sheet_.Sheet();
}

void CSetupPage::SetWizardButtons(unsigned flags) {
    sheet_.SetWizardButtons(flags);
}

void CSetupPage::EnsureInitialised() {
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

bool CSetupPage::OnSetActive() {
    const int index = sheet_.GetPageIndex(this);
    const int last = sheet_.GetPageCount() - 1;
    unsigned flags = index > 0 ? win::PSWIZB_BACK : 0;
    flags |= index == last ? win::PSWIZB_FINISH : win::PSWIZB_NEXT;
    SetWizardButtons(flags);
    return true;
}

bool CSetupPage::OnQueryCancel() {
    return AppMessageBox(tl::LoadString(cancelConfirmationId_), win::MB_YESNO | win::MB_ICONQUESTION) ==
           win::IDYES;
}

int CSetupPage::OnWizardBack() {
    for (int index = sheet_.GetPageIndex(this) - 1; index >= 0; --index) {
        if (sheet_.GetPage(index)->IsApplicable()) {
            sheet_.SetActivePage(index);
            break;
        }
    }
    return -1;
}

int CSetupPage::OnWizardNext() {
    for (int index = sheet_.GetPageIndex(this) + 1; index < sheet_.GetPageCount(); ++index) {
        if (sheet_.GetPage(index)->IsApplicable()) {
            sheet_.SetActivePage(index);
            break;
        }
    }
    return -1;
}
