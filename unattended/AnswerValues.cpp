#include "unattended/AnswerValues.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "unattended/AnswerFile.h"
#include "unattended/RosterAnswers.h"

#include <array>

namespace {

// Code page 1252 from 0x80 to 0x9F; its five unassigned bytes keep the control characters of the
// same value, as Windows maps them.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The next character of UTF-8 text, advancing at; nullopt for a malformed or overlong sequence.
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    char32_t value = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 3;
        value = lead & 0x07;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < length; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return value;
}

int AnsiByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

void CheckInstallType(const AnswerSection& section, std::vector<std::string>& errors) {
    if (const Answer* answer = section.Find("InstallType");
        answer != nullptr && !ParseInstallType(answer->value))
        errors.push_back(answer->Where() +
                         " must be 0 (this computer only), 1 (a network whose shared files are kept on this "
                         "computer) or 2 (a network whose shared files are kept on a different computer)");
}

void CheckYesNo(const AnswerSection& section, const char* key, std::vector<std::string>& errors) {
    if (const Answer* answer = section.Find(key); answer != nullptr && !ParseYesNo(answer->value))
        errors.push_back(answer->Where() + " must be yes or no");
}

} // namespace

std::optional<bool> ParseYesNo(std::string_view text) {
    for (const char* yes : {"yes", "true", "on", "1"}) {
        if (tl::EqualsNoCase(text, yes))
            return true;
    }
    for (const char* no : {"no", "false", "off", "0"}) {
        if (tl::EqualsNoCase(text, no))
            return false;
    }
    return std::nullopt;
}

std::optional<int> ParseInstallType(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '2')
        return text[0] - '0';
    return std::nullopt;
}

std::vector<std::string> SplitStates(std::string_view text) {
    std::vector<std::string> states;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of(", \t", at);
        const std::string_view code =
            text.substr(at, end == std::string_view::npos ? text.size() - at : end - at);
        if (!code.empty())
            states.emplace_back(code);
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return states;
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
    // Built where it is returned, with room for all of it: some texts are passwords, and no copy
    // of them is to be left behind.
    std::optional<std::string> result(std::in_place);
    std::string& ansi = *result;
    ansi.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::optional<char32_t> c = NextCharacter(utf8, at);
        const int byte = c ? AnsiByteOf(*c) : -1;
        if (byte < 0x20) {
            tl::WipeString(ansi);
            result.reset();
            return result;
        }
        ansi += static_cast<char>(byte);
    }
    return result;
}

bool ValidateAnswers(const AnswerFile& answers, const std::string& source, std::vector<std::string>& errors) {
    const std::size_t before = errors.size();
    if (const AnswerSection* install = answers.Find(AnswerSection::Kind::Install)) {
        CheckInstallType(*install, errors);
        CheckYesNo(*install, "AcceptLicense", errors);
        CheckYesNo(*install, "SetupAttorneysNow", errors);
    }
    if (const AnswerSection* update = answers.Find(AnswerSection::Kind::Update)) {
        CheckInstallType(*update, errors);
        CheckYesNo(*update, "ApplySharedUpdates", errors);
    }
    for (const AnswerSection* attorney : answers.Attorneys())
        ValidateAttorney(*attorney, source, errors);
    return errors.size() == before;
}
