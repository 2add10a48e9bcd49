#pragma once

#include "wizard/CSetupPage.h"

class CCheckTreeCtrl;
class QLabel;

/// Page 9 (template 280), shared by the installation and the update wizard: the states whose
/// practice modules are wanted, one check box each, from the online manifest. In the update
/// wizard a state starts checked when its module is installed.
class CStatePage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 280;
    static constexpr int kTreeId = 1027;
    explicit CStatePage(CSetupSheetWindow& sheet);

    void OnInitDialog() override;
    /// states becomes the text of every checked top-level item, in tree order.
    int OnWizardNext() override;

    CCheckTreeCtrl* Tree() const { return tree_; }

private:
    CCheckTreeCtrl* tree_; // 1027
    QLabel* explanation_;  // 1028
};
