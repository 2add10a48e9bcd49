#include "update/UpdateJournal.h"

#include "platform/HostFile.h"
#include "platform/LastError.h"
#include "platform/Machine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>

namespace fs = std::filesystem;

namespace {

constexpr char kFirstLine[] = "TlInstall update journal 1";

struct StepName {
    JournalStepKind kind;
    const char* name;
};
constexpr StepName kStepNames[] = {
    {JournalStepKind::Backup, "backup"},
    {JournalStepKind::Install, "install"},
    {JournalStepKind::Delete, "delete"},
};

const char* NameOf(JournalStepKind kind) {
    for (const StepName& step : kStepNames) {
        if (step.kind == kind)
            return step.name;
    }
    return "?";
}

std::string Escaped(const fs::path& path) {
    std::string text;
    for (const char c : path.string()) {
        switch (c) {
        case '%':
            text += "%25";
            break;
        case '\t':
            text += "%09";
            break;
        case '\n':
            text += "%0A";
            break;
        case '\r':
            text += "%0D";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::optional<fs::path> Unescaped(std::string_view text) {
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            path += text[i];
            continue;
        }
        const std::string_view code = text.substr(i + 1, 2);
        if (code == "25")
            path += '%';
        else if (code == "09")
            path += '\t';
        else if (code == "0A")
            path += '\n';
        else if (code == "0D")
            path += '\r';
        else
            return std::nullopt;
        i += 2;
    }
    if (path.empty() || path.front() != '/')
        return std::nullopt; // every path of the journal is a whole host path
    return fs::path(path);
}

std::optional<JournalStep> ReadStep(std::string_view line) {
    for (const StepName& step : kStepNames) {
        const std::string_view name = step.name;
        if (!line.starts_with(name) || line.size() <= name.size() || line[name.size()] != ' ')
            continue;
        const std::string_view paths = line.substr(name.size() + 1);
        const std::size_t tab = paths.find('\t');
        if (tab == std::string_view::npos)
            return std::nullopt;
        const auto from = Unescaped(paths.substr(0, tab));
        const auto to = Unescaped(paths.substr(tab + 1));
        if (!from || !to)
            return std::nullopt;
        return JournalStep{step.kind, *from, *to};
    }
    return std::nullopt;
}

bool IsInside(const fs::path& path, const std::vector<fs::path>& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [&](const fs::path& folder) { return path.parent_path().parent_path() == folder; });
}

// The file of a step that lives in a staging folder: a backup, or a staged file.
const fs::path& StagingSideOf(const JournalStep& step) {
    return step.kind == JournalStepKind::Install ? step.from : step.to;
}

// The journal's lines after the first; false at the first line that is not one.
bool ReadLines(std::istream& lines, UpdateJournal& journal, std::string& problem) {
    std::string line;
    if (!std::getline(lines, line) || (line != "phase stage" && line != "phase commit")) {
        problem = "no phase";
        return false;
    }
    journal.phase = line == "phase stage" ? UpdateJournal::Phase::Stage : UpdateJournal::Phase::Commit;
    while (std::getline(lines, line)) {
        if (line == "end")
            return true;
        if (line.starts_with("staging ")) {
            const auto folder = Unescaped(std::string_view(line).substr(8));
            if (!folder) {
                problem = "a staging folder that is not a path";
                return false;
            }
            if (folder->filename() != kStagingFolderName) {
                problem = "a staging folder that is not one: " + folder->string();
                return false;
            }
            journal.stagingFolders.push_back(*folder);
            continue;
        }
        const auto step = ReadStep(line);
        if (!step) {
            problem = "a line that is not a step: " + line;
            return false;
        }
        if (!IsInside(StagingSideOf(*step), journal.stagingFolders)) {
            problem = "a step outside the staging folders: " + line;
            return false;
        }
        journal.steps.push_back(*step);
    }
    problem = "no end";
    return false;
}

} // namespace

fs::path UpdateJournalFile() {
    return UpdateJournalFolder() / "journal";
}

fs::path UpdateProgressFile() {
    return UpdateJournalFolder() / "progress";
}

DWORD WriteUpdateJournal(const UpdateJournal& journal) {
    std::error_code error;
    fs::create_directories(UpdateJournalFolder(), error);
    if (error)
        return win::ErrorFromErrno(error.value());
    std::string text = std::string(kFirstLine) + "\n";
    text += journal.phase == UpdateJournal::Phase::Stage ? "phase stage\n" : "phase commit\n";
    for (const fs::path& folder : journal.stagingFolders)
        text += "staging " + Escaped(folder) + "\n";
    for (const JournalStep& step : journal.steps)
        text += std::string(NameOf(step.kind)) + " " + Escaped(step.from) + "\t" + Escaped(step.to) + "\n";
    text += "end\n";
    return tl::WriteHostFileAtomically(UpdateJournalFile(), text);
}

DWORD WriteJournalProgress(const JournalProgress& progress) {
    std::string text;
    switch (progress.state) {
    case JournalProgress::State::Steps:
        text = "done " + std::to_string(progress.stepsDone) + "\n";
        break;
    case JournalProgress::State::Done:
        text = "done all\n";
        break;
    case JournalProgress::State::Undone:
        text = "undone\n";
        break;
    }
    return tl::WriteHostFileAtomically(UpdateProgressFile(), text);
}

std::optional<UpdateJournal> ReadUpdateJournal(std::string& problem) {
    problem.clear();
    DWORD error = 0;
    const auto text = tl::ReadHostFile(UpdateJournalFile(), &error);
    if (!text) {
        if (error != win::ERROR_FILE_NOT_FOUND && error != win::ERROR_PATH_NOT_FOUND)
            problem = "cannot be read (error " + std::to_string(error) + ")";
        return std::nullopt;
    }
    std::istringstream lines(*text);
    std::string first;
    UpdateJournal journal;
    if (!std::getline(lines, first) || first != kFirstLine) {
        problem = "not a journal";
        return std::nullopt;
    }
    if (!ReadLines(lines, journal, problem))
        return std::nullopt;
    return journal;
}

JournalProgress ReadJournalProgress() {
    const auto text = tl::ReadHostFile(UpdateProgressFile());
    JournalProgress progress;
    if (!text)
        return progress;
    if (*text == "done all\n") {
        progress.state = JournalProgress::State::Done;
    } else if (*text == "undone\n") {
        progress.state = JournalProgress::State::Undone;
    } else if (text->starts_with("done ")) {
        progress.stepsDone = std::strtoull(text->c_str() + 5, nullptr, 10);
    }
    return progress;
}

int RemoveUpdateJournal() {
    std::error_code error;
    fs::remove(UpdateJournalFile(), error);
    if (error)
        return error.value();
    if (const int synced = tl::SyncFolder(UpdateJournalFolder()); synced != 0 && synced != ENOENT)
        return synced;
    fs::remove(UpdateProgressFile(), error);
    return error ? error.value() : 0;
}

std::optional<JournalLock> JournalLock::TryTake() {
    std::error_code error;
    fs::create_directories(UpdateJournalFolder(), error);
    tl::UniqueFd fd(::open(UpdateLockFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!fd || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return std::nullopt;
    return JournalLock(std::move(fd));
}
