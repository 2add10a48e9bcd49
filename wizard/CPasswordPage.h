#pragma once

#include "wizard/CSetupPage.h"

#include <string>

class QFormLayout;
class QLineEdit;
class QVBoxLayout;

/// What the three password pages share: a password and its retype box, masked with "*", and
/// Next enabled only while the page's rule holds (checked on activation and after every edit).
class CPasswordPage : public CSetupPage {
    Q_OBJECT
public:
    CPasswordPage(CSetupSheetWindow& sheet, unsigned templateId, unsigned titleId, unsigned subtitleId);

    /// Masks the password boxes.
    void OnInitDialog() override;
    bool OnSetActive() override;
    /// Not shown on a workstation whose shared files are on a different computer.
    bool IsApplicable() override;

protected:
    /// The page's rule for Next.
    virtual bool CanProceed() const = 0;
    void UpdateButtons();
    /// Adds the explanation, then the two boxes (after any rows the page added first).
    void AddExplanation(const QString& text);
    void AddPasswordRows();
    /// Copies a secret box's text into target, wiping target's old value and the working copy.
    static void CopySecret(const QLineEdit* edit, std::string& target);

    QVBoxLayout* layout_;
    QFormLayout* form_;
    QLineEdit* password_; // 1015
    QLineEdit* retype_;   // 1016
};

/// Page 3 (template 154): the firm's name and the master password that encrypts client data.
class CFirmNamePage : public CPasswordPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 154;
    explicit CFirmNamePage(CSetupSheetWindow& sheet);

    /// The firm name is not empty, the password has 8 characters or more and is no longer than
    /// the firm name, and the retyped password equals it exactly.
    static bool IsAcceptable(const QString& firmName, const QString& password, const QString& retyped);

    int OnWizardNext() override;

protected:
    bool CanProceed() const override;

private:
    QLineEdit* firmName_; // 1014
};

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
