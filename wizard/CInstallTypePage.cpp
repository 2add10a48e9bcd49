#include "wizard/CInstallTypePage.h"

#include "app/CSetupSheet.h"
#include "wizard/PageWidgets.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

CInstallTypePage::CInstallTypePage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_INSTALL_TYPE_TITLE, IDS_INSTALL_TYPE_SUBTITLE, IDS_UPDATE_WIZARD) {
    setObjectName("CInstallTypePage");
    SetCancelConfirmationId(IDS_CONFIRM_EXIT_UPDATE);
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(MakeText(this, "typePrompt",
                               QStringLiteral("Indicate which kind of setup you performed previously:")));
    layout->addSpacing(4);
    choices_[0] = AddWrappedRadio(layout, this, "radioThisComputerOnly",
                                  QStringLiteral("Tallymar was setup to run on this computer only."));
    choices_[1] =
        AddWrappedRadio(layout, this, "radioSharedFilesHere",
                        QStringLiteral("Tallymar was setup to run in a networked environment, where "
                                       "all shared files are kept on this computer."));
    choices_[2] =
        AddWrappedRadio(layout, this, "radioSharedFilesElsewhere",
                        QStringLiteral("Tallymar was setup to run in a networked environment, where "
                                       "all shared files are kept on a different computer."));
    auto* group = new QButtonGroup(this);
    for (int index = 0; index < 3; ++index)
        group->addButton(choices_[index], index);
    layout->addStretch(1);
}

void CInstallTypePage::OnInitDialog() {
    const int type = Sheet().installType;
    choices_[type >= 0 && type <= 2 ? type : 0]->setChecked(true);
}

int CInstallTypePage::Selection() const {
    for (int index = 0; index < 3; ++index) {
        if (choices_[index]->isChecked())
            return index;
    }
    return 0;
}

int CInstallTypePage::OnWizardNext() {
    Sheet().installType = Selection();
    return CSetupPage::OnWizardNext();
}
