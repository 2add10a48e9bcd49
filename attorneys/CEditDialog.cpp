#include "attorneys/CEditDialog.h"

#include "app/UserInterface.h"
#include "attorneys/RosterWidgets.h"
#include "platform/Format.h"
#include "platform/WinTypes.h"

#include <QLineEdit>
#include <QPushButton>

CEditDialog::CEditDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
}

int CEditDialog::DoModal() {
    EnsureInitialised();
    return exec();
}

void CEditDialog::EnsureInitialised() {
    if (initialised_)
        return;
    initialised_ = true;
    OnInitDialog();
}

void CEditDialog::showEvent(QShowEvent* event) {
    EnsureInitialised();
    QDialog::showEvent(event);
}

void CEditDialog::OnInitDialog() {
    SetModified(false);
}

void CEditDialog::SetDialogButtons(QPushButton* ok, QPushButton* cancel) {
    ok_ = ok;
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CEditDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CEditDialog::reject);
}

void CEditDialog::MarkModifiedOnEdit(std::initializer_list<QLineEdit*> edits) {
    for (QLineEdit* edit : edits)
        connect(edit, &QLineEdit::textEdited, this, [this] { SetModified(true); });
}

void CEditDialog::SetModified(bool modified) {
    modified_ = modified;
    if (ok_ != nullptr)
        ok_->setEnabled(modified);
    QString title = windowTitle();
    if (modified && !title.endsWith('*')) {
        setWindowTitle(title + " *");
    } else if (!modified && title.endsWith('*')) {
        title.chop(1);
        if (title.endsWith(' '))
            title.chop(1);
        setWindowTitle(title);
    }
}

bool CEditDialog::QuerySave(bool noCancel) {
    if (!modified_)
        return true;
    const unsigned buttons = noCancel ? win::MB_YESNO : win::MB_YESNOCANCEL;
    const int answer = AppMessageBox(tl::Format("Save changes to %s?", ToAnsi(windowTitle()).c_str()),
                                     buttons | win::MB_ICONQUESTION);
    if (answer == win::IDYES) {
        savedOnQuery_ = Save();
        return savedOnQuery_;
    }
    return answer == win::IDNO;
}

bool CEditDialog::Save() {
    SetModified(false);
    return true;
}

void CEditDialog::accept() {
    if (Save())
        done(win::IDOK);
}

void CEditDialog::reject() {
    savedOnQuery_ = false;
    if (QuerySave(false))
        done(savedOnQuery_ ? win::IDOK : win::IDCANCEL);
}
