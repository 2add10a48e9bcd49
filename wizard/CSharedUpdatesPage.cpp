#include "wizard/CSharedUpdatesPage.h"

#include "app/CSetupSheet.h"
#include "install/InstallType.h"
#include "wizard/PageWidgets.h"

#include <QCheckBox>
#include <QVBoxLayout>

CSharedUpdatesPage::CSharedUpdatesPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_SHARED_UPDATES_TITLE, IDS_SHARED_UPDATES_SUBTITLE,
                 IDS_UPDATE_WIZARD),
      applyNow_(
          new QCheckBox(QStringLiteral("I want to apply necessary updates to shared files now."), this)) {
    setObjectName("CSharedUpdatesPage");
    SetCancelConfirmationId(IDS_CONFIRM_EXIT_UPDATE);
    applyNow_->setObjectName("applySharedUpdatesCheck");
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(MakeText(this, "sharedUpdatesText",
                               QStringLiteral("Some of the files that this workstation shares with the other "
                                              "computers of your office need updates. They are kept in the "
                                              "home directory on the computer that holds the shared files; "
                                              "update them only when no-one is using Tallymar over the "
                                              "network, preferably in a session on that computer.")));
    layout->addSpacing(10);
    layout->addWidget(applyNow_);
    layout->addStretch(1);
}

bool CSharedUpdatesPage::IsApplicable() {
    return Sheet().installType == kInstallSharedFilesElsewhere && Sheet().sharedUpdatesNeeded != 0;
}

int CSharedUpdatesPage::OnWizardNext() {
    Sheet().SetChoice(kChoiceApplySharedUpdates, applyNow_->isChecked() ? 1 : 0);
    return CSetupPage::OnWizardNext();
}
