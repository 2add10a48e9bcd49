#include "wizard/CPasswordPage.h"

#include "app/CSetupSheet.h"
#include "install/InstallType.h"
#include "platform/TextUtil.h"
#include "platform/WinTypes.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/PageWidgets.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kMinimumMasterPasswordLength = 8;
}

CPasswordPage::CPasswordPage(CSetupSheetWindow& sheet, unsigned templateId, unsigned titleId,
                             unsigned subtitleId)
    : CSetupPage(sheet, templateId, titleId, subtitleId), layout_(new QVBoxLayout(this)),
      form_(new QFormLayout), password_(new QLineEdit(this)), retype_(new QLineEdit(this)) {
    SetInteriorMargins(layout_);
    password_->setObjectName("passwordEdit");
    retype_->setObjectName("retypeEdit");
    connect(password_, &QLineEdit::textChanged, this, &CPasswordPage::UpdateButtons);
    connect(retype_, &QLineEdit::textChanged, this, &CPasswordPage::UpdateButtons);
}

void CPasswordPage::AddExplanation(const QString& text) {
    layout_->addWidget(MakeText(this, "explanation", text));
    layout_->addSpacing(10);
    layout_->addLayout(form_);
    layout_->addStretch(1);
}

void CPasswordPage::AddPasswordRows() {
    form_->addRow(QStringLiteral("&Password:"), password_);
    form_->addRow(QStringLiteral("&Retype password:"), retype_);
}

void CPasswordPage::OnInitDialog() {
    SetPasswordChar(password_);
    SetPasswordChar(retype_);
}

bool CPasswordPage::OnSetActive() {
    CSetupPage::OnSetActive();
    UpdateButtons();
    return true;
}

bool CPasswordPage::IsApplicable() {
    return InstallTypeFromChoices(Sheet()) != kInstallSharedFilesElsewhere;
}

void CPasswordPage::UpdateButtons() {
    if (SheetWindow().GetActivePage() != this)
        return;
    SetWizardButtons(win::PSWIZB_BACK | (CanProceed() ? win::PSWIZB_NEXT : 0));
}

void CPasswordPage::CopySecret(const QLineEdit* edit, std::string& target) {
    QByteArray bytes = edit->text().toUtf8();
    tl::WipeString(target);
    target.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    bytes.fill(static_cast<char>(0xCC));
}

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
    return !firmName.isEmpty() && password.size() >= kMinimumMasterPasswordLength &&
           password.size() <= firmName.size() && retyped == password;
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
