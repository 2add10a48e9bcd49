#pragma once

#include "wizard/CPasswordPage.h"

/// Page 3 (template 154): the firm's name and the master password that encrypts client data.
class CFirmNamePage : public CPasswordPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 154;
    explicit CFirmNamePage(CSetupSheetWindow& sheet);

    /// The firm name is not empty, the password has 8 characters or more and is no longer than
    /// the firm name, and the retyped password equals it exactly (CheckFirmName).
    static bool IsAcceptable(const QString& firmName, const QString& password, const QString& retyped);

    int OnWizardNext() override;

protected:
    bool CanProceed() const override;

private:
    QLineEdit* firmName_; // 1014
};
