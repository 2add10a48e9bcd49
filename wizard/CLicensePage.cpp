#include "wizard/CLicensePage.h"

#include "install/InstallType.h"
#include "platform/WinTypes.h"
#include "resources/ResourceBundle.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/PageWidgets.h"

#include <QButtonGroup>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CLicensePage::CLicensePage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_LICENSE_TITLE, IDS_LICENSE_SUBTITLE),
      text_(new QPlainTextEdit(this)), prompt_(MakeText(this, "licensePrompt", {})),
      agree_(new QRadioButton(this)), disagree_(new QRadioButton(this)) {
    setObjectName("CLicensePage");
    text_->setObjectName("licenseText");
    text_->setReadOnly(true);
    agree_->setObjectName("radioAgree");
    disagree_->setObjectName("radioDisagree");
    auto* group = new QButtonGroup(this);
    group->addButton(disagree_, 0);
    group->addButton(agree_, 1);
    disagree_->setChecked(true);
    connect(agree_, &QRadioButton::clicked, this, &CLicensePage::UpdateButtons);
    connect(disagree_, &QRadioButton::clicked, this, &CLicensePage::UpdateButtons);

    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(text_, 1);
    layout->addWidget(prompt_);
    layout->addWidget(agree_);
    layout->addWidget(disagree_);
}

void CLicensePage::OnInitDialog() {
    // The resource is taken whole, its size from the resource rather than a terminating zero.
    text_->setPlainText(QString::fromUtf8(LoadCustomResource("LICENSETEXT", IDR_LICENSETEXT)));
}

bool CLicensePage::OnSetActive() {
    // Next keeps the state the base gives it until a choice is clicked, so Next before agreeing
    // is possible and asks whether to leave setup.
    CSetupPage::OnSetActive();
    const bool understand = InstallTypeFromChoices(Sheet()) == kInstallSharedFilesElsewhere;
    prompt_->setText(QString::fromStdString(
        tl::LoadString(understand ? IDS_LICENSE_PROMPT_UNDERSTAND : IDS_LICENSE_PROMPT_AGREE)));
    prompt_->setVisible(!prompt_->text().isEmpty());
    agree_->setText(understand ? QStringLiteral("I understand") : QStringLiteral("I agree"));
    disagree_->setText(understand ? QStringLiteral("I don't understand") : QStringLiteral("I don't agree"));
    return true;
}

void CLicensePage::UpdateButtons() {
    SetWizardButtons(win::PSWIZB_BACK | (agree_->isChecked() ? win::PSWIZB_NEXT : 0));
}

int CLicensePage::OnWizardNext() {
    if (disagree_->isChecked()) {
        SheetWindow().PressButton(CSetupSheetWindow::PSBTN_CANCEL);
        return -1;
    }
    return CSetupPage::OnWizardNext();
}
