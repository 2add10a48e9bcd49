#pragma once

#include "wizard/CSetupPage.h"

class QLabel;
class QPlainTextEdit;
class QRadioButton;

/// Page 2 (template 153): the licence text and the agree / don't agree choice (understand / don't
/// understand on a workstation whose shared files are elsewhere).
class CLicensePage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 153;
    explicit CLicensePage(CSetupSheetWindow& sheet);

    void OnInitDialog() override;
    bool OnSetActive() override;
    /// While "don't agree" is selected, Next presses the sheet's Cancel button instead.
    int OnWizardNext() override;

private:
    void UpdateButtons();

    QPlainTextEdit* text_;
    QLabel* prompt_;
    QRadioButton* agree_;    // 1011, value 1
    QRadioButton* disagree_; // 1012, value 0, the default
};
