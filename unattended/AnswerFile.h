#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

/// One "Key=Value" line of an answer file and where it was written.
struct Answer {
    std::string key; ///< as written
    std::string value;
    std::string source; ///< the file's name as given, or "standard input"
    int line = 0;

    /// "answers.ini(12): Key", for messages.
    std::string Where() const;
};

/// One section of an answer file: [Install], [Update], [Replies] or [Attorney <label>].
struct AnswerSection {
    enum class Kind { Install, Update, Replies, Attorney };

    Kind kind = Kind::Install;
    std::string label; ///< the text after "Attorney"
    std::string source;
    int line = 0;
    /// In the order written. A deque never moves its elements, so no copy of a password is left
    /// behind unwiped when the section grows.
    std::deque<Answer> answers;

    /// The answer of a key, matched without regard to case; nullptr when the section has none.
    const Answer* Find(std::string_view key) const;
    /// "[Install]", "[Attorney Jane Roe]".
    std::string Header() const;
};

/// The answers of an unattended run, read from an INI file:
///
///     ; comment
///     [Install]
///     FirmName=Harlow & Pryce
///
/// Lines end in LF or CR LF; a UTF-8 byte order mark is skipped; blank lines and lines whose
/// first non-blank character is ";" or "#" are comments. Keys are matched without regard to case,
/// blanks and tabs around keys and values are dropped, and values are taken as written (a
/// Windows path needs no escapes). Every section and key is checked against what the wizards
/// ask: an unknown one, a key given twice, a line that is neither, and a value before the first
/// section are errors naming the file and line.
///
/// Every value is wiped with 0xCC when the object goes, since some are passwords.
class AnswerFile {
public:
    AnswerFile() = default;
    AnswerFile(const AnswerFile&) = delete;
    AnswerFile& operator=(const AnswerFile&) = delete;
    ~AnswerFile();

    /// Reads the answer file's text. False when it has errors (Errors() names each).
    bool Read(std::string_view text, const std::string& source);

    /// Reads passwords given apart from the file (standard input) in the same form: only password
    /// keys, each in a section of the answer file ([Install] or an attorney's), and none that the
    /// file gives too. False when it has errors.
    bool ReadPasswords(std::string_view text, const std::string& source);

    const std::vector<std::string>& Errors() const { return errors_; }

    /// The one section of a kind (not for attorneys); nullptr when the file has none.
    const AnswerSection* Find(AnswerSection::Kind kind) const;
    /// The attorney sections in the order written.
    std::vector<const AnswerSection*> Attorneys() const;

    /// True when the text read by Read holds a password that is not empty.
    bool HoldsPassword() const { return holdsPassword_; }

    /// Whether a key of a section holds a password.
    static bool IsPasswordKey(AnswerSection::Kind kind, std::string_view key);

private:
    struct Reader;

    bool Fail(const std::string& source, int line, const std::string& message);

    std::vector<AnswerSection> sections_;
    std::vector<std::string> errors_;
    bool holdsPassword_ = false;
};
