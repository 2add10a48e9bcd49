#pragma once

#include "attorneys/CEditDialog.h"
#include "platform/TextUtil.h"

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

/// Template 274, "Electronic Filing Information": one electronic filing login of an attorney, its
/// judicial district, ECF login id and password and state bar number. The caller fills the public
/// values from a copy of the login before DoModal and reads them back after IDOK. The districts
/// offered are the process's district cache, read from the places database on the first opening
/// (with the progress window) and never again. OK starts disabled and is enabled by the first
/// change.
class CEcfLoginDialog : public CEditDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 274;
    explicit CEcfLoginDialog(QWidget* parent = nullptr);
    /// Wipes the password edit.
    ~CEcfLoginDialog() override;

    std::string heading;       ///< control 1002: "Electronic Filing Information for <attorney>"
    int selectedIndex = -1;    ///< the district list's selected entry
    std::string UserName;      ///< 1014
    tl::SecretString Password; ///< 1642
    std::string BarNumber;     ///< 1677
    std::string District;      ///< the district code; left as it was when no district is chosen

    /// Reads the controls; District becomes the cached code of the chosen entry. Always succeeds.
    bool Save() override;

protected:
    void OnInitDialog() override;

private:
    void FillDistricts();

    QLabel* heading_;      // 1002
    QComboBox* district_;  // 1082
    QLineEdit* userName_;  // 1014
    QLineEdit* password_;  // 1642
    QLineEdit* barNumber_; // 1677
};
