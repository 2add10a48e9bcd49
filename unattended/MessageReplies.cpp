#include "unattended/MessageReplies.h"

#include "platform/TextUtil.h"
#include "platform/WinTypes.h"
#include "unattended/AnswerFile.h"

namespace {

struct ButtonNameRow {
    int button;
    const char* name;
};

constexpr ButtonNameRow kButtonNames[] = {
    {win::IDOK, "OK"},         {win::IDCANCEL, "Cancel"}, {win::IDABORT, "Abort"}, {win::IDRETRY, "Retry"},
    {win::IDIGNORE, "Ignore"}, {win::IDYES, "Yes"},       {win::IDNO, "No"},
};

} // namespace

std::optional<int> ButtonFromName(std::string_view name) {
    for (const ButtonNameRow& row : kButtonNames) {
        if (tl::EqualsNoCase(name, row.name))
            return row.button;
    }
    return std::nullopt;
}

const char* ButtonName(int button) {
    for (const ButtonNameRow& row : kButtonNames) {
        if (row.button == button)
            return row.name;
    }
    return "?";
}

std::vector<int> ButtonsOf(unsigned style) {
    switch (style & win::MB_TYPEMASK) {
    case win::MB_OKCANCEL:
        return {win::IDOK, win::IDCANCEL};
    case win::MB_ABORTRETRYIGNORE:
        return {win::IDABORT, win::IDRETRY, win::IDIGNORE};
    case win::MB_YESNOCANCEL:
        return {win::IDYES, win::IDNO, win::IDCANCEL};
    case win::MB_YESNO:
        return {win::IDYES, win::IDNO};
    case win::MB_RETRYCANCEL:
        return {win::IDRETRY, win::IDCANCEL};
    default:
        return {win::IDOK};
    }
}

int SafeDefaultButton(unsigned style) {
    switch (style & win::MB_TYPEMASK) {
    case win::MB_OK:
        return win::IDOK;
    case win::MB_YESNO:
        return win::IDNO;
    case win::MB_ABORTRETRYIGNORE:
        return win::IDABORT;
    default:
        return win::IDCANCEL;
    }
}

bool MatchesPattern(std::string_view pattern, std::string_view text) {
    // Greedy matching with one backtrack point: the position after the last "*" seen.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && tl::AsciiToLower(pattern[p]) == tl::AsciiToLower(text[t])) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

MessageReplies::MessageReplies(const AnswerSection* section) : section_(section) {}

const Answer* MessageReplies::Find(std::string_view text) const {
    if (section_ == nullptr)
        return nullptr;
    for (const Answer& reply : section_->answers) {
        if (MatchesPattern(reply.key, text))
            return &reply;
    }
    return nullptr;
}
