#pragma once

#include <QDialog>
#include <initializer_list>

class QLineEdit;
class QPushButton;

/// Base of the roster's editing dialogs (attorney information, electronic filing login). It tracks
/// whether the user changed anything, shows it with " *" after the title and by enabling the
/// IDOK button (Save or OK) only then, and asks before changes are dropped. Keyboard: the labels'
/// and buttons' mnemonics are Qt's own (Alt and the underlined letter).
///
/// Run it with DoModal, which returns win::IDOK or win::IDCANCEL. OK ends with IDOK when Save
/// succeeds. Cancel (the button, Escape or the close box) asks QuerySave and ends with IDOK when
/// the user chose Yes and the save succeeded, IDCANCEL otherwise.
class CEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit CEditDialog(QWidget* parent = nullptr);

    /// Shows the dialog modally (initialising it first) and returns IDOK or IDCANCEL.
    int DoModal();
    /// Runs OnInitDialog once; done by DoModal and by the first showing.
    void EnsureInitialised();

    bool IsModified() const { return modified_; }

    /// May the dialog close? True when nothing changed. Otherwise asks "Save changes to <title>?"
    /// with Yes, No and Cancel (Yes and No with noCancel): Cancel gives false, No true (changes
    /// dropped), Yes the result of Save.
    virtual bool QuerySave(bool noCancel);
    /// Validates the fields and copies them to the caller's objects; here it only clears the
    /// modified state and succeeds.
    virtual bool Save();
    /// Stores the state, enables the IDOK button exactly when modified, and keeps one " *" after
    /// the title while modified and none otherwise.
    virtual void SetModified(bool modified);

    void accept() override;
    void reject() override;

protected:
    /// Before the first showing: the derived dialog fills its controls, then calls this, which
    /// starts the dialog unmodified.
    virtual void OnInitDialog();
    /// The IDOK button (Save or OK, the default button) and the IDCANCEL one (Close or Cancel).
    void SetDialogButtons(QPushButton* ok, QPushButton* cancel);
    /// Typing in any of these edits marks the dialog modified.
    void MarkModifiedOnEdit(std::initializer_list<QLineEdit*> edits);

    void showEvent(QShowEvent* event) override;

private:
    QPushButton* ok_ = nullptr;
    bool modified_ = false;
    bool initialised_ = false;
    bool savedOnQuery_ = false;
};
