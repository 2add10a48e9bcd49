#include "unattended/AnswerFile.h"

#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "unattended/MessageReplies.h"

#include <algorithm>
#include <iterator>

namespace {

using Kind = AnswerSection::Kind;

struct KeyRule {
    const char* name;
    bool password;
};

constexpr KeyRule kInstallKeys[] = {
    {"InstallType", false},      {"AcceptLicense", false},     {"FirmName", false},
    {"MasterPassword", true},    {"AttorneyPassword", true},   {"StaffPassword", true},
    {"InstallDirectory", false}, {"HomeDirectory", false},     {"ShareName", false},
    {"NetworkUserName", false},  {"SetupAttorneysNow", false}, {"States", false},
};

constexpr KeyRule kUpdateKeys[] = {
    {"InstallDirectory", false}, {"InstallType", false}, {"States", false}, {"ApplySharedUpdates", false}};

constexpr KeyRule kAttorneyKeys[] = {
    {"Name", false},     {"Initials", false}, {"Firm", false},
    {"Address1", false}, {"Address2", false}, {"City", false},
    {"State", false},    {"Zipcode", false},  {"Telephone", false},
    {"Fax", false},      {"Email", false},    {"Default", false},
    {"PacerId", false},  {"Password", true},  {"NationalDataCenterKey", true},
};

// An attorney's electronic filing logins: Ecf1District, Ecf1UserName, Ecf1Password, Ecf1BarNumber,
// then Ecf2..., numbered from 1 to 99.
constexpr KeyRule kEcfFields[] = {
    {"District", false}, {"UserName", false}, {"Password", true}, {"BarNumber", false}};

const KeyRule* FindRule(std::string_view key, const KeyRule* begin, const KeyRule* end) {
    const KeyRule* rule = std::find_if(
        begin, end, [key](const KeyRule& candidate) { return tl::EqualsNoCase(key, candidate.name); });
    return rule != end ? rule : nullptr;
}

const KeyRule* FindEcfRule(std::string_view key) {
    if (!tl::StartsWithNoCase(key, "Ecf"))
        return nullptr;
    std::size_t digits = 3;
    while (digits < key.size() && key[digits] >= '0' && key[digits] <= '9')
        ++digits;
    if (digits == 3 || digits > 5 || key[3] == '0')
        return nullptr;
    return FindRule(key.substr(digits), std::begin(kEcfFields), std::end(kEcfFields));
}

// The rule of a key; nullptr for a key the section does not take. Replies take any text.
const KeyRule* RuleOf(Kind kind, std::string_view key) {
    static constexpr KeyRule kReply = {"", false};
    switch (kind) {
    case Kind::Install:
        return FindRule(key, std::begin(kInstallKeys), std::end(kInstallKeys));
    case Kind::Update:
        return FindRule(key, std::begin(kUpdateKeys), std::end(kUpdateKeys));
    case Kind::Replies:
        return &kReply;
    case Kind::Attorney:
        if (const KeyRule* rule = FindRule(key, std::begin(kAttorneyKeys), std::end(kAttorneyKeys)))
            return rule;
        return FindEcfRule(key);
    }
    return nullptr;
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The kind and label of a section header's text; false for a header no wizard reads.
bool ParseHeader(std::string_view text, Kind& kind, std::string& label) {
    struct Named {
        const char* name;
        Kind kind;
    };
    static constexpr Named kSingle[] = {
        {"Install", Kind::Install}, {"Update", Kind::Update}, {"Replies", Kind::Replies}};
    text = Trim(text);
    for (const Named& named : kSingle) {
        if (tl::EqualsNoCase(text, named.name)) {
            kind = named.kind;
            return true;
        }
    }
    const std::string_view attorney = "Attorney";
    if (tl::EqualsNoCase(text, attorney)) {
        kind = Kind::Attorney; // without the name that it needs
        return true;
    }
    if (text.size() > attorney.size() && tl::StartsWithNoCase(text, attorney) &&
        (text[attorney.size()] == ' ' || text[attorney.size()] == '\t')) {
        kind = Kind::Attorney;
        label = std::string(Trim(text.substr(attorney.size())));
        return true;
    }
    return false;
}

} // namespace

std::string Answer::Where() const {
    return tl::Format("%s(%d): %s", source.c_str(), line, key.c_str());
}

const Answer* AnswerSection::Find(std::string_view key) const {
    for (const Answer& answer : answers) {
        if (tl::EqualsNoCase(answer.key, key))
            return &answer;
    }
    return nullptr;
}

std::string AnswerSection::Header() const {
    switch (kind) {
    case Kind::Install:
        return "[Install]";
    case Kind::Update:
        return "[Update]";
    case Kind::Replies:
        return "[Replies]";
    case Kind::Attorney:
        return "[Attorney " + label + "]";
    }
    return {};
}

AnswerFile::~AnswerFile() {
    for (AnswerSection& section : sections_) {
        for (Answer& answer : section.answers)
            tl::WipeString(answer.value);
    }
}

bool AnswerFile::IsPasswordKey(Kind kind, std::string_view key) {
    const KeyRule* rule = RuleOf(kind, key);
    return rule != nullptr && rule->password;
}

bool AnswerFile::Fail(const std::string& source, int line, const std::string& message) {
    errors_.push_back(tl::Format("%s(%d): %s", source.c_str(), line, message.c_str()));
    return false;
}

const AnswerSection* AnswerFile::Find(Kind kind) const {
    for (const AnswerSection& section : sections_) {
        if (section.kind == kind)
            return &section;
    }
    return nullptr;
}

std::vector<const AnswerSection*> AnswerFile::Attorneys() const {
    std::vector<const AnswerSection*> attorneys;
    for (const AnswerSection& section : sections_) {
        if (section.kind == Kind::Attorney)
            attorneys.push_back(&section);
    }
    return attorneys;
}

/// Reads one text line by line into the file's sections. For the passwords, sections name the
/// ones the file already has, and only password keys are taken.
struct AnswerFile::Reader {
    AnswerFile& file;
    const std::string& source;
    bool passwordsOnly;
    AnswerSection* section = nullptr;
    bool sectionRefused = false; ///< its header was wrong: its values are passed over quietly

