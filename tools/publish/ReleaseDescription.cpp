#include "tools/publish/ReleaseDescription.h"

#include "app/ManifestObjects.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "release/DownloadFile.h"
#include "release/ManifestNames.h"
#include "tables/CPackedDate.h"
#include "tools/ImportDataFile.h"

#include <climits>
#include <fstream>
#include <map>
#include <string_view>

namespace {

enum SectionKind : unsigned {
    NoSection = 0,
    ReleaseSection = 1,
    ModuleSection = 2,
    SupportSection = 4,
    AlertSection = 8,
    BrokenSection = 16 ///< its header was wrong (and reported): its values are passed over
};
constexpr unsigned kFileSections = ModuleSection | SupportSection;

struct NamedBits {
    std::string_view name;
    std::int32_t bits;
};

constexpr NamedBits kFlagNames[] = {
    {"AlwaysReplace", FlagAlwaysReplace}, {"InstallIfAbsent", FlagInstallIfAbsent},
    {"SharedFolder", FlagSharedFolder},   {"StateModule", FlagStateModule},
    {"Obsolete", FlagObsolete},           {"LocalAppData", FlagLocalAppData},
};

// The importers of the setup program, by the kind number that bits 8 to 11 of Flags carry.
constexpr NamedBits kImportKinds[] = {
    {"None", 0 << 8},     {"Checklist", 1 << 8},  {"Creditors", 2 << 8},
    {"Trustees", 3 << 8}, {"Provisions", 4 << 8}, {"PlanText", 5 << 8},
};

// The section being read: what its header said and the values met so far.
struct Section {
    SectionKind kind = NoSection;
    std::size_t line = 0;
    std::vector<std::string> keys;
    ReleaseEntry entry;
    ReleaseAlert alert;
    std::optional<std::int32_t> databaseLevel;
    std::optional<std::int32_t> updateLevel;
};

// A setter stores one value in the section, or says what is wrong with it.
using Setter = bool (*)(Section& section, const std::string& value, std::string& problem);

struct KeyRow {
    std::string_view key;
    unsigned sections;
    Setter set;
};

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

template <std::size_t N>
std::string NameList(const NamedBits (&names)[N]) {
    std::string list;
    for (std::size_t i = 0; i < N; ++i)
        list += (i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(names[i].name);
    return list;
}

template <std::size_t N>
const NamedBits* FindName(const NamedBits (&names)[N], std::string_view name) {
    for (const NamedBits& row : names) {
        if (tl::EqualsNoCase(row.name, name))
            return &row;
    }
    return nullptr;
}

bool ReadLevel(std::optional<std::int32_t>& level, const std::string& value, std::string& problem) {
    long long number = 0;
    const bool digits =
        !value.empty() && value.size() <= 10 && value.find_first_not_of("0123456789") == std::string::npos;
    if (digits)
        number = std::stoll(value);
    if (!digits || number > INT_MAX) {
        problem = "must be a whole number from 0 to 2147483647";
        return false;
    }
    level = static_cast<std::int32_t>(number);
    return true;
}

bool ReadDate(std::optional<std::string>& date, const std::string& value, std::string& problem) {
    if (value.empty()) {
        date = ""; // not applicable
        return true;
    }
    CPackedDate parsed;
    if (!parsed.FromText(value) || parsed.IsInvalid()) {
        problem = "is not a date (for example 04/18/2006, 2006, N/A)";
        return false;
    }
    date = parsed.Text();
    return true;
}

bool SetFlags(Section& section, const std::string& value, std::string& problem) {
    std::int32_t flags = section.entry.flags & FlagImportKindMask;
    std::size_t start = 0;
    while (start < value.size()) {
        const std::size_t end = value.find_first_of(" \t,", start);
        const std::string_view name = std::string_view(value).substr(start, end - start);
        start = end == std::string::npos ? value.size() : end + 1;
        if (name.empty())
            continue;
        const NamedBits* flag = FindName(kFlagNames, name);
        if (flag == nullptr) {
            problem = tl::Format("has the unknown flag %.*s; the flags are %s", static_cast<int>(name.size()),
                                 name.data(), NameList(kFlagNames).c_str());
            return false;
        }
        flags |= flag->bits;
    }
    section.entry.flags = flags;
    return true;
}

bool SetImport(Section& section, const std::string& value, std::string& problem) {
    const NamedBits* kind = FindName(kImportKinds, value);
    if (kind == nullptr) {
        problem = tl::Format("has the unknown import kind %s; the kinds are %s", value.c_str(),
                             NameList(kImportKinds).c_str());
        return false;
    }
    section.entry.flags = (section.entry.flags & ~FlagImportKindMask) | kind->bits;
    return true;
}

bool SetState(Section& section, const std::string& value, std::string& problem) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (!value.empty() && (value.size() != 2 || !letter(value[0]) || !letter(value[1]))) {
        problem = "must be a two-letter state code";
        return false;
    }
    section.entry.state = value;
    return true;
}

template <std::string ReleaseEntry::*Field>
bool SetEntryText(Section& section, const std::string& value, std::string&) {
    section.entry.*Field = value;
    return true;
}

template <std::string ReleaseAlert::*Field>
bool SetAlertText(Section& section, const std::string& value, std::string&) {
    section.alert.*Field = value;
    return true;
}

template <std::optional<std::int32_t> Section::*Field>
bool SetLevel(Section& section, const std::string& value, std::string& problem) {
    return ReadLevel(section.*Field, value, problem);
}

template <std::optional<std::string> ReleaseAlert::*Field>
bool SetAlertDate(Section& section, const std::string& value, std::string& problem) {
    return ReadDate(section.alert.*Field, value, problem);
}

constexpr KeyRow kKeys[] = {
    {"DatabaseLevel", ReleaseSection, SetLevel<&Section::databaseLevel>},
    {"UpdateLevel", ReleaseSection, SetLevel<&Section::updateLevel>},
    {"Description", kFileSections, SetEntryText<&ReleaseEntry::description>},
    {"Remarks", kFileSections, SetEntryText<&ReleaseEntry::remarks>},
    {"State", kFileSections, SetState},
    {"Flags", kFileSections, SetFlags},
    {"Import", SupportSection, SetImport},
    {"Effective", AlertSection, SetAlertDate<&ReleaseAlert::effective>},
    {"Expires", AlertSection, SetAlertDate<&ReleaseAlert::expires>},
    {"Level", AlertSection, SetAlertText<&ReleaseAlert::level>},
    {"Text", AlertSection, SetAlertText<&ReleaseAlert::text>},
};

const char* SectionName(unsigned kind) {
    switch (kind) {
    case ReleaseSection:
        return "[Release]";
    case ModuleSection:
        return "[Module]";
    case SupportSection:
        return "[SupportFile]";
    default:
        return "[Alert]";
    }
}

std::string KeysOf(unsigned kind) {
    std::string list;
    for (const KeyRow& row : kKeys) {
        if ((row.sections & kind) != 0)
            list += (list.empty() ? "" : ", ") + std::string(row.key);
    }
    return list;
}

class DescriptionReader {
public:
    DescriptionReader(const std::filesystem::path& path, std::vector<std::string>& errors) : errors_(errors) {
        result_.path = path;
    }

