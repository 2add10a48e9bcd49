#pragma once

#include "wizard/CSetupPage.h"

class QLabel;
class QRadioButton;

/// Page 1 (template 107): the welcome and the kind of setup, recorded as choices 1000 to 1002.
class CWelcomePage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 107;
    explicit CWelcomePage(CSetupSheetWindow& sheet);

    /// 0 this computer only, 1 shared files here, 2 shared files on a different computer.
    int Selection() const;
    /// The title font: "Verdana Bold" at 12 points, or the nearest bold font where Verdana is absent.
    static QFont TitleFont();

    int OnWizardNext() override;

private:
    QLabel* title_;
    QRadioButton* choices_[3];
};
