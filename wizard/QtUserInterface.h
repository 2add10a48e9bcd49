#pragma once

#include "app/UserInterface.h"
#include "wizard/GuiDispatcher.h"

#include <memory>

class CProgressThread;

/// The user interface of the program, on Qt Widgets. Create it on the GUI thread once the
/// QApplication exists. Every operation may be called from the engine thread: it runs on the GUI
/// thread and the caller waits for it (a call on the GUI thread runs at once).
class QtUserInterface : public UserInterface {
public:
    QtUserInterface();
    ~QtUserInterface() override;

    /// Message box with the caption (the application name when empty), the icon and buttons of
    /// the MB_ style bits; returns the Windows answer (IDOK, IDYES, ...). IDCANCEL after Shutdown.
    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    /// Creates the progress window (also done by the first ShowProgress when forgotten).
    void StartProgressThread() override;
    void ShowProgress(const std::string& caption, const std::string& text) override;
    void SetProgressText(const std::string& text) override;
    void HideProgress() override;
    void StopProgressThread() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    int RunInstallWizard(CSetupSheet& sheet) override;
    int RunUpdateWizard(CSetupSheet& sheet) override;
    void RunAttorneyRoster(CSetupSheet& sheet) override;

    /// Releases an engine thread waiting for the GUI (the event loop has ended); from then on
    /// every call from the engine returns at once with its cancel answer.
    void Shutdown() { dispatcher_.Shutdown(); }

    /// The progress window's owner while it runs, for tests.
    CProgressThread* ProgressThread() const { return progress_.get(); }

private:
    GuiDispatcher dispatcher_;
    std::unique_ptr<CProgressThread> progress_;
};

/// Shows a message box on the GUI thread, parented to the active modal window (the wizard).
int ShowQtMessageBox(const std::string& text, const std::string& caption, unsigned style);
