#include "attorneys/CAttorneysDialog.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/RosterWidgets.h"
#include "attorneys/ShowSourceError.h"
#include "crypto/MasterKey.h"
#include "db/CDBException.h"
#include "platform/WinTypes.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr char kSource[] = "AttorneysDialog";
}

CAttorneysDialog::CAttorneysDialog(QWidget* parent, CSetupSheet* sheet)
    : QDialog(parent), sheet_(sheet), list_(new QListWidget(this)),
      add_(new QPushButton(QStringLiteral("Add..."), this)),
      edit_(new QPushButton(QStringLiteral("Edit..."), this)),
      delete_(new QPushButton(QStringLiteral("Delete"), this)) {
    setObjectName("CAttorneysDialog");
    setWindowTitle(QStringLiteral("Attorney Setup"));
    setModal(true);
    list_->setObjectName("attorneyList");
    add_->setObjectName("addButton");
    edit_->setObjectName("editButton");
    delete_->setObjectName("deleteButton");
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName("closeButton");
    close->setDefault(true);
    for (QPushButton* button : {add_, edit_, delete_})
        button->setAutoDefault(false);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(edit_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(380, 240);

    connect(add_, &QPushButton::clicked, this, &CAttorneysDialog::OnAdd);
    connect(edit_, &QPushButton::clicked, this, &CAttorneysDialog::OnEdit);
    connect(delete_, &QPushButton::clicked, this, &CAttorneysDialog::OnDelete);
    connect(close, &QPushButton::clicked, this, [this] { done(win::IDOK); });
    connect(list_, &QListWidget::itemDoubleClicked, this, &CAttorneysDialog::OnEdit);
    connect(list_, &QListWidget::itemSelectionChanged, this, &CAttorneysDialog::UpdateButtons);
}

int CAttorneysDialog::DoModal() {
    EnsureInitialised();
    const int result = exec();
    return result == win::IDOK ? win::IDOK : win::IDCANCEL;
}

void CAttorneysDialog::EnsureInitialised() {
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

void CAttorneysDialog::showEvent(QShowEvent* event) {
    EnsureInitialised();
    QDialog::showEvent(event);
}

void CAttorneysDialog::OnInitDialog() {
    try {
        roster_.Load();
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
    }
    list_->clear();
    ShowEntries();
    Select(0);
}

void CAttorneysDialog::ReportDatabaseFailure(const CDBException& e, int line) {
    const std::string text = e.GetErrorMessage(kMaxSourceErrorText);
    if (sheet_ != nullptr)
        sheet_->Log("**** %s[%d] - %s", kSource, line, text.c_str());
    ShowSourceError(text, win::MB_ICONINFORMATION, 0, kSource, line);
}

// The items follow the roster's entries, position for position; their data is the attorney number.
void CAttorneysDialog::ShowEntries() {
    const std::vector<RosterEntry>& entries = roster_.Entries();
    while (list_->count() > static_cast<int>(entries.size()))
        delete list_->takeItem(list_->count() - 1);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int row = static_cast<int>(i);
        if (row == list_->count())
            list_->addItem(QString());
        QListWidgetItem* item = list_->item(row);
        item->setText(FromAnsi(entries[i].Text()));
        item->setData(Qt::UserRole, entries[i].number);
    }
}

void CAttorneysDialog::Select(int row) {
    if (row >= 0 && row < list_->count()) {
        list_->setCurrentRow(row);
    } else {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
    UpdateButtons();
}

int CAttorneysDialog::SelectedRow() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void CAttorneysDialog::UpdateButtons() {
    const bool selected = SelectedRow() >= 0;
    edit_->setEnabled(selected);
    delete_->setEnabled(selected);
}

void CAttorneysDialog::OnAdd() {
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    CAttorneyInfoDialog dialog(&info, &logins, &key, this);
    if (dialog.DoModal() != win::IDOK)
        return;
    std::size_t index = 0;
    try {
        index = roster_.Add(info, logins, key.str());
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return;
    }
    ShowEntries();
    Select(static_cast<int>(index));
}

void CAttorneysDialog::OnEdit() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    try {
        if (!roster_.LoadForEdit(static_cast<std::size_t>(row), info, logins, key))
            return;
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return;
    }
    CAttorneyInfoDialog dialog(&info, &logins, &key, this);
    if (dialog.DoModal() != win::IDOK)
        return;
    try {
        roster_.Edit(static_cast<std::size_t>(row), info, logins, key.str());
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return;
    }
    ShowEntries();
    Select(row);
}

void CAttorneysDialog::OnDelete() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (AppMessageBox("Deleting an attorney will require you to revise the CaseInfo for every case presently "
                      "assigned to that attorney. Do you want to delete the attorney?",
                      win::MB_YESNO | win::MB_ICONQUESTION) != win::IDYES)
        return;
    try {
        roster_.Delete(static_cast<std::size_t>(row));
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return;
    }
    delete list_->takeItem(row);
    ShowEntries();
    Select(row < list_->count() ? row : list_->count() - 1);
}

void RunAttorneyRosterDialog(CSetupSheet* sheet) {
    if (!theMasterKey) {
        if (sheet != nullptr)
            sheet->Log("**** The attorney list cannot be set up without the master password");
        AppMessageBox("The attorney list cannot be set up without the master password.", win::MB_ICONSTOP);
        return;
    }
    CAttorneysDialog dialog(QApplication::activeModalWidget(), sheet);
    dialog.DoModal();
}
