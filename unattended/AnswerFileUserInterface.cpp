#include "unattended/AnswerFileUserInterface.h"

#include "app/AppConstants.h"
#include "app/CSetupSheet.h"
#include "platform/Format.h"
#include "platform/WinTypes.h"
#include "resources/StringTable.h"
#include "unattended/AnswerFile.h"
#include "unattended/InstallAnswers.h"
#include "unattended/RosterAnswers.h"
#include "unattended/UpdateAnswers.h"

#include <algorithm>

namespace {

bool IsQuestion(unsigned style) {
    const unsigned type = style & win::MB_TYPEMASK;
    return type != win::MB_OK;
}

std::string ButtonList(unsigned style) {
    std::string list;
    for (const int button : ButtonsOf(style)) {
        if (!list.empty())
            list += '/';
        list += ButtonName(button);
    }
    return list;
}

} // namespace

AnswerFileUserInterface::AnswerFileUserInterface(const AnswerFile& answers, std::string source,
                                                 std::FILE* out)
    : answers_(answers), source_(std::move(source)), out_(out),
      replies_(answers.Find(AnswerSection::Kind::Replies)) {}

void AnswerFileUserInterface::Print(std::string_view prefix, std::string_view text) {
    std::string line(prefix);
    for (const char c : text) {
        if (c == '\r')
            continue;
        line += c;
        if (c == '\n')
            line += "  ";
    }
    line += '\n';
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
}

void AnswerFileUserInterface::PrintPage(const std::string& title, const std::string& detail) {
    Print("page: ", wizardCaption_ + ": " + title + ": " + detail);
}

void AnswerFileUserInterface::SetVerdict(Verdict verdict) {
    // The first reason to stop is the one reported.
    if (verdict_ == Verdict::None)
        verdict_ = verdict;
}

void AnswerFileUserInterface::Refuse(const std::string& where, const std::string& why) {
    Print("tlinstall: ", where + ": " + why);
    SetVerdict(Verdict::BadAnswer);
}

void AnswerFileUserInterface::Cancel(const std::string& why) {
    Print("tlinstall: ", why);
    SetVerdict(Verdict::Cancelled);
}

void AnswerFileUserInterface::Fail(const std::string& why) {
    Print("tlinstall: ", why);
    SetVerdict(Verdict::StepFailed);
}

bool AnswerFileUserInterface::RunCheck(const WhereRefused& where, const std::function<bool()>& check) {
    const std::size_t before = shown_.size();
    if (check())
        return true;
    const Shown* last = shown_.size() > before ? &shown_.back() : nullptr;
    const std::string refused = where(last != nullptr ? std::string_view(last->text) : std::string_view());
    if (last != nullptr && IsQuestion(last->style) && last->answer != win::IDYES &&
        last->answer != win::IDOK) {
        Cancel(tl::Format("the answer %s to the question above ends the run (%s)", ButtonName(last->answer),
                          refused.c_str()));
        return false;
    }
    Refuse(refused, "the answer was refused (see the message above)");
    return false;
}

bool AnswerFileUserInterface::RunCheck(const std::string& where, const std::function<bool()>& check) {
    return RunCheck([&where](std::string_view) { return where; }, check);
}

bool AnswerFileUserInterface::Showed(std::string_view text) const {
    return std::any_of(shown_.begin(), shown_.end(),
                       [text](const Shown& shown) { return shown.text == text; });
}

int AnswerFileUserInterface::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    const std::string shownCaption = caption.empty() ? std::string(kAppName) : caption;
    Print("message: ", shownCaption + ": " + text);
    int answer = SafeDefaultButton(style);
    std::string origin = "the safe default of " + ButtonList(style);
    if (const Answer* reply = replies_.Find(text)) {
        const std::vector<int> buttons = ButtonsOf(style);
        const int wanted = ButtonFromName(reply->value).value_or(0);
        if (std::find(buttons.begin(), buttons.end(), wanted) != buttons.end()) {
            answer = wanted;
            origin = tl::Format("the reply of %s(%d)", reply->source.c_str(), reply->line);
        } else {
            Refuse(tl::Format("%s(%d)", reply->source.c_str(), reply->line),
                   tl::Format("%s is not a button of this box (%s); it gets the safe default",
                              reply->value.c_str(), ButtonList(style).c_str()));
        }
    }
    Print("answer: ", tl::Format("%s (%s)", ButtonName(answer), origin.c_str()));
    shown_.push_back(Shown{text, style, answer});
    return answer;
}

void AnswerFileUserInterface::ShowProgress(const std::string& caption, const std::string& text) {
    progressCaption_ = caption;
    SetProgressText(text);
}

void AnswerFileUserInterface::SetProgressText(const std::string& text) {
    if (text.empty())
        return;
    Print("progress: ", progressCaption_.empty() ? text : progressCaption_ + ": " + text);
}

int AnswerFileUserInterface::RunInstallWizard(CSetupSheet& sheet) {
    wizardCaption_ = tl::LoadString(CSetupSheet::kInstallCaptionId);
    return AnswerInstallWizard(sheet, *this);
}

int AnswerFileUserInterface::RunUpdateWizard(CSetupSheet& sheet) {
    wizardCaption_ = tl::LoadString(CSetupSheet::kUpdateCaptionId);
    return AnswerUpdateWizard(sheet, *this);
}

void AnswerFileUserInterface::RunAttorneyRoster(CSetupSheet& sheet) {
    AnswerAttorneyRoster(sheet, *this);
}