    ReleaseDescription Read();

private:
    void Error(std::size_t line, const std::string& message) {
        errors_.push_back(DescriptionError(result_.path, line, message));
    }
    void ReadLine(std::string_view text);
    void BeginSection(std::string_view header);
    void EndSection();
    void SetValue(std::string_view key, std::string_view rawValue);
    void CheckEntryFlags();
    void CheckNames();

    std::vector<std::string>& errors_;
    ReleaseDescription result_;
    std::size_t lineNumber_ = 0;
    Section section_;
    std::optional<std::size_t> releaseLine_;
};

ReleaseDescription DescriptionReader::Read() {
    std::ifstream in(result_.path, std::ios::binary);
    if (!in) {
        errors_.push_back(tl::Format("%s: cannot be opened", result_.path.c_str()));
        return result_;
    }
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber_;
        if (lineNumber_ == 1 && line.starts_with("\xEF\xBB\xBF"))
            line.erase(0, 3); // the byte order mark an editor may put first
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ReadLine(line);
    }
    if (in.bad())
        errors_.push_back(tl::Format("%s: cannot be read", result_.path.c_str()));
    EndSection();
    if (!releaseLine_)
        errors_.push_back(tl::Format("%s: no [Release] section giving DatabaseLevel and UpdateLevel",
                                     result_.path.c_str()));
    CheckNames();
    return result_;
}

