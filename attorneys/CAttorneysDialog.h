#pragma once

#include "tables/AttorneyRoster.h"

#include <QDialog>

class CSetupSheet;
class CDBException;
class QListWidget;
class QPushButton;

/// Template 136, "Attorney Setup": the firm's attorneys, in the order they were added (by name when
/// the dialog opens), the default one marked with "*"; Add..., Edit... (also a double click),
/// Delete and Close. Edit and Delete are enabled exactly when an attorney is selected. Each action
/// is stored at once; a database failure is shown, leaves the tables and the list as they were,
/// and keeps the dialog open.
class CAttorneysDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 136;
    /// sheet, when given, receives a log line for every database failure.
    explicit CAttorneysDialog(QWidget* parent = nullptr, CSetupSheet* sheet = nullptr);

    /// Shows the dialog modally (initialising it first); returns win::IDOK or win::IDCANCEL.
    int DoModal();
    /// Reads the list; done by DoModal and by the first showing.
    void EnsureInitialised();

    void OnAdd();
    void OnEdit();
    void OnDelete();

    const AttorneyRoster& Roster() const { return roster_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void ReportDatabaseFailure(const CDBException& e, int line);
    void ShowEntries();
    void Select(int row);
    int SelectedRow() const;
    void UpdateButtons();

    CSetupSheet* sheet_;
    AttorneyRoster roster_;
    bool initialised_ = false;
    QListWidget* list_;   // 1683
    QPushButton* add_;    // 1686
    QPushButton* edit_;   // 1684
    QPushButton* delete_; // 1685
};

/// Shows the attorney setup dialog modally over the active window (GUI thread only). Without the
/// master key, which encrypts the attorneys' secrets, it says so and shows nothing.
void RunAttorneyRosterDialog(CSetupSheet* sheet);
