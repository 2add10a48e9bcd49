#include "tests/wizard/ScreenshotSupport.h"
#include "tests/wizard/WizardFixture.h"
#include "wizard/CCheckTreeCtrl.h"
#include "wizard/CProgressDialog.h"
#include "wizard/CProgressThread.h"
#include "wizard/CWelcomePage.h"
#include "wizard/GuiDispatcher.h"

#include <QFontDatabase>
#include <QLabel>
#include <filesystem>

using namespace guitest;
namespace fs = std::filesystem;

namespace {

QString Save(QWidget* widget, const QString& name) {
    return SaveScreenshot(widget, SCREENSHOT_FOLDER, name);
}

class Screenshots : public InstallWizardTest {};
class UpdateScreenshots : public UpdateWizardTest {};

} // namespace

TEST_F(Screenshots, EveryPageAndTheProgressWindowWithRealText) {
    ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts: install fonts-dejavu-core";
    ExpectRealGlyphs(QApplication::font());
    ExpectRealGlyphs(CWelcomePage::TitleFont());
    EXPECT_TRUE(QFontInfo(CWelcomePage::TitleFont()).bold());

    AddStateModules(sheet, {"AZ", "CA", "FL", "NY", "TX"});
    fs::create_directories(Host("C:\\Program Files\\Fenmore Software\\Tallymar"));
    Open();
    std::vector<QString> files;
    const char* names[] = {"01-welcome",        "02-licence",
                           "03-firm-name",      "04-attorney-password",
                           "05-staff-password", "06-install-directory",
                           "07-home-directory", "08-attorney-setup",
                           "09-state-modules",  "10-finish"};
    for (int page = 0; page < 10; ++page) {
        ASSERT_EQ(window->GetActiveIndex(), page);
        if (page == 0)
            Control<QRadioButton>("radioSharedFilesHere")->click();
        if (page == 1)
            Control<QRadioButton>("radioAgree")->click();
        if (page == 2)
            FillFirmPage("Smith and Jones", "secret12");
        if (page == 8) {
            auto* tree = Control<CCheckTreeCtrl>("stateTree");
            tree->SetCheck(tree->topLevelItem(1), true);
            tree->SetCheck(tree->topLevelItem(4), true);
        }
        files.push_back(Save(window.get(), names[page]));
        ui.QueueAnswer(win::IDYES);
        if (page < 9)
            Next();
    }
    EXPECT_GT(ColourCount(files[0]), 100) << "the watermark and the text";
    EXPECT_GT(ColourCount(files[6]), 20);

    GuiDispatcher dispatcher(QCoreApplication::instance());
    CProgressThread progress(dispatcher);
    ASSERT_TRUE(progress.CreateThread());
    progress.ShowProgress("Tallymar Setup", "Searching for master computer...");
    progress.Dialog()->StepIt();
    progress.Dialog()->StepIt();
    progress.Dialog()->StepIt();
    const QString file = Save(progress.Dialog(), "11-progress");
    EXPECT_GT(ColourCount(file), 5);
    progress.StopProgressThread();
}

TEST_F(UpdateScreenshots, EveryUpdatePageWithRowsOfEveryKind) {
    AddRelease();
    sheet.sharedUpdatesNeeded = 1;
    Open();
    const char* names[] = {"12-update-welcome",       "13-update-install-directory", "14-update-install-type",
                           "15-update-state-modules", "16-update-shared-updates",    "17-update-list"};
    std::vector<QString> files;
    for (int page = 0; page < 6; ++page) {
        ASSERT_EQ(window->GetActiveIndex(), page);
        if (page == 2)
            Control<QRadioButton>("radioSharedFilesElsewhere")->click();
        if (page == 4)
            Control<QAbstractButton>("applySharedUpdatesCheck")->click();
        files.push_back(Save(window.get(), names[page]));
        if (page < 5)
            Next();
    }
    EXPECT_GT(ColourCount(files[0]), 100) << "the watermark and the text";
    EXPECT_GT(ColourCount(files[5]), 20) << "the list's rows";
}