void DescriptionReader::ReadLine(std::string_view line) {
    const std::string_view text = Trim(line);
    if (text.empty() || text.front() == ';' || text.front() == '#')
        return;
    if (text.front() == '[') {
        BeginSection(text);
        return;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return Error(lineNumber_, "expected [section] or Key=Value");
    if (section_.kind == NoSection)
        return Error(lineNumber_, "a value before the first [section]");
    if (section_.kind == BrokenSection)
        return;
    SetValue(Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)));
}

void DescriptionReader::BeginSection(std::string_view header) {
    EndSection();
    section_ = Section{};
    section_.kind = BrokenSection;
    section_.line = lineNumber_;
    if (header.back() != ']')
        return Error(lineNumber_, "a section header must end with ]");
    const std::string_view inside = Trim(header.substr(1, header.size() - 2));
    const std::size_t blank = inside.find_first_of(" \t");
    const std::string_view word = inside.substr(0, blank);
    const std::string_view label = blank == std::string_view::npos ? "" : Trim(inside.substr(blank));
    if (tl::EqualsNoCase(word, "Release") && label.empty()) {
        if (releaseLine_)
            return Error(lineNumber_,
                         tl::Format("a second [Release] section (the first is at line %zu)", *releaseLine_));
        releaseLine_ = lineNumber_;
        section_.kind = ReleaseSection;
        return;
    }
    const bool module = tl::EqualsNoCase(word, "Module");
    if (module || tl::EqualsNoCase(word, "SupportFile")) {
        if (!IsPlainFileName(label))
            return Error(lineNumber_,
                         tl::Format("\"%s\" is not a plain file name (no folder, drive or any of "
                                    "\\ / : * ? \" < > |)",
                                    PrintableName(label).c_str()));
        section_.kind = module ? ModuleSection : SupportSection;
        section_.entry.kind = module ? ReleaseEntry::Kind::Module : ReleaseEntry::Kind::SupportFile;
        section_.entry.name = label;
        section_.entry.line = lineNumber_;
        return;
    }
    if (tl::EqualsNoCase(word, "Alert") && !label.empty()) {
        section_.kind = AlertSection;
        section_.alert.id = label;
        section_.alert.line = lineNumber_;
        return;
    }
    Error(lineNumber_, tl::Format("unknown section [%s]; the sections are [Release], [Module <file name>], "
                                  "[SupportFile <file name>] and [Alert <ID>]",
                                  PrintableName(inside).c_str()));
}

void DescriptionReader::SetValue(std::string_view key, std::string_view rawValue) {
    if (key.empty())
        return Error(lineNumber_, "a value without a key");
    const std::string keyText(key);
    for (const std::string& seen : section_.keys) {
        if (tl::EqualsNoCase(seen, key))
            return Error(lineNumber_, keyText + " given twice in one section");
    }
    section_.keys.push_back(keyText);
    const std::optional<std::string> value = ImportDataFile::Unescape(rawValue);
    if (!value)
        return Error(lineNumber_, "unknown escape; write \\\\ for a backslash");
    for (const KeyRow& row : kKeys) {
        if ((row.sections & section_.kind) == 0 || !tl::EqualsNoCase(row.key, key))
            continue;
        std::string problem;
        if (!row.set(section_, *value, problem))
            Error(lineNumber_, std::string(row.key) + " " + problem);
        return;
    }
    std::string message = tl::Format("%s is not a key of %s; its keys are %s", keyText.c_str(),
                                     SectionName(section_.kind), KeysOf(section_.kind).c_str());
    if (section_.kind == ModuleSection && tl::EqualsNoCase(key, "Version"))
        message += " (a module's version is read from the file)";
    Error(lineNumber_, message);
}

