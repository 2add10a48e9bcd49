#include "wizard/CUpdateWelcomePage.h"

#include "wizard/CWelcomePage.h"
#include "wizard/PageWidgets.h"

#include <QVBoxLayout>

CUpdateWelcomePage::CUpdateWelcomePage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, 0, 0, IDS_UPDATE_WIZARD),
      title_(MakeText(this, "welcomeTitle", QStringLiteral("Tallymar Update Wizard"))) {
    setObjectName("CUpdateWelcomePage");
    SetCancelConfirmationId(IDS_CONFIRM_EXIT_UPDATE);
    auto* layout = new QVBoxLayout(this);
    SetExteriorMargins(layout);
    layout->addWidget(title_);
    layout->addSpacing(14);
    layout->addWidget(MakeText(this, "welcomeText",
                               QStringLiteral("This wizard brings your copy of Tallymar up to date. It "
                                              "compares the files installed on this computer with the "
                                              "current release, and replaces, installs or deletes the "
                                              "files that need it.")));
    layout->addSpacing(8);
    layout->addWidget(
        MakeText(this, "closeText", QStringLiteral("Before you continue, close Tallymar on this computer.")));
    layout->addStretch(1);
    layout->addWidget(MakeText(this, "continueText", QStringLiteral("To continue, click Next.")));
}

void CUpdateWelcomePage::OnInitDialog() {
    title_->setFont(CWelcomePage::TitleFont());
}
