#pragma once

#include "app/UserInterface.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

/// A user interface without windows: message boxes are answered from a queue and every call is
/// recorded, so tests can assert exact texts, captions and icons.
class ScriptedUserInterface : public UserInterface {
public:
    struct Message {
        std::string text;
        std::string caption; ///< as shown: "Tallymar Setup" when the engine gave none
        unsigned style = 0;
        int answer = 0;
    };

    /// Queues the answer for the next message box. Without a queued answer a box gets its safe
    /// default: IDOK for MB_OK, IDCANCEL for boxes with Cancel, IDNO for MB_YESNO.
    void QueueAnswer(int answer) { answers_.push_back(answer); }

    const std::vector<Message>& Messages() const { return messages_; }
    /// Texts only, in order.
    std::vector<std::string> MessageTexts() const;

    /// Progress calls in order: "start", "show:<caption>|<text>", "text:<text>", "hide", "stop".
    const std::vector<std::string>& ProgressEvents() const { return progress_; }
    int WaitCursorDepth() const { return waitCursorDepth_; }

    /// What running a wizard does; unset wizards are cancelled (IDCANCEL).
    std::function<int(CSetupSheet&)> installWizard;
    std::function<int(CSetupSheet&)> updateWizard;
    std::function<void(CSetupSheet&)> attorneyRoster;

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    void StartProgressThread() override;
    void ShowProgress(const std::string& caption, const std::string& text) override;
    void SetProgressText(const std::string& text) override;
    void HideProgress() override;
    void StopProgressThread() override;
    void BeginWaitCursor() override { ++waitCursorDepth_; }
    void EndWaitCursor() override { --waitCursorDepth_; }
    int RunInstallWizard(CSetupSheet& sheet) override;
    int RunUpdateWizard(CSetupSheet& sheet) override;
    void RunAttorneyRoster(CSetupSheet& sheet) override;

private:
    std::deque<int> answers_;
    std::vector<Message> messages_;
    std::vector<std::string> progress_;
    int waitCursorDepth_ = 0;
};

/// Installs a scripted user interface for the lifetime of the object.
class ScopedScriptedUserInterface : public ScriptedUserInterface {
public:
    ScopedScriptedUserInterface() : previous_(SetUserInterface(this)) {}
    ScopedScriptedUserInterface(const ScopedScriptedUserInterface&) = delete;
    ScopedScriptedUserInterface& operator=(const ScopedScriptedUserInterface&) = delete;
    ~ScopedScriptedUserInterface() override { SetUserInterface(previous_); }

private:
    UserInterface* previous_;
};
