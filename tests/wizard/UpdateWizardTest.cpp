// The update as a user goes through it: tlinstall's start-up on an engine thread after a first
// installation, the real update wizard on the GUI thread against a changed release on the loopback
// interface, the list page left and shown again, the work behind the progress window and the final
// message.
#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "platform/PathHelpers.h"
#include "tests/update/UpdateRunTestBase.h"
#include "tests/wizard/GuiTestSupport.h"
#include "update/RunUpdate.h"
#include "wizard/CSetupPage.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/QtUserInterface.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <atomic>
#include <cstdlib>
#include <gmock/gmock.h>
#include <thread>

using namespace guitest;
using ::testing::ElementsAre;

namespace {

class UpdateWizard : public tltest::UpdateRunTest {
protected:
    UpdateWizard() { ::setenv("TALLYMAR_FILE_SERVER", server.BaseUrl().c_str(), 1); }
    ~UpdateWizard() override {
        ::unsetenv("TALLYMAR_FILE_SERVER");
        qt.Shutdown();
        if (engine.joinable())
            engine.join();
        qt.StopProgressThread();
        if (previous_ != nullptr)
            SetUserInterface(previous_);
    }

    void UseQt() { previous_ = SetUserInterface(&qt); }

    static std::vector<std::string> Rows(CSetupSheetWindow* window) {
        std::vector<std::string> rows;
        const auto* list = Find<QTreeWidget>(window->GetActivePage(), "updateList");
        for (int row = 0; list != nullptr && row < list->topLevelItemCount(); ++row)
            rows.push_back(
                (list->topLevelItem(row)->text(0) + "|" + list->topLevelItem(row)->text(1)).toStdString());
        return rows;
    }

    // Welcome, states, the list; back to the states and on to the list again; Finish.
    void GoThrough(CSetupSheetWindow* window) {
        const auto press = [window](const char* button) {
            Find<QPushButton>(window, button)->click();
            QApplication::processEvents();
        };
        pages.push_back(window->GetActivePage()->objectName());
        for (const char* button : {"nextButton", "nextButton", "backButton", "nextButton"}) {
            if (pages.back() == "CUpdateListPage")
                listings.push_back(Rows(window));
            press(button);
            pages.push_back(window->GetActivePage()->objectName());
        }
        listings.push_back(Rows(window));
        press("finishButton");
    }

    QtUserInterface qt;
    std::thread engine;
    std::vector<QString> pages;
    std::vector<std::vector<std::string>> listings;

private:
    UserInterface* previous_ = nullptr;
};

} // namespace

TEST_F(UpdateWizard, RunsFromTheWelcomePageToTheFinalMessage) {
    InstallFirst();
    NewVersion("Tallymar.exe", "1.0.0.2");
    File("Legacy.dll").flags = 0x20;
    modules.push_back({"tlmMeans.dll", 0x02, "means test module", "", "", "", false});
    Publish();
    UseQt();
    QString finalMessage;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (auto* window = qobject_cast<CSetupSheetWindow*>(modal)) {
            GoThrough(window);
            return true;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr)
            return false;
        finalMessage = box->text();
        return ClickButton(box, "OK");
    });

    std::atomic<bool> done = false;
    CSetupApp app(RunFullInstall, RunUpdate);
    engine = std::thread([&] {
        app.InitInstance();
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }, 60000));
    engine.join();

    EXPECT_EQ(app.ChosenMode(), CSetupApp::Mode::Update);
    EXPECT_EQ(app.ModeResult(), 1);
    EXPECT_THAT(pages, ElementsAre("CUpdateWelcomePage", "CStatePage", "CUpdateListPage", "CStatePage",
                                   "CUpdateListPage"));
    const std::vector<std::string> rows = {
        "Tallymar.exe|Tallymar.exe", "Legacy.dll|Obsolete - will be deleted", "tlmMeans.dll|tlmMeans.dll"};
    EXPECT_THAT(listings, ElementsAre(rows, rows)) << "built again, not added to";
    EXPECT_EQ(finalMessage, "Your copy of Tallymar is now up to date");
    EXPECT_EQ(ReadFile(Host(std::string(kInstallDirectory) + "\\Tallymar.exe")),
              File("Tallymar.exe").content);
    EXPECT_FALSE(tl::PathExists(std::string(kInstallDirectory) + "\\Legacy.dll"));
    EXPECT_TRUE(tl::PathExists(std::string(kInstallDirectory) + "\\tlmMeans.dll"));
    EXPECT_EQ(UpdateLogLines().back(), "Update complete - success");
}
