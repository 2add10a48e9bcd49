#include "app/ScriptedUserInterface.h"

#include "app/AppConstants.h"
#include "platform/WinTypes.h"

namespace {

int SafeDefaultAnswer(unsigned style) {
    switch (style & win::MB_TYPEMASK) {
    case win::MB_OK:
        return win::IDOK;
    case win::MB_YESNO:
        return win::IDNO;
    default:
        return win::IDCANCEL;
    }
}

} // namespace

std::vector<std::string> ScriptedUserInterface::MessageTexts() const {
    std::vector<std::string> texts;
    for (const Message& message : messages_)
        texts.push_back(message.text);
    return texts;
}

int ScriptedUserInterface::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    int answer = SafeDefaultAnswer(style);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messages_.push_back(Message{text, caption.empty() ? std::string(kAppName) : caption, style, answer});
    return answer;
}

void ScriptedUserInterface::StartProgressThread() {
    progress_.emplace_back("start");
}

void ScriptedUserInterface::ShowProgress(const std::string& caption, const std::string& text) {
    progress_.push_back("show:" + caption + "|" + text);
}

void ScriptedUserInterface::SetProgressText(const std::string& text) {
    progress_.push_back("text:" + text);
}

void ScriptedUserInterface::HideProgress() {
    progress_.emplace_back("hide");
}

void ScriptedUserInterface::StopProgressThread() {
    progress_.emplace_back("stop");
}

int ScriptedUserInterface::RunInstallWizard(CSetupSheet& sheet) {
    return installWizard ? installWizard(sheet) : win::IDCANCEL;
}

int ScriptedUserInterface::RunUpdateWizard(CSetupSheet& sheet) {
    return updateWizard ? updateWizard(sheet) : win::IDCANCEL;
}

void ScriptedUserInterface::RunAttorneyRoster(CSetupSheet& sheet) {
    if (attorneyRoster)
        attorneyRoster(sheet);
}
