#pragma once

#include "wizard/CSetupPage.h"

class QLabel;
class QTreeWidget;

/// The update wizard's last page (template 278): the files the update will replace, install or
/// delete, rebuilt from the disk each time the page becomes active, and a note when the shared
/// databases will be upgraded as well.
class CUpdateListPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 278;
    static constexpr int kListId = 1024;
    static constexpr int kDatabaseNoteId = 1026;
    explicit CUpdateListPage(CSetupSheetWindow& sheet);

    /// Rebuilds theUpdateList and shows one row per item ("(None)" when there is none); the note
    /// is shown only when Settings DatabaseLevel (0 when absent) is below the manifest's.
    bool OnSetActive() override;

    QTreeWidget* List() const { return list_; }

private:
    void FillList();

    QTreeWidget* list_;    // 1024
    QLabel* databaseNote_; // 1026
};
