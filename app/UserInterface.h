#pragma once

#include <string>

class CSetupSheet;

/// Everything the engine asks of the user. The program implements it with Qt; tests (and an
/// unattended mode) with ScriptedUserInterface. Message-box styles and answers are the Windows
/// values of platform/WinTypes.h (MB_YESNO | MB_ICONSTOP, IDYES, ...).
///
/// Calls may come from the engine thread; an implementation that owns windows on another thread
/// crosses to it and blocks until the user answers.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    /// Shows a message box and returns the button pressed (IDOK, IDYES, ...). An empty caption
    /// means the application name, "Tallymar Setup".
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned style) = 0;

    // The progress window: started before a wizard, shown and hidden by the work, stopped at the end.
    virtual void StartProgressThread() = 0;
    virtual void ShowProgress(const std::string& caption, const std::string& text) = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    virtual void HideProgress() = 0;
    /// Returns within about a second even when the window does not answer.
    virtual void StopProgressThread() = 0;

    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    /// Runs the installation or update wizard modally on the sheet; returns ID_WIZFINISH when the
    /// user pressed Finish, anything else when the wizard was cancelled.
    virtual int RunInstallWizard(CSetupSheet& sheet) = 0;
    virtual int RunUpdateWizard(CSetupSheet& sheet) = 0;

    /// Runs the attorney roster dialog modally.
    virtual void RunAttorneyRoster(CSetupSheet& sheet) = 0;
};

/// The user interface of this process. Until one is installed, a scripted one answers every box
/// with its safe default (OK, Cancel or No) and cancels every wizard.
UserInterface& TheUserInterface();

/// Installs the user interface of this process (nullptr returns to the default); returns the
/// previous one. The caller keeps ownership.
UserInterface* SetUserInterface(UserInterface* ui);

/// Message box with the application's caption unless one is given.
int AppMessageBox(const std::string& text, unsigned style, const std::string& caption = {});
