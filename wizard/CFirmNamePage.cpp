#include "wizard/CFirmNamePage.h"

#include "app/CSetupSheet.h"
#include "install/FirmNameCheck.h"
#include "platform/TextUtil.h"
#include "wizard/PageWidgets.h"

#include <QFormLayout>
#include <QLineEdit>

CFirmNamePage::CFirmNamePage(CSetupSheetWindow& sheet)
    : CPasswordPage(sheet, kTemplateId, IDS_FIRM_TITLE, IDS_FIRM_SUBTITLE), firmName_(new QLineEdit(this)) {
    setObjectName("CFirmNamePage");
    firmName_->setObjectName("firmNameEdit");
    connect(firmName_, &QLineEdit::textChanged, this, &CFirmNamePage::UpdateButtons);
    form_->addRow(QStringLiteral("&Firm name:"), firmName_);
    AddPasswordRows();
    AddExplanation(QStringLiteral("Enter your firm's name and choose the master password. You may choose any "
                                  "string of 8 or more letters "
                                  "and numbers. Tallymar encrypts client data with this password, so it can "
                                  "never be changed: keep it in a "
                                  "safe place. The firm name must be at least as long as the password."));
}

bool CFirmNamePage::IsAcceptable(const QString& firmName, const QString& password, const QString& retyped) {
    // The working copies of the passwords are wiped before their storage is released.
    std::string passwordText = password.toStdString();
    std::string retypedText = retyped.toStdString();
    const bool acceptable =
        CheckFirmName(firmName.toStdString(), passwordText, retypedText) == FirmNameProblem::None;
    tl::WipeString(passwordText);
    tl::WipeString(retypedText);
    return acceptable;
}

bool CFirmNamePage::CanProceed() const {
    return IsAcceptable(firmName_->text(), password_->text(), retype_->text());
}

int CFirmNamePage::OnWizardNext() {
    if (!CanProceed())
        return -1;
    Sheet().firmName = firmName_->text().toStdString();
    CopySecret(password_, Sheet().masterPassword);
    return CSetupPage::OnWizardNext();
}
