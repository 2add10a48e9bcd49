#pragma once

#include "wizard/CSetupPage.h"

class QCheckBox;

/// The update wizard's question whether the files of the shared home directory are to be updated
/// now (template 1015), asked only on a workstation whose shared files are on another computer and
/// only when some of them need it.
class CSharedUpdatesPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 1015;
    explicit CSharedUpdatesPage(CSetupSheetWindow& sheet);

    /// installType is 2 and the shared-file check found work.
    bool IsApplicable() override;
    /// Records the box as choice 1040 (1 ticked, 0 not).
    int OnWizardNext() override;

private:
    QCheckBox* applyNow_; // 1040
};
