#pragma once

#include "wizard/CSetupPage.h"

class QLabel;

/// The update wizard's first page (template 276): an exterior page with the watermark and the
/// title in "Verdana Bold" at 12 points.
class CUpdateWelcomePage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 276;
    static constexpr int kTitleId = 1008;
    explicit CUpdateWelcomePage(CSetupSheetWindow& sheet);

    /// Gives the title its font.
    void OnInitDialog() override;

private:
    QLabel* title_; // 1008
};
