#include "wizard/CUserPasswordPage.h"

#include "app/CSetupSheet.h"

#include <QLineEdit>

CUserPasswordPage::CUserPasswordPage(CSetupSheetWindow& sheet, Users users)
    : CPasswordPage(sheet, users == Users::Attorneys ? kAttorneyTemplateId : kStaffTemplateId,
                    users == Users::Attorneys ? IDS_ATTORNEY_PASSWORD_TITLE : IDS_STAFF_PASSWORD_TITLE,
                    users == Users::Attorneys ? IDS_ATTORNEY_PASSWORD_SUBTITLE : IDS_STAFF_PASSWORD_SUBTITLE),
      users_(users) {
    setObjectName(users == Users::Attorneys ? "CAttorneyPasswordPage" : "CStaffPasswordPage");
    AddPasswordRows();
    AddExplanation(
        users == Users::Attorneys
            ? QStringLiteral("Choose the password that attorney users in your office will type to log "
                             "in to Tallymar. If you leave it blank, attorney users log in with the "
                             "master password.")
            : QStringLiteral("Choose the password that non-attorney users in your office will type to "
                             "log in to Tallymar. If you leave it blank, non-attorney users log in with "
                             "the master password or the attorney password."));
}

bool CUserPasswordPage::CanProceed() const {
    return password_->text() == retype_->text();
}

int CUserPasswordPage::OnWizardNext() {
    if (!CanProceed())
        return -1;
    CopySecret(password_, users_ == Users::Attorneys ? Sheet().attorneyPassword : Sheet().staffPassword);
    return CSetupPage::OnWizardNext();
}
