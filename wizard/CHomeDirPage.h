#pragma once

#include "install/HomeDirectoryCheck.h"
#include "wizard/CSetupPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

/// Page 7 (template 150): the firm's home directory and, where the shared files are kept on this
/// computer, the network share name and the network user for it. The default path is proposed by
/// FindMasterComputer (a local folder, or the folder found on the network for a workstation) and
/// proposed again when the install type moves between those two, unless the user chose a path.
class CHomeDirPage : public CSetupPage {
    Q_OBJECT
public:
    static constexpr unsigned kTemplateId = 150;
    explicit CHomeDirPage(CSetupSheetWindow& sheet);

    void OnInitDialog() override;
    bool OnSetActive() override;
    /// The checks of HomeDirectoryCheck in their order; stores homeDirectory, shareName and
    /// networkUserName.
    int OnWizardNext() override;

    bool SharedFilesHere() const { return sharedFilesHere_; }
    bool PickedByHand() const { return pickedByHand_; }

private:
    int InstallType() const;
    /// Proposes the default path; the search runs while the window keeps being painted.
    void ProposePath();
    void UpdateButtons();
    void OnBrowse();

    QLabel* prompt_;      // 1002
    QLineEdit* path_;     // 1003
    QPushButton* browse_; // 1013
    QLabel* shareLabel_;
    QLineEdit* shareName_;     // 1016
    QLabel* shareExplanation_; // 1017
    QLabel* userLabel_;
    QLineEdit* userName_;     // 1014
    QLabel* userExplanation_; // 1045
    bool sharedFilesHere_ = true;
    bool pickedByHand_ = false;
    HomeDirectoryCheck check_;
};
