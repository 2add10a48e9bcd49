#pragma once

#include "wizard/CSetupPage.h"

#include <string>

class QLineEdit;
class QPushButton;

/// The update wizard's page for the folder where the product was installed before (template 277),
/// shown when the settings do not name it.
class CInstallDirectoryPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 277;
    explicit CInstallDirectoryPage(CSetupSheetWindow& sheet);

    /// The edit starts as the Program Files folder followed by "\Fenmore Software\Tallymar".
    void OnInitDialog() override;
    /// Accepts only a folder that exists and holds "Tallymar.exe" (else string 193, error icon,
    /// and the page stays); stores installDirectory.
    int OnWizardNext() override;

private:
    void OnBrowse();

    QLineEdit* path_;     // 1003
    QPushButton* browse_; // 1013
};
