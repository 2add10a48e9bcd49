#pragma once

#include "attorneys/CEditDialog.h"
#include "tables/AttorneyInfo.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

/// Template 198, "Attorney Information": one attorney's fields, electronic filing logins and
/// National Data Center key. It never touches the main database: Save validates the fields,
/// checks the address against the places database and copies everything to the caller's objects,
/// which the caller stores. The logins are edited on a copy until then.
///
/// The login list keeps its items sorted by their text, the court name of each login's district;
/// an item's data is its login's position in the login list.
class CAttorneyInfoDialog : public CEditDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 198;
    static constexpr char kFormName[] = "Attorney Information";

    /// The caller's attorney, logins and key, which must outlive the dialog.
    CAttorneyInfoDialog(AttorneyInfo* info, EcfLoginList* logins, tl::SecretString* nationalDataCenterKey,
                        QWidget* parent = nullptr);
    /// Wipes the secret edits and the working copies of the logins.
    ~CAttorneyInfoDialog() override;

    /// The checks in their order, each failing with its message and the focus in its field; then
    /// the values are copied to the caller's objects and the dialog is unmodified.
    bool Save() override;

    void OnAddLogin();
    void OnEditLogin();
    void OnDeleteLogin();

protected:
    void OnInitDialog() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* AddEdit(const char* objectName, int maxLength);
    void BuildLayout(QLabel* loginLabel);
    void OnZipEdited();
    void OnZipFocusOut();
    bool CheckAddress();
    void AddLoginItem(int position, bool select);
    QListWidgetItem* SelectedLogin() const;
    void UpdateLoginButtons();

    AttorneyInfo* info_;
    EcfLoginList* callerLogins_;
    tl::SecretString* callerKey_;
    EcfLoginList logins_;

    QLineEdit* name_;          // 1018
    QLineEdit* firm_;          // 1681
    QLineEdit* address1_;      // 1020
    QLineEdit* address2_;      // 1021
    QLineEdit* zip_;           // 1025
    QLineEdit* city_;          // 1023
    QLineEdit* state_;         // 1024
    QLineEdit* email_;         // 1055
    QLineEdit* phone_;         // 1054
    QLineEdit* fax_;           // 1679
    QLineEdit* initials_;      // 1676
    QLineEdit* pacerId_;       // 1705
    QLineEdit* password_;      // 1642
    QLineEdit* key_;           // 1044
    QListWidget* loginList_;   // 1739
    QPushButton* addLogin_;    // 1007
    QPushButton* editLogin_;   // 1145
    QPushButton* deleteLogin_; // 1008
    QCheckBox* default_;       // 1687
};
