#include "wizard/CWelcomePage.h"

#include "app/CSetupSheet.h"
#include "wizard/PageWidgets.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

CWelcomePage::CWelcomePage(CSetupSheetWindow& sheet) : CSetupPage(sheet, kTemplateId, 0, 0) {
    setObjectName("CWelcomePage");
    auto* layout = new QVBoxLayout(this);
    SetExteriorMargins(layout);
    title_ = MakeText(this, "welcomeTitle", QStringLiteral("Tallymar Setup Wizard"));
    title_->setFont(TitleFont());
    layout->addWidget(title_);
    layout->addSpacing(14);
    layout->addWidget(
        MakeText(this, "welcomeText",
                 QStringLiteral("This wizard leads you through the steps for setting up Tallymar, "
                                "the bankruptcy case-management software, on this computer.")));
    layout->addSpacing(8);
    layout->addWidget(
        MakeText(this, "kindPrompt", QStringLiteral("Indicate which kind of setup you want to perform:")));
    layout->addSpacing(4);
    choices_[0] =
        AddWrappedRadio(layout, this, "radioThisComputerOnly",
                        QStringLiteral("Setup Tallymar to run on this computer only. If you choose this "
                                       "option, other people in your office will not be able to share "
                                       "case information with you."));
    choices_[1] =
        AddWrappedRadio(layout, this, "radioSharedFilesHere",
                        QStringLiteral("Setup Tallymar to run in a networked environment, where all shared "
                                       "files are kept on this computer."));
    choices_[2] =
        AddWrappedRadio(layout, this, "radioSharedFilesElsewhere",
                        QStringLiteral("Setup Tallymar to run in a networked environment, where all shared "
                                       "files are kept on a different computer. SETUP THAT DIFFERENT "
                                       "COMPUTER FIRST."));
    auto* group = new QButtonGroup(this);
    for (int index = 0; index < 3; ++index)
        group->addButton(choices_[index], index);
    choices_[0]->setChecked(true);
    layout->addStretch(1);
    layout->addWidget(MakeText(this, "continueText", QStringLiteral("To continue, click Next.")));
}

QFont CWelcomePage::TitleFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

int CWelcomePage::Selection() const {
    for (int index = 0; index < 3; ++index) {
        if (choices_[index]->isChecked())
            return index;
    }
    return 0;
}

int CWelcomePage::OnWizardNext() {
    const int selection = Selection();
    Sheet().SetChoice(kChoiceThisComputerOnly, selection == 0 ? 1 : 0);
    Sheet().SetChoice(kChoiceSharedFilesHere, selection == 1 ? 1 : 0);
    Sheet().SetChoice(kChoiceSharedFilesElsewhere, selection == 2 ? 1 : 0);
    return CSetupPage::OnWizardNext();
}
