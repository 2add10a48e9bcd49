#include "unattended/RunUnattended.h"

#include "app/UserInterface.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "platform/UniqueFd.h"
#include "platform/WindowsPath.h"
#include "unattended/AnswerFile.h"
#include "unattended/AnswerFileUserInterface.h"
#include "unattended/AnswerValues.h"
#include "unattended/ExitCodes.h"
#include "update/DuplicateRunCheck.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The update's last box when everything worked; without it the update reports failure only in
// its log ("Update complete - failure"), and the run's result is the same either way.
constexpr char kUpdateSucceeded[] = "Your copy of Tallymar is now up to date";
constexpr std::size_t kLargestAnswerFile = 1024 * 1024;

void Say(std::FILE* err, const std::string& text) {
    std::fprintf(err, "tlinstall: %s\n", text.c_str());
}

// Reads the file through one descriptor, so that the mode checked is that of the text read.
bool ReadAnswerFile(const std::string& path, std::string& text, mode_t& mode, std::string& error) {
    const tl::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!fd || ::fstat(fd.get(), &status) != 0) {
        error = tl::Format("cannot read the answer file %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    if (!S_ISREG(status.st_mode) || status.st_size > static_cast<off_t>(kLargestAnswerFile)) {
        error = tl::Format("the answer file %s is not a text file of at most 1 MiB", path.c_str());
        return false;
    }
    mode = status.st_mode;
    text.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd.get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = tl::Format("cannot read the answer file %s: %s", path.c_str(),
                               got < 0 ? std::strerror(errno) : "it became shorter while it was read");
            tl::WipeString(text);
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// Reads standard input, which holds passwords: unbuffered, so the stream keeps no copy, and grown
// by hand, so no storage is released before it is wiped.
std::string ReadPasswordText(std::FILE* in) {
    std::setvbuf(in, nullptr, _IONBF, 0);
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in)) > 0;) {
        if (text.size() + got > text.capacity()) {
            std::string larger;
            larger.reserve(2 * (text.size() + got));
            larger = text;
            tl::WipeString(text);
            text.swap(larger);
        }
        text.append(chunk, got);
    }
    std::memset(chunk, 0xCC, sizeof chunk);
    return text;
}

bool ReportErrors(std::FILE* err, const std::vector<std::string>& errors) {
    for (const std::string& error : errors)
        Say(err, error);
    return errors.empty();
}

// Reads and checks everything the run needs before anything runs.
int LoadAnswers(const CommandLine& commandLine, std::FILE* in, std::FILE* err, AnswerFile& answers) {
    std::string text;
    mode_t mode = 0;
    std::string error;
    if (!ReadAnswerFile(commandLine.answerFile, text, mode, error)) {
        Say(err, error);
        return kExitBadAnswers;
    }
    const bool read = answers.Read(text, commandLine.answerFile);
    tl::WipeString(text);
    if (!ReportErrors(err, answers.Errors()))
        return kExitBadAnswers;
    if (read && answers.HoldsPassword() && (mode & (S_IRWXG | S_IRWXO)) != 0) {
        Say(err, tl::Format("the answer file %s holds a password but others may read it (mode %04o); make it "
                            "readable by its owner only (chmod 600 %s) or give the passwords with "
                            "--password-stdin",
                            commandLine.answerFile.c_str(), static_cast<unsigned>(mode & 07777),
                            commandLine.answerFile.c_str()));
        return kExitBadAnswers;
    }
    if (commandLine.passwordStdin) {
        std::string passwords = ReadPasswordText(in);
        answers.ReadPasswords(passwords, "standard input");
        tl::WipeString(passwords);
        if (!ReportErrors(err, answers.Errors()))
            return kExitBadAnswers;
    }
    std::vector<std::string> errors;
    if (!ValidateAnswers(answers, commandLine.answerFile, errors)) {
        ReportErrors(err, errors);
        return kExitBadAnswers;
    }
    return kExitDone;
}

std::string InstallLogPath() {
    std::string documents;
    if (!win::SHGetSpecialFolderPath(win::CSIDL_PERSONAL, documents, false))
        return "(no documents folder)";
    const auto host = tl::MapToHostPath(documents + "\\TallymarInstallLog.txt");
    return host ? host->string() : documents + "\\TallymarInstallLog.txt";
}

int ExitStatus(const CSetupApp& app, const AnswerFileUserInterface& ui) {
    if (ui.Showed(kProductRunningMessage))
        return kExitProductRunning;
    switch (ui.GetVerdict()) {
    case AnswerFileUserInterface::Verdict::BadAnswer:
        return kExitBadAnswers;
    case AnswerFileUserInterface::Verdict::Cancelled:
        return kExitCancelled;
    case AnswerFileUserInterface::Verdict::StepFailed:
        return kExitStepFailed;
    case AnswerFileUserInterface::Verdict::None:
        break;
    }
    if (app.ModeResult() == 0)
        return kExitStepFailed;
    if (app.ChosenMode() == CSetupApp::Mode::Update && !ui.Showed(kUpdateSucceeded))
        return kExitStepFailed;
    return kExitDone;
}

const char* Outcome(int status, bool update) {
    switch (status) {
    case kExitDone:
        return update ? "Tallymar is up to date" : "Tallymar is installed";
    case kExitBadAnswers:
        return "stopped at a refused answer";
    case kExitCancelled:
        return "stopped: an answer ended the run";
    case kExitProductRunning:
        return "Tallymar is running on this computer: close it, then run tlinstall again";
    default:
        return update ? "the update failed; the install log says which step"
                      : "the installation failed; the install "
                        "log says which step";
    }
}

/// Installs the user interface for the run and restores the previous one however the run ends.
class ScopedUserInterface {
public:
    explicit ScopedUserInterface(UserInterface& ui) : previous_(SetUserInterface(&ui)) {}
    ScopedUserInterface(const ScopedUserInterface&) = delete;
    ScopedUserInterface& operator=(const ScopedUserInterface&) = delete;
    ~ScopedUserInterface() { SetUserInterface(previous_); }

private:
    UserInterface* previous_;
};

} // namespace

int RunUnattended(const CommandLine& commandLine, CSetupApp::ModeEntry runFullInstall,
                  CSetupApp::ModeEntry runUpdate, std::FILE* in, std::FILE* err) {
    AnswerFile answers;
    if (const int status = LoadAnswers(commandLine, in, err, answers); status != kExitDone)
        return status;
    AnswerFileUserInterface ui(answers, commandLine.answerFile, err);
    CSetupApp app(std::move(runFullInstall), std::move(runUpdate));
    {
        ScopedUserInterface installed(ui);
        app.InitInstance();
    }
    const int status = ExitStatus(app, ui);
    Say(err, tl::Format("%s (exit status %d); the install log is %s",
                        Outcome(status, app.ChosenMode() == CSetupApp::Mode::Update), status,
                        InstallLogPath().c_str()));
    return status;
}
