#pragma once

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "tests/support/TestMachine.h"
#include "tests/wizard/GuiTestSupport.h"
#include "wizard/CSetupPage.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/InstallWizard.h"
#include "wizard/UpdateWizard.h"

#include <QPushButton>
#include <QRadioButton>
#include <memory>

namespace guitest {

/// A manifest offering the given state modules (a module and a support file each).
inline void AddStateModules(CSetupSheet& sheet, const std::vector<std::string>& states) {
    auto manifest = std::make_unique<XCurrentVersion>();
    auto program = std::make_unique<XModule>();
    program->Name = "Tallymar.exe";
    program->Flags = FlagInstallIfAbsent;
    manifest->Modules.push_back(std::move(program));
    for (const std::string& state : states) {
        auto module = std::make_unique<XModule>();
        module->Name = "tlm" + state + ".dll";
        module->State = state;
        module->Flags = FlagStateModule;
        manifest->Modules.push_back(std::move(module));
        auto file = std::make_unique<XSupportFile>();
        file->Name = state + "exemptions.xml";
        file->State = state;
        file->Flags = FlagStateModule;
        manifest->SupportFiles.push_back(std::move(file));
    }
    sheet.manifestObjects.push_back(std::move(manifest));
}

/// A wizard on a fresh machine, shown without a modal loop so the test drives it button by
/// button; messages are answered by the scripted user interface.
class WizardTest : public tltest::MachineTest {
protected:
    explicit WizardTest(unsigned captionId) : sheet(captionId) {}

    void OpenWith(void (*addPages)(CSetupSheetWindow&)) {
        window = std::make_unique<CSetupSheetWindow>(sheet);
        addPages(*window);
        window->show();
        window->SetActivePage(0);
    }

    CSetupPage* Page() const { return window->GetActivePage(); }
    QString Active() const { return Page()->objectName(); }

    template <class T>
    T* Control(const char* name) const {
        return Find<T>(Page(), name);
    }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(window.get(), name); }
    bool NextEnabled() const {
        return Button("nextButton")->isVisible() && Button("nextButton")->isEnabled();
    }

    void Next() {
        ASSERT_TRUE(NextEnabled()) << "Next is disabled on " << Active().toStdString();
        Button("nextButton")->click();
    }
    void Back() { Button("backButton")->click(); }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet;
    std::unique_ptr<CSetupSheetWindow> window;
};

/// The installation wizard.
class InstallWizardTest : public WizardTest {
protected:
    InstallWizardTest() : WizardTest(CSetupSheet::kInstallCaptionId) {}

    void Open() { OpenWith(AddInstallPages); }

    /// Selects the install type on the welcome page (which must be active) and goes on.
    void ChooseInstallType(int type) {
        const char* radios[] = {"radioThisComputerOnly", "radioSharedFilesHere", "radioSharedFilesElsewhere"};
        Control<QRadioButton>(radios[type])->click();
        Next();
    }
    void AgreeAndGoOn() {
        Control<QRadioButton>("radioAgree")->click();
        Next();
    }
    void FillFirmPage(const QString& firm, const QString& password) {
        TypeInto(Control<QLineEdit>("firmNameEdit"), firm);
        TypeInto(Control<QLineEdit>("passwordEdit"), password);
        TypeInto(Control<QLineEdit>("retypeEdit"), password);
    }
};

/// The update wizard on an installation in the default folders, before the settings are read:
/// no install directory and no install type known unless a test sets them.
class UpdateWizardTest : public WizardTest {
protected:
    static constexpr char kInstalled[] = "C:\\Program Files\\Fenmore Software\\Tallymar";

    UpdateWizardTest() : WizardTest(CSetupSheet::kUpdateCaptionId) {
        sheet.homeDirectory = "C:\\TallymarData";
        sheet.installType = -1;
    }

    void Open() { OpenWith(AddUpdatePages); }

    /// A release at database level 15 with a row of each kind for the installation: Tallymar.exe
    /// to replace, TLMNEW.DLL and Tallymar.chm to install, TLMOLD.DLL to delete; and a state module.
    void AddRelease() {
        auto manifest = std::make_unique<XCurrentVersion>();
        manifest->DatabaseLevel = 15;
        const auto module = [&](const char* name, std::int32_t flags, const char* description,
                                const char* remarks, const char* state = "") {
            auto entry = std::make_unique<XModule>();
            entry->Name = name;
            entry->Flags = flags;
            entry->Description = description;
            entry->Remarks = remarks;
            entry->State = state;
            manifest->Modules.push_back(std::move(entry));
        };
        module("Tallymar.exe", FlagAlwaysReplace, "Tallymar program", "Faster search for cases");
        module("TLMNEW.DLL", FlagInstallIfAbsent, "Means test calculations", "New in this release");
        module("TLMOLD.DLL", FlagObsolete, "Old means test", "Replaced by TLMNEW.DLL");
        module("tlmtx.dll", FlagStateModule, "Texas practice module", "", "TX");
        auto help = std::make_unique<XSupportFile>();
        help->Name = "Tallymar.chm";
        help->Flags = FlagInstallIfAbsent;
        help->Description = "Help";
        help->Remarks = "Chapter 13 plan help";
        EXPECT_TRUE(help->Date.FromParts(4, 18, 2006));
        help->Time = "14:00:00";
        manifest->SupportFiles.push_back(std::move(help));
        sheet.manifestObjects.push_back(std::move(manifest));
        WriteFile(Host(std::string(kInstalled) + "\\Tallymar.exe"), "program");
        WriteFile(Host(std::string(kInstalled) + "\\TLMOLD.DLL"), "old");
    }
};

} // namespace guitest
