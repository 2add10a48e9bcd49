#include "unattended/PageAnswers.h"

#include "platform/Format.h"
#include "unattended/AnswerFileUserInterface.h"
#include "unattended/AnswerValues.h"

PageAnswers::PageAnswers(const AnswerFileUserInterface& ui, AnswerSection::Kind kind)
    : section_(ui.Answers().Find(kind)), source_(ui.Source()), kind_(kind) {}

const Answer* PageAnswers::Get(const char* key) const {
    return section_ != nullptr ? section_->Find(key) : nullptr;
}

std::string PageAnswers::Text(const char* key, const std::string& fallback) const {
    const Answer* answer = Get(key);
    return answer != nullptr ? answer->value : fallback;
}

bool PageAnswers::YesNo(const char* key, bool fallback) const {
    const Answer* answer = Get(key);
    return answer != nullptr ? ParseYesNo(answer->value).value_or(fallback) : fallback;
}

int PageAnswers::InstallType(const char* key, int fallback) const {
    const Answer* answer = Get(key);
    return answer != nullptr ? ParseInstallType(answer->value).value_or(fallback) : fallback;
}

std::string PageAnswers::Where(const char* key) const {
    if (const Answer* answer = Get(key))
        return answer->Where();
    AnswerSection header;
    header.kind = kind_;
    return tl::Format("%s: %s %s (not given)", source_.c_str(), header.Header().c_str(), key);
}
