#pragma once

#include "app/UserInterface.h"

/// The user interface of the program, on Qt Widgets.
class QtUserInterface : public UserInterface {
public:
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    void StartProgressThread() override {}
    void ShowProgress(const std::string&, const std::string&) override {}
    void SetProgressText(const std::string&) override {}
    void HideProgress() override {}
    void StopProgressThread() override {}
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    int RunInstallWizard(CSetupSheet& sheet) override;
    int RunUpdateWizard(CSetupSheet& sheet) override;
    void RunAttorneyRoster(CSetupSheet& sheet) override;
};
