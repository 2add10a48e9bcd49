#pragma once

#include "install/InstallDirectoryCheck.h"
#include "wizard/CSetupPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

/// Page 6 (template 149): the folder that receives the program's files.
class CInstallDirPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 149;
    explicit CInstallDirPage(CSetupSheetWindow& sheet);

    /// Proposes DefaultInstallDirectory.
    void OnInitDialog() override;
    bool OnSetActive() override;
    /// Local hard drive, then the creation question for a missing folder; stores installDirectory.
    int OnWizardNext() override;

private:
    void OnBrowse();

    QLabel* prompt_;      // 1002
    QLineEdit* path_;     // 1003
    QPushButton* browse_; // 1013
    InstallDirectoryCheck check_;
};
