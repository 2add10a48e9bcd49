#pragma once

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "tests/support/TestMachine.h"
#include "tests/wizard/GuiTestSupport.h"
#include "wizard/CSetupPage.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/InstallWizard.h"

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

/// The installation wizard on a fresh machine, shown without a modal loop so the test drives it
/// button by button; messages are answered by the scripted user interface.
class InstallWizardTest : public tltest::MachineTest {
protected:
    InstallWizardTest() : sheet(CSetupSheet::kInstallCaptionId) {}

    void Open() {
        window = std::make_unique<CSetupSheetWindow>(sheet);
        AddInstallPages(*window);
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

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet;
    std::unique_ptr<CSetupSheetWindow> window;
};

} // namespace guitest
