#include "unattended/InstallAnswers.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "install/FindMasterComputer.h"
#include "install/FirmNameCheck.h"
#include "install/HomeDirectoryCheck.h"
#include "install/InstallDirectoryCheck.h"
#include "install/InstallType.h"
#include "install/StateModules.h"
#include "platform/Format.h"
#include "platform/TextUtil.h"
#include "platform/WinTypes.h"
#include "resources/StringTable.h"
#include "unattended/AnswerFileUserInterface.h"
#include "unattended/AnswerValues.h"
#include "unattended/PageAnswers.h"

#include <algorithm>

namespace {

constexpr const char* kInstallTypeNames[] = {"this computer only",
                                             "a network whose shared files are kept on this computer",
                                             "a network whose shared files are kept on a different computer"};

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

// Replaces a secret of the sheet, wiping what it held.
void StoreSecret(std::string& target, const std::string& value) {
    tl::WipeString(target);
    target = value;
}

/// The pages in their order; each returns false when its answer was refused or ended the run.
struct InstallPages {
    CSetupSheet& sheet;
    AnswerFileUserInterface& ui;
    PageAnswers answers;
    int installType = kInstallThisComputerOnly;

    bool Welcome() {
        installType = answers.InstallType("InstallType", kInstallThisComputerOnly);
        sheet.SetChoice(kChoiceThisComputerOnly, installType == kInstallThisComputerOnly);
        sheet.SetChoice(kChoiceSharedFilesHere, installType == kInstallSharedFilesHere);
        sheet.SetChoice(kChoiceSharedFilesElsewhere, installType == kInstallSharedFilesElsewhere);
        ui.PrintPage("Setup type", tl::Format("%d, %s", installType, kInstallTypeNames[installType]));
        return true;
    }

    // Next without agreeing presses Cancel, which asks whether to leave setup; either answer
    // ends an unattended run, which cannot agree later.
    bool Licence() {
        const bool understand = installType == kInstallSharedFilesElsewhere;
        if (answers.YesNo("AcceptLicense", false)) {
            ui.PrintPage(tl::LoadString(IDS_LICENSE_TITLE), understand ? "I understand" : "I agree");
            return true;
        }
        ui.PrintPage(tl::LoadString(IDS_LICENSE_TITLE), understand ? "I don't understand" : "I don't agree");
        const int answer =
            AppMessageBox(tl::LoadString(IDS_CONFIRM_EXIT_SETUP), win::MB_YESNO | win::MB_ICONQUESTION);
        ui.Cancel(tl::Format("%s: the licence agreement was not accepted, so setup %s",
                             answers.Where("AcceptLicense").c_str(),
                             answer == win::IDYES ? "ends here" : "cannot go on"));
        return false;
    }

    bool FirmName() {
        static const std::string kNone;
        const std::string firmName = answers.Text("FirmName", "");
        const Answer* password = answers.Get("MasterPassword");
        const std::string& master = password != nullptr ? password->value : kNone;
        switch (CheckFirmName(firmName, master, master)) {
        case FirmNameProblem::None:
            break;
        case FirmNameProblem::EmptyFirmName:
            ui.Refuse(answers.Where("FirmName"), "the firm name must not be empty");
            return false;
        case FirmNameProblem::PasswordTooShort:
            ui.Refuse(answers.Where("MasterPassword"),
                      tl::Format("the master password must have at least %zu characters",
                                 kMinimumMasterPasswordLength));
            return false;
        case FirmNameProblem::PasswordLongerThanFirmName:
            ui.Refuse(answers.Where("MasterPassword"),
                      tl::Format("the master password must not be longer than the firm name (%zu characters)",
                                 CharacterCount(firmName)));
            return false;
        case FirmNameProblem::RetypeDiffers: // one answer is its own retype
            return false;
        }
        sheet.firmName = firmName;
        StoreSecret(sheet.masterPassword, master);
        ui.PrintPage(tl::LoadString(IDS_FIRM_TITLE), "firm name \"" + firmName + "\", master password given");
        return true;
    }

    // A blank password is allowed: those users then log in with the master password.
    bool UserPassword(const char* key, std::string& target, unsigned titleId) {
        static const std::string kBlank;
        const Answer* password = answers.Get(key);
        StoreSecret(target, password != nullptr ? password->value : kBlank);
        ui.PrintPage(tl::LoadString(titleId), target.empty() ? "blank" : "given");
        return true;
    }

    bool InstallDirectory() {
        const std::string path = answers.Text("InstallDirectory", DefaultInstallDirectory());
        InstallDirectoryCheck check;
        if (!ui.RunCheck(answers.Where("InstallDirectory"), [&] { return check.Run(path); }))
            return false;
        sheet.installDirectory = path;
        ui.PrintPage(tl::LoadString(IDS_INSTALL_DIR_TITLE), path);
        return true;
    }

