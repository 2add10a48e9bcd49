#pragma once

#include "wizard/CSetupPage.h"

class QCheckBox;

/// Page 8 (template 275): whether to set up the attorney list right after installing (choice 1019).
class CAttorneySetupPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 275;
    explicit CAttorneySetupPage(CSetupSheetWindow& sheet);

    int OnWizardNext() override;
    /// Not shown on a workstation whose shared files are on a different computer.
    bool IsApplicable() override;

private:
    QCheckBox* setupNow_; // 1019, ticked by default
};
