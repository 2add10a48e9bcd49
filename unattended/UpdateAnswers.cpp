#include "unattended/UpdateAnswers.h"

#include "app/CSetupSheet.h"
#include "app/ProfileSettings.h"
#include "app/UserInterface.h"
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
#include "update/PreviousInstallDirectory.h"
#include "update/UpdateList.h"
#include "update/UpgradeDatabases.h"

#include <algorithm>

namespace {

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text.empty() ? "none" : text;
}

bool Contains(const std::vector<std::string>& list, const std::string& item) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& entry) { return tl::EqualsNoCase(entry, item); });
}

struct UpdatePages {
    CSetupSheet& sheet;
    AnswerFileUserInterface& ui;
    PageAnswers answers;

    bool InstallDirectory() {
        const std::string path = answers.Text("InstallDirectory", DefaultInstallDirectory());
        const auto check = [&path] {
            if (HoldsTallymarProgram(path))
                return true;
            AppMessageBox(tl::LoadString(IDS_NO_EXECUTABLES), win::MB_ICONERROR);
            return false;
        };
        if (!ui.RunCheck(answers.Where("InstallDirectory"), check))
            return false;
        sheet.installDirectory = path;
        ui.PrintPage(tl::LoadString(IDS_UPDATE_INSTALL_DIR_TITLE), path);
        return true;
    }

    bool InstallType() {
        sheet.installType = answers.InstallType("InstallType", kInstallThisComputerOnly);
        ui.PrintPage(tl::LoadString(IDS_INSTALL_TYPE_TITLE), std::to_string(sheet.installType));
        return true;
    }

    // Without an answer the states whose modules are installed stay chosen, as the page checks them.
    bool States() {
        const std::vector<std::string> codes = StateModuleCodes(sheet.manifestObjects);
        std::vector<std::string> chosen;
        if (answers.Has("States")) {
            chosen = SplitStates(answers.Text("States", ""));
            for (const std::string& state : chosen) {
                if (!Contains(codes, state)) {
                    ui.Refuse(answers.Where("States"),
                              codes.empty()
                                  ? "the release has no state practice modules"
                                  : tl::Format("the release has no practice module for %s; it has %s",
                                               state.c_str(), Join(codes).c_str()));
                    return false;
                }
            }
        }
        sheet.states.clear();
        for (const std::string& code : codes) {
            const bool checked = answers.Has("States")
                                     ? Contains(chosen, code)
                                     : IsStateModuleInstalled(*sheet.manifestObjects.front(), code,
                                                              sheet.installDirectory, sheet.homeDirectory);
            if (checked)
                sheet.states.push_back(code);
        }
        ui.PrintPage(tl::LoadString(IDS_UPDATE_STATES_TITLE), Join(sheet.states));
        return true;
    }

    void SharedUpdates() {
        if (sheet.installType != kInstallSharedFilesElsewhere || sheet.sharedUpdatesNeeded == 0)
            return;
        const bool now = answers.YesNo("ApplySharedUpdates", false);
        sheet.SetChoice(kChoiceApplySharedUpdates, now ? 1 : 0);
        ui.PrintPage(tl::LoadString(IDS_SHARED_UPDATES_TITLE), now ? "now" : "not now");
    }

    void UpdateList() {
        BuildUpdateList(sheet);
        const std::string title = tl::LoadString(IDS_FINISH_TITLE);
        if (theUpdateList.empty())
            ui.PrintPage(title, "Your copy of Tallymar is up to date");
        for (const UpdateItem& item : theUpdateList) {
            const bool obsolete = (item.Flags & FlagObsolete) != 0;
            std::string row =
                item.Name + " - " + (obsolete ? std::string("Obsolete - will be deleted") : item.Description);
            if (!item.Remarks.empty())
                row += " - " + item.Remarks;
            ui.PrintPage(title, row);
        }
        if (GetProfileInt("DatabaseLevel", 0) < TargetDatabaseLevel(sheet))
            ui.PrintPage(title, tl::Format("the shared databases are brought up to level %d",
                                           TargetDatabaseLevel(sheet)));
    }

    bool Run() {
        if (sheet.installDirectory.empty() && !InstallDirectory())
            return false;
        if (sheet.installType < 0 && !InstallType())
            return false;
        if (!States())
            return false;
        SharedUpdates();
        UpdateList();
        return true;
    }
};

} // namespace

int AnswerUpdateWizard(CSetupSheet& sheet, AnswerFileUserInterface& ui) {
    UpdatePages pages{sheet, ui, PageAnswers(ui, AnswerSection::Kind::Update)};
    return pages.Run() ? win::ID_WIZFINISH : win::IDCANCEL;
}