    // Without an answer the page's proposal: a local folder, or the folder found on the network.
    std::string ProposedHomeDirectory() const {
        std::string path;
        bool sharedFilesHere = true;
        FindMasterComputer(sheet, path, sharedFilesHere);
        return path;
    }

    bool RefuseIncomplete(const HomeDirectoryAnswers& home) {
        if (home.path.empty()) {
            ui.Refuse(answers.Where("HomeDirectory"),
                      installType == kInstallSharedFilesElsewhere
                          ? "no computer of the network holds the shared files: name the home directory of "
                            "the main computer"
                          : "the home directory must not be empty");
        } else if (home.shareName.empty()) {
            ui.Refuse(answers.Where("ShareName"), "the share name must not be empty");
        } else {
            ui.Refuse(answers.Where("NetworkUserName"), "the network user name must not be empty");
        }
        return false;
    }

    bool HomeDirectory() {
        const HomeDirectoryAnswers home{
            answers.Has("HomeDirectory") ? answers.Text("HomeDirectory", "") : ProposedHomeDirectory(),
            answers.Text("ShareName", kDefaultShareName),
            answers.Text("NetworkUserName", kDefaultNetworkUserName), installType};
        if (!IsComplete(home))
            return RefuseIncomplete(home);
        // The share name's own messages name the share name; every other one the folder.
        const std::string shareTaken = tl::LoadString(IDS_SHARE_NAME_TAKEN);
        const auto where = [&](std::string_view message) {
            const bool aboutShare = message == tl::LoadString(IDS_SHARE_NAME_CHARACTERS) ||
                                    message.starts_with(shareTaken.substr(0, shareTaken.find('%')));
            return answers.Where(aboutShare ? "ShareName" : "HomeDirectory");
        };
        HomeDirectoryCheck check;
        if (!ui.RunCheck(where, [&] { return check.Run(home); }))
            return false;
        sheet.homeDirectory = home.path;
        sheet.shareName = home.shareName;
        sheet.networkUserName = home.userName;
        ui.PrintPage(tl::LoadString(IDS_HOME_DIR_TITLE),
                     installType == kInstallSharedFilesElsewhere
                         ? home.path
                         : tl::Format("%s, shared as %s, network user %s", home.path.c_str(),
                                      home.shareName.c_str(), home.userName.c_str()));
        return true;
    }

    bool AttorneySetup() {
        const bool now = answers.YesNo("SetupAttorneysNow", true);
        sheet.SetChoice(kChoiceSetupAttorneysNow, now);
        ui.PrintPage(tl::LoadString(IDS_ATTORNEY_SETUP_TITLE), now ? "now" : "later");
        return true;
    }

    bool States() {
        const std::vector<std::string> codes = StateModuleCodes(sheet.manifestObjects);
        const std::vector<std::string> wanted = SplitStates(answers.Text("States", ""));
        for (const std::string& state : wanted) {
            if (std::none_of(codes.begin(), codes.end(),
                             [&](const std::string& code) { return tl::EqualsNoCase(code, state); })) {
                ui.Refuse(answers.Where("States"),
                          codes.empty() ? "the release has no state practice modules"
                                        : tl::Format("the release has no practice module for %s; it has %s",
                                                     state.c_str(), Join(codes).c_str()));
                return false;
            }
        }
        // The tree's order, whatever the order of the answer.
        sheet.states.clear();
        for (const std::string& code : codes) {
            if (std::any_of(wanted.begin(), wanted.end(),
                            [&](const std::string& state) { return tl::EqualsNoCase(code, state); }))
                sheet.states.push_back(code);
        }
        ui.PrintPage(tl::LoadString(IDS_STATES_TITLE), sheet.states.empty() ? "none" : Join(sheet.states));
        return true;
    }

    bool Run() {
        if (!Welcome() || !Licence())
            return false;
        const bool sharedFilesHere = installType != kInstallSharedFilesElsewhere;
        if (sharedFilesHere &&
            (!FirmName() ||
             !UserPassword("AttorneyPassword", sheet.attorneyPassword, IDS_ATTORNEY_PASSWORD_TITLE) ||
             !UserPassword("StaffPassword", sheet.staffPassword, IDS_STAFF_PASSWORD_TITLE)))
            return false;
        if (!InstallDirectory() || !HomeDirectory())
            return false;
        if (sharedFilesHere && !AttorneySetup())
            return false;
        if (!States())
            return false;
        ui.PrintPage(tl::LoadString(IDS_FINISH_TITLE), "Finish");
        return true;
    }
};

} // namespace

int AnswerInstallWizard(CSetupSheet& sheet, AnswerFileUserInterface& ui) {
    InstallPages pages{sheet, ui, PageAnswers(ui, AnswerSection::Kind::Install)};
    return pages.Run() ? win::ID_WIZFINISH : win::IDCANCEL;
}
