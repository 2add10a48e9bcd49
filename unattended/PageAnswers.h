#pragma once

#include "unattended/AnswerFile.h"

#include <string>

class AnswerFileUserInterface;

/// The answers of one wizard's section as its pages read them: a value or the page's default,
/// and where the answer was written, for messages.
class PageAnswers {
public:
    PageAnswers(const AnswerFileUserInterface& ui, AnswerSection::Kind kind);

    /// The answer of a key; nullptr when the file does not give it.
    const Answer* Get(const char* key) const;
    bool Has(const char* key) const { return Get(key) != nullptr; }
    /// The value, or fallback when the key is not given.
    std::string Text(const char* key, const std::string& fallback) const;
    /// A yes/no answer (checked before the run began), or fallback.
    bool YesNo(const char* key, bool fallback) const;
    /// An install type (checked before the run began), or fallback.
    int InstallType(const char* key, int fallback) const;
    /// "answers.ini(12): Key", or "answers.ini: [Install] Key (not given)".
    std::string Where(const char* key) const;

private:
    const AnswerSection* section_;
    std::string source_;
    AnswerSection::Kind kind_;
};
