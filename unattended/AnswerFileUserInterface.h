#pragma once

#include "app/UserInterface.h"
#include "unattended/MessageReplies.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class AnswerFile;

/// The user interface of an unattended run: no windows. The wizards take their answers from an
/// answer file, page by page, with the pages' checks and messages; a message box is written to
/// the output with its caption and answered with the file's reply for its text, or with its safe
/// default; every progress text is one line of the output. Passwords are never written.
///
/// What the answers did to the run is kept, so that the caller can tell a refused answer from a
/// cancelling one: a page whose check fails after a question answered No (or Cancel) cancels;
/// one that fails after a message (or a rule of its own) refuses the answer.
class AnswerFileUserInterface : public UserInterface {
public:
    enum class Verdict {
        None,       ///< the answers did not stop the run
        BadAnswer,  ///< an answer was refused (or a reply did not fit its box)
        Cancelled,  ///< an answer ended the run: a question answered No, a licence not accepted
        StepFailed, ///< a step that the answers drive failed (the log says which)
    };

    /// source names the answer file in messages. Output goes to out (standard error).
    AnswerFileUserInterface(const AnswerFile& answers, std::string source, std::FILE* out);

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    void StartProgressThread() override {}
    void ShowProgress(const std::string& caption, const std::string& text) override;
    void SetProgressText(const std::string& text) override;
    void HideProgress() override {}
    void StopProgressThread() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    int RunInstallWizard(CSetupSheet& sheet) override;
    int RunUpdateWizard(CSetupSheet& sheet) override;
    void RunAttorneyRoster(CSetupSheet& sheet) override;

    Verdict GetVerdict() const { return verdict_; }
    /// True when a message box with exactly this text was shown.
    bool Showed(std::string_view text) const;

    // For the pages.
    const AnswerFile& Answers() const { return answers_; }
    const std::string& Source() const { return source_; }
    /// Writes one line to the output (its line breaks are indented continuation lines).
    void Print(std::string_view prefix, std::string_view text);
    /// A page's line: "page: <wizard>: <title>: <detail>".
    void PrintPage(const std::string& title, const std::string& detail);
    /// Refuses an answer: "tlinstall: <where>: <why>"; the run ends with a bad answer.
    void Refuse(const std::string& where, const std::string& why);
    /// An answer ended the run.
    void Cancel(const std::string& why);
    /// A step that the answers drive failed.
    void Fail(const std::string& why);
    /// Names the answer a failed check refused, given the text of the last message it showed.
    using WhereRefused = std::function<std::string(std::string_view lastMessage)>;
    /// Runs a page's check. When it fails, the last message box it showed decides: a question
    /// answered No or Cancel cancels the run, anything else refuses the answer named by where.
    bool RunCheck(const WhereRefused& where, const std::function<bool()>& check);
    bool RunCheck(const std::string& where, const std::function<bool()>& check);

private:
    struct Shown {
        std::string text;
        unsigned style;
        int answer;
    };

    void SetVerdict(Verdict verdict);

    const AnswerFile& answers_;
    std::string source_;
    std::FILE* out_;
    MessageReplies replies_;
    std::string progressCaption_;
    std::string wizardCaption_;
    std::vector<Shown> shown_;
    Verdict verdict_ = Verdict::None;
};