    void Header(std::string_view text, int line) {
        Kind kind = Kind::Install;
        std::string label;
        section = nullptr;
        sectionRefused = true;
        if (!ParseHeader(text, kind, label)) {
            file.Fail(source, line,
                      tl::Format("unknown section [%.*s]; an answer file has [Install], [Update], [Replies] "
                                 "and [Attorney <name>] sections",
                                 static_cast<int>(text.size()), text.data()));
            return;
        }
        if (kind == Kind::Attorney && label.empty()) {
            file.Fail(source, line, "an [Attorney <name>] section needs a name after Attorney");
            return;
        }
        AnswerSection* existing = nullptr;
        for (AnswerSection& candidate : file.sections_) {
            if (candidate.kind == kind &&
                (kind != Kind::Attorney || tl::EqualsNoCase(candidate.label, label)))
                existing = &candidate;
        }
        if (passwordsOnly) {
            if (existing == nullptr) {
                file.Fail(source, line,
                          tl::Format("[%.*s] is not a section of the answer file",
                                     static_cast<int>(text.size()), text.data()));
                return;
            }
            section = existing;
        } else {
            if (existing != nullptr) {
                file.Fail(source, line,
                          tl::Format("%s is given twice (first in line %d)", existing->Header().c_str(),
                                     existing->line));
                return;
            }
            file.sections_.push_back(AnswerSection{kind, label, source, line, {}});
            section = &file.sections_.back();
        }
        sectionRefused = false;
    }

    void Value(std::string_view text, int line) {
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            file.Fail(source, line, "a line must be a [section], a Key=Value or a comment");
            return;
        }
        const std::string key(Trim(text.substr(0, equals)));
        std::string value(Trim(text.substr(equals + 1)));
        Take(key, value, line);
        tl::WipeString(value);
    }

    void Take(const std::string& key, const std::string& value, int line) {
        if (sectionRefused)
            return;
        if (section == nullptr) {
            file.Fail(source, line, "a value must follow a [section] header");
            return;
        }
        if (key.empty()) {
            file.Fail(source, line, "a value needs a key before the =");
            return;
        }
        const KeyRule* rule = RuleOf(section->kind, key);
        if (rule == nullptr) {
            file.Fail(source, line,
                      tl::Format("%s is not a key of %s", key.c_str(), section->Header().c_str()));
            return;
        }
        if (passwordsOnly && !rule->password) {
            file.Fail(source, line,
                      tl::Format("%s is not a password; only passwords may be given here", key.c_str()));
            return;
        }
        if (const Answer* earlier = section->Find(key)) {
            file.Fail(source, line,
                      tl::Format("%s is given twice (first in %s(%d))", key.c_str(), earlier->source.c_str(),
                                 earlier->line));
            return;
        }
        if (section->kind == Kind::Replies && !ButtonFromName(value)) {
            file.Fail(source, line,
                      tl::Format("the reply to \"%s\" must be OK, Cancel, Yes, No, Abort, Retry or Ignore",
                                 key.c_str()));
            return;
        }
        if (rule->password && !value.empty() && !passwordsOnly)
            file.holdsPassword_ = true;
        Answer& answer = section->answers.emplace_back();
        answer.key = key;
        answer.value = value;
        answer.source = source;
        answer.line = line;
    }

    void Run(std::string_view text) {
        if (text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        int line = 0;
        while (!text.empty()) {
            ++line;
            const std::size_t end = text.find('\n');
            std::string_view current = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (current.ends_with('\r'))
                current.remove_suffix(1);
            const std::string_view trimmed = Trim(current);
            if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
                continue;
            if (trimmed.front() == '[') {
                if (trimmed.back() != ']') {
                    file.Fail(source, line, "a section header must end in ]");
                    sectionRefused = true;
                    continue;
                }
                Header(trimmed.substr(1, trimmed.size() - 2), line);
                continue;
            }
            Value(trimmed, line);
        }
    }
};

bool AnswerFile::Read(std::string_view text, const std::string& source) {
    const std::size_t before = errors_.size();
    // Sections are found again by address while reading: room for all of them is kept beforehand.
    sections_.reserve(sections_.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '[')));
    Reader{*this, source, false}.Run(text);
    return errors_.size() == before;
}

bool AnswerFile::ReadPasswords(std::string_view text, const std::string& source) {
    const std::size_t before = errors_.size();
    Reader reader{*this, source, true};
    // Passwords without a header belong to [Install], the section that asks for the three.
    for (AnswerSection& section : sections_) {
        if (section.kind == Kind::Install)
            reader.section = &section;
    }
    reader.Run(text);
    return errors_.size() == before;
}
