#include "wizard/CPasswordPage.h"

#include "install/InstallType.h"
#include "platform/TextUtil.h"
#include "platform/WinTypes.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/PageWidgets.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

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
