#pragma once

#include "wizard/CSetupPage.h"

/// Page 10 (template 148): the last word before Finish.
class CFinishPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 148;
    explicit CFinishPage(CSetupSheetWindow& sheet);
};