void DescriptionReader::CheckEntryFlags() {
    const ReleaseEntry& entry = section_.entry;
    const std::int32_t flags = entry.flags;
    if ((flags & FlagSharedFolder) != 0 && (flags & FlagLocalAppData) != 0)
        Error(entry.line, entry.name + ": SharedFolder and LocalAppData exclude each other");
    if ((flags & FlagStateModule) != 0 && entry.state.empty())
        Error(entry.line, entry.name + ": StateModule needs a State");
    // An obsolete file has nothing on the server, so nothing may ask for it to be installed.
    const std::int32_t installing =
        FlagInstallIfAbsent | FlagStateModule | FlagAlwaysReplace | FlagImportKindMask;
    if ((flags & FlagObsolete) != 0 && (flags & installing) != 0)
        Error(entry.line, entry.name +
                              ": Obsolete excludes InstallIfAbsent, StateModule, AlwaysReplace and an "
                              "import kind");
}

void DescriptionReader::EndSection() {
    switch (section_.kind) {
    case ReleaseSection:
        if (!section_.databaseLevel || !section_.updateLevel)
            Error(section_.line,
                  section_.databaseLevel ? "[Release] lacks UpdateLevel" : "[Release] lacks DatabaseLevel");
        result_.databaseLevel = section_.databaseLevel.value_or(0);
        result_.updateLevel = section_.updateLevel.value_or(0);
        break;
    case ModuleSection:
    case SupportSection:
        CheckEntryFlags();
        result_.entries.push_back(std::move(section_.entry));
        break;
    case AlertSection:
        result_.alerts.push_back(std::move(section_.alert));
        break;
    case NoSection:
    case BrokenSection:
        break;
    }
    section_.kind = NoSection;
}

// One entry per file and folder, one file per name on the server (whose file system may not
// tell case apart), and one alert per ID.
void DescriptionReader::CheckNames() {
    std::map<std::string, std::size_t> targets;
    std::map<std::string, const ReleaseEntry*> served;
    for (const ReleaseEntry& entry : result_.entries) {
        const std::string target =
            tl::Format("%d:", FolderKindFromFlags(entry.flags)) + tl::ToLower(entry.name);
        if (const auto [first, added] = targets.emplace(target, entry.line); !added)
            Error(entry.line, tl::Format("%s is listed a second time for the same folder (first at line %zu)",
                                         entry.name.c_str(), first->second));
        if ((entry.flags & FlagObsolete) != 0)
            continue;
        const std::string server = ServerFileName(entry.name);
        if (const auto [first, added] = served.emplace(tl::ToLower(server), &entry);
            !added && first->second->name != entry.name)
            Error(entry.line, tl::Format("%s and %s (line %zu) have the same name on the file server, %s",
                                         entry.name.c_str(), first->second->name.c_str(), first->second->line,
                                         server.c_str()));
    }
    std::map<std::string, std::size_t> alerts;
    for (const ReleaseAlert& alert : result_.alerts) {
        if (const auto [first, added] = alerts.emplace(tl::ToLower(alert.id), alert.line); !added)
            Error(alert.line, tl::Format("a second alert %s (the first is at line %zu)", alert.id.c_str(),
                                         first->second));
    }
}

} // namespace

ReleaseDescription ReadReleaseDescription(const std::filesystem::path& path,
                                          std::vector<std::string>& errors) {
    return DescriptionReader(path, errors).Read();
}

std::string DescriptionError(const std::filesystem::path& path, std::size_t line,
                             const std::string& message) {
    return tl::Format("%s(%zu): %s", path.c_str(), line, message.c_str());
}
