#include "wizard/CUpdateListPage.h"

#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "update/UpdateList.h"
#include "update/UpgradeDatabases.h"
#include "wizard/PageWidgets.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kColumnWidths[] = {100, 300, 1000};

QTreeWidgetItem* Row(const std::string& name, const std::string& description, const std::string& remarks) {
    return new QTreeWidgetItem(
        {QString::fromStdString(name), QString::fromStdString(description), QString::fromStdString(remarks)});
}

} // namespace

CUpdateListPage::CUpdateListPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_FINISH_TITLE, IDS_FINISH_SUBTITLE, IDS_UPDATE_WIZARD),
      list_(new QTreeWidget(this)),
      databaseNote_(
          MakeText(this, "databaseNote",
                   QStringLiteral("Setup will also apply updates that are required to bring your "
                                  "shared database files up to the current level. (These updates "
                                  "are applied in such a way that it does no harm for multiple "
                                  "workstations to perform this step when you run Setup on them.)"))) {
    setObjectName("CUpdateListPage");
    SetCancelConfirmationId(IDS_CONFIRM_EXIT_UPDATE);
    // A list view in report mode: three columns, no tree decoration, whole rows selected.
    list_->setObjectName("updateList");
    list_->setColumnCount(3);
    list_->setHeaderLabels(
        {QStringLiteral("Filename"), QStringLiteral("Description"), QStringLiteral("Remarks")});
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setStretchLastSection(false);
    for (int column = 0; column < 3; ++column)
        list_->setColumnWidth(column, kColumnWidths[column]);
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(MakeText(this, "listPrompt",
                               QStringLiteral("Setup will update the following files. Press Back to review "
                                              "or change your settings, or Finish to update Tallymar.")));
    layout->addWidget(list_, 1);
    layout->addWidget(databaseNote_);
}

bool CUpdateListPage::OnSetActive() {
    CSetupPage::OnSetActive();
    BuildUpdateList(Sheet());
    FillList();
    databaseNote_->setVisible(GetProfileInt("DatabaseLevel", 0) < TargetDatabaseLevel(Sheet()));
    return true;
}

void CUpdateListPage::FillList() {
    list_->clear();
    for (const UpdateItem& item : theUpdateList) {
        const bool obsolete = (item.Flags & FlagObsolete) != 0;
        list_->addTopLevelItem(Row(item.Name,
                                   obsolete ? std::string("Obsolete - will be deleted") : item.Description,
                                   item.Remarks));
    }
    if (theUpdateList.empty())
        list_->addTopLevelItem(Row("(None)", "Your copy of Tallymar is up to date", {}));
}
