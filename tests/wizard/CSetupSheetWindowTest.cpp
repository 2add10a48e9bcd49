#include "wizard/CSetupSheetWindow.h"

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "platform/WinTypes.h"
#include "tests/wizard/GuiTestSupport.h"
#include "wizard/CSetupPage.h"

#include <QLabel>
#include <QPushButton>

using namespace win;
using guitest::Find;

namespace {

// A page whose applicability the test switches, counting its activations.
class StubPage : public CSetupPage {
public:
    StubPage(CSetupSheetWindow& sheet, const char* name, bool interior)
        : CSetupPage(sheet, 1, interior ? IDS_FIRM_TITLE : 0, interior ? IDS_FIRM_SUBTITLE : 0) {
        setObjectName(name);
    }
    void OnInitDialog() override { ++initialisations; }
    bool OnSetActive() override {
        ++activations;
        return CSetupPage::OnSetActive();
    }
    bool IsApplicable() override { return applicable; }

    bool applicable = true;
    int initialisations = 0;
    int activations = 0;
};

class SheetWindow : public ::testing::Test {
protected:
    SheetWindow() : sheet(CSetupSheet::kInstallCaptionId), window(sheet) {
        const char* names[] = {"first", "second", "third", "fourth", "last"};
        for (int index = 0; index < 5; ++index) {
            pages.push_back(new StubPage(window, names[index], index > 0));
            window.AddPage(pages.back());
        }
        window.show();
        window.SetActivePage(0);
    }

    QString Active() const { return window.GetActivePage()->objectName(); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(&window, name); }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet;
    CSetupSheetWindow window;
    std::vector<StubPage*> pages;
};

} // namespace

TEST_F(SheetWindow, InapplicablePagesAreNeverShownEitherWay) {
    pages[1]->applicable = false;
    pages[2]->applicable = false;
    Button("nextButton")->click();
    EXPECT_EQ(Active(), "fourth");
    pages[1]->applicable = true; // asked again on every move
    Button("backButton")->click();
    EXPECT_EQ(Active(), "second");
    Button("backButton")->click();
    EXPECT_EQ(Active(), "first");
    EXPECT_EQ(pages[2]->activations, 0);
    EXPECT_EQ(pages[2]->initialisations, 0);
    EXPECT_EQ(pages[1]->initialisations, 1);
}

TEST_F(SheetWindow, ButtonsFollowThePositionAmongAllPagesAdded) {
    EXPECT_FALSE(Button("backButton")->isEnabled());
    EXPECT_TRUE(Button("nextButton")->isEnabled());
    EXPECT_TRUE(Button("finishButton")->isHidden());
    window.SetActivePage(4);
    EXPECT_TRUE(Button("backButton")->isEnabled());
    EXPECT_TRUE(Button("nextButton")->isHidden());
    EXPECT_TRUE(Button("finishButton")->isEnabled());
}

TEST_F(SheetWindow, NextBeforeAnInapplicableLastPageStaysWhereItIs) {
    pages[4]->applicable = false;
    window.SetActivePage(3);
    EXPECT_TRUE(Button("nextButton")->isVisible())
        << "Next, not Finish: the fourth page is not the last added";
    Button("nextButton")->click();
    EXPECT_EQ(Active(), "fourth");
    EXPECT_EQ(pages[4]->activations, 0);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(SheetWindow, CancelAsksThePagesQuestionAndOnlyYesCloses) {
    window.SetActivePage(2);
    Button("cancelButton")->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Active(), "third");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "If you exit now from the wizard, you will not be able to use Tallymar on this "
              "computer. Do you want to exit?");
    EXPECT_EQ(ui.Messages()[0].caption, "Tallymar Setup");
    EXPECT_EQ(ui.Messages()[0].style & MB_TYPEMASK, MB_YESNO);

    pages[2]->SetCancelConfirmationId(IDS_CONFIRM_EXIT_UPDATE);
    ui.QueueAnswer(IDYES);
    window.reject(); // Escape and the close button take the same way
    EXPECT_EQ(ui.Messages().back().text, "If you exit now from the wizard, your copy of Tallymar will not be "
                                         "updated. Do you want to exit?");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Result(), IDCANCEL);
}

TEST_F(SheetWindow, ExteriorPagesShowTheWatermarkAndInteriorPagesTheHeader) {
    EXPECT_TRUE(Find<QLabel>(&window, "watermark")->isVisible());
    EXPECT_FALSE(Find<QWidget>(&window, "headerBand")->isVisible());
    EXPECT_EQ(window.windowTitle(), "Tallymar Setup Wizard");
    window.SetActivePage(1);
    EXPECT_FALSE(Find<QLabel>(&window, "watermark")->isVisible());
    EXPECT_TRUE(Find<QWidget>(&window, "headerBand")->isVisible());
    EXPECT_EQ(Find<QLabel>(&window, "headerTitle")->text(), "User name and master password");
    EXPECT_EQ(Find<QLabel>(&window, "headerSubtitle")->text(),
              "Enter the user name and password for encrypting client data");
    EXPECT_FALSE(Find<QLabel>(&window, "headerPicture")->pixmap().isNull());
    EXPECT_FALSE(Find<QLabel>(&window, "watermark")->pixmap().isNull());
}

TEST_F(SheetWindow, PressButtonActsAfterTheCurrentEventAndNotOnDisabledButtons) {
    window.PressButton(CSetupSheetWindow::PSBTN_NEXT);
    EXPECT_EQ(Active(), "first") << "posted, not sent";
    ASSERT_TRUE(guitest::WaitFor([&] { return Active() == "second"; }));
    window.SetWizardButtons(PSWIZB_BACK);
    window.PressButton(CSetupSheetWindow::PSBTN_NEXT);
    QApplication::processEvents();
    EXPECT_EQ(Active(), "second");
}

TEST(SheetWindowModal, DoModalEndsWithFinishOrCancel) {
    ScopedScriptedUserInterface ui;
    CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
    {
        CSetupSheetWindow window(sheet);
        window.AddPage(new StubPage(window, "only", true));
        guitest::ModalAnswerer finish([](QWidget* modal) { return guitest::ClickButton(modal, "Finish"); });
        EXPECT_EQ(window.DoModal(), ID_WIZFINISH);
    }
    {
        CSetupSheetWindow window(sheet);
        window.AddPage(new StubPage(window, "first", false));
        window.AddPage(new StubPage(window, "second", true));
        ui.QueueAnswer(IDYES);
        guitest::ModalAnswerer cancel([](QWidget* modal) { return guitest::ClickButton(modal, "Cancel"); });
        EXPECT_EQ(window.DoModal(), IDCANCEL);
    }
}
