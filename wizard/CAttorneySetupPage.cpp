#include "wizard/CAttorneySetupPage.h"

#include "app/CSetupSheet.h"
#include "install/InstallType.h"
#include "wizard/PageWidgets.h"

#include <QCheckBox>
#include <QVBoxLayout>

CAttorneySetupPage::CAttorneySetupPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_ATTORNEY_SETUP_TITLE, IDS_ATTORNEY_SETUP_SUBTITLE),
      setupNow_(
          new QCheckBox(QStringLiteral("Check this box if you want to setup the attorney list now."), this)) {
    setObjectName("CAttorneySetupPage");
    setupNow_->setObjectName("setupAttorneysCheck");
    setupNow_->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(
        MakeText(this, "attorneyText",
                 QStringLiteral("Tallymar keeps a list of the attorneys in your office, with their "
                                "electronic filing logins. You can set it up as soon as the "
                                "installation is finished, or later from within Tallymar.")));
    layout->addSpacing(10);
    layout->addWidget(setupNow_);
    layout->addStretch(1);
}

int CAttorneySetupPage::OnWizardNext() {
    Sheet().SetChoice(kChoiceSetupAttorneysNow, setupNow_->isChecked() ? 1 : 0);
    return CSetupPage::OnWizardNext();
}

bool CAttorneySetupPage::IsApplicable() {
    return InstallTypeFromChoices(Sheet()) != kInstallSharedFilesElsewhere;
}
