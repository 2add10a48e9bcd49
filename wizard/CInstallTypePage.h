#pragma once

#include "wizard/CSetupPage.h"

class QRadioButton;

/// The update wizard's page for the kind of setup made before (template 279), shown when the
/// settings do not record it: 0 this computer only, 1 shared files here, 2 shared files on a
/// different computer.
class CInstallTypePage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 279;
    explicit CInstallTypePage(CSetupSheetWindow& sheet);

    /// The chosen value, 0 to 2.
    int Selection() const;
    /// Starts on the sheet's installType, or on 0 when none is known, so an answer is always given.
    void OnInitDialog() override;
    /// Stores the choice in installType.
    int OnWizardNext() override;

private:
    QRadioButton* choices_[3]; // 1000 to 1002
};
