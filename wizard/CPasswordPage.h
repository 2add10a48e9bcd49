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
