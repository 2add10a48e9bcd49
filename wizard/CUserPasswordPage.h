#pragma once

#include "wizard/CPasswordPage.h"

/// Pages 4 and 5 (templates 1016 and 1017): the login password of attorney or staff users; Next
/// is enabled exactly when the two boxes are equal, so a blank password is allowed.
class CUserPasswordPage : public CPasswordPage {
    Q_OBJECT
public:
    enum class Users { Attorneys, Staff };
    static constexpr unsigned kAttorneyTemplateId = 1016;
    static constexpr unsigned kStaffTemplateId = 1017;
    CUserPasswordPage(CSetupSheetWindow& sheet, Users users);

    int OnWizardNext() override;

protected:
    bool CanProceed() const override;

private:
    Users users_;
};
