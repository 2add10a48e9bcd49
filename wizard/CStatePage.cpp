#include "wizard/CStatePage.h"

#include "app/CSetupSheet.h"
#include "install/StateModules.h"
#include "wizard/CCheckTreeCtrl.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/PageWidgets.h"

#include <QVBoxLayout>

namespace {

constexpr char kInstallExplanation[] =
    "The following list includes all states for which Tallymar supplies a practice module.";
constexpr char kUpdateExplanation[] =
    "The following list includes all states for which Tallymar supplies a "
    "practice module. A state is checked if its practice module is currently "
    "installed.";

} // namespace

CStatePage::CStatePage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, sheet.Sheet().isUpdate ? IDS_UPDATE_STATES_TITLE : IDS_STATES_TITLE,
                 sheet.Sheet().isUpdate ? IDS_UPDATE_STATES_SUBTITLE : IDS_STATES_SUBTITLE),
      tree_(new CCheckTreeCtrl(this, kTreeId)),
      explanation_(MakeText(this, "stateExplanation", kInstallExplanation)) {
    // The installation's cancel question in both wizards.
    setObjectName("CStatePage");
    tree_->setObjectName("stateTree");
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(explanation_);
    layout->addWidget(tree_, 1);
}

void CStatePage::OnInitDialog() {
    const CSetupSheet& sheet = Sheet();
    const std::vector<std::string> codes = StateModuleCodes(sheet.manifestObjects);
    if (codes.empty())
        return;
    explanation_->setText(QString::fromLatin1(sheet.isUpdate ? kUpdateExplanation : kInstallExplanation));
    for (const std::string& code : codes) {
        QTreeWidgetItem* item = tree_->InsertItem(QString::fromStdString(code));
        if (sheet.isUpdate)
            tree_->SetCheck(item, IsStateModuleInstalled(*sheet.manifestObjects.front(), code,
                                                         sheet.installDirectory, sheet.homeDirectory));
    }
}

int CStatePage::OnWizardNext() {
    std::vector<std::string>& states = Sheet().states;
    states.clear();
    for (int index = 0; index < tree_->topLevelItemCount(); ++index) {
        const QTreeWidgetItem* item = tree_->topLevelItem(index);
        if (tree_->IsChecked(item))
            states.push_back(item->text(0).toStdString());
    }
    return CSetupPage::OnWizardNext();
}
