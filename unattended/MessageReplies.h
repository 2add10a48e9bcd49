#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Answer;
struct AnswerSection;

/// The button id (IDOK, IDYES, ...) of a reply written as OK, Cancel, Yes, No, Abort, Retry or
/// Ignore (any case); nullopt for anything else.
std::optional<int> ButtonFromName(std::string_view name);
/// "OK", "Yes", ... for a button id; "?" for another number.
const char* ButtonName(int button);

/// The buttons of a message box style (MB_OK, MB_YESNO, ... in its low bits), in the order shown.
std::vector<int> ButtonsOf(unsigned style);
/// The answer that changes nothing: OK for a box with OK alone, No for Yes/No, Abort for
/// Abort/Retry/Ignore, Cancel for every other box.
int SafeDefaultButton(unsigned style);

/// True when text matches a pattern in which "*" stands for any run of characters (also none);
/// letters are compared without regard to case.
bool MatchesPattern(std::string_view pattern, std::string_view text);

/// The [Replies] of an answer file: message texts (patterns, see MatchesPattern) and the button
/// each is answered with.
class MessageReplies {
public:
    MessageReplies() = default;
    /// Takes the section's answers; none without a section.
    explicit MessageReplies(const AnswerSection* section);

    /// The first reply, in the order written, whose pattern matches the text; nullptr if none.
    const Answer* Find(std::string_view text) const;

private:
    const AnswerSection* section_ = nullptr;
};
