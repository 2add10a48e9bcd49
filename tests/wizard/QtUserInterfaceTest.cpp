#include "wizard/QtUserInterface.h"

#include "app/CSetupSheet.h"
#include "platform/WinTypes.h"
#include "tests/support/TestMachine.h"
#include "tests/wizard/GuiTestSupport.h"
#include "wizard/CProgressDialog.h"
#include "wizard/CProgressThread.h"
#include "wizard/CSetupPage.h"
#include "wizard/CSetupSheetWindow.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <atomic>
#include <thread>

using namespace win;
using namespace guitest;

namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool onGuiThread = false;
};

// Answers the next message box with the button of that text and records what it showed.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QString answer)
        : answerer_([this, answer = std::move(answer)](QWidget* modal) {
              auto* box = qobject_cast<QMessageBox*>(modal);
              if (box == nullptr)
                  return false;
              SeenBox seen{
                  box->windowTitle(), box->text(), box->icon(), {}, {}, box->thread() == qApp->thread()};
              for (QAbstractButton* button : box->buttons())
                  seen.buttons << button->text().remove('&');
              if (box->defaultButton() != nullptr)
                  seen.defaultButton = box->defaultButton()->text().remove('&');
              seen.buttons.sort();
              boxes.push_back(seen);
              return ClickButton(box, answer);
          }) {}

    std::vector<SeenBox> boxes;

private:
    ModalAnswerer answerer_;
};

class QtSeam : public tltest::MachineTest {
protected:
    QtSeam() : previous(SetUserInterface(&ui)) {}
    ~QtSeam() override { SetUserInterface(previous); }

    QtUserInterface ui;
    UserInterface* previous;
};

} // namespace

TEST_F(QtSeam, MessageBoxesShowCaptionIconAndButtonsAndAnswerWithWindowsIds) {
    struct Case {
        unsigned style;
        const char* caption;
        const char* press;
        int answer;
        QMessageBox::Icon icon;
        QStringList buttons;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONSTOP, "", "OK", IDOK, QMessageBox::Critical, {"OK"}},
        {MB_YESNO | MB_ICONINFORMATION, "", "No", IDNO, QMessageBox::Information, {"No", "Yes"}},
        {MB_YESNO | MB_ICONQUESTION, "Attorney", "Yes", IDYES, QMessageBox::Question, {"No", "Yes"}},
        {MB_OKCANCEL | MB_ICONWARNING, "", "Cancel", IDCANCEL, QMessageBox::Warning, {"Cancel", "OK"}},
        {MB_YESNOCANCEL, "", "Cancel", IDCANCEL, QMessageBox::NoIcon, {"Cancel", "No", "Yes"}},
        {MB_RETRYCANCEL | MB_ICONSTOP, "", "Retry", IDRETRY, QMessageBox::Critical, {"Cancel", "Retry"}},
        {MB_ABORTRETRYIGNORE, "", "Ignore", IDIGNORE, QMessageBox::NoIcon, {"Abort", "Ignore", "Retry"}},
    };
    for (const Case& test : cases) {
        BoxAnswerer answerer(test.press);
        EXPECT_EQ(ui.MessageBox("Some text", test.caption, test.style), test.answer) << test.style;
        ASSERT_EQ(answerer.boxes.size(), 1u);
        const SeenBox& seen = answerer.boxes[0];
        EXPECT_EQ(seen.caption, *test.caption != '\0' ? QString(test.caption) : QString("Tallymar Setup"));
        EXPECT_EQ(seen.text, "Some text");
        EXPECT_EQ(seen.icon, test.icon) << test.style;
        EXPECT_EQ(seen.buttons, test.buttons) << test.style;
    }
    BoxAnswerer answerer("Yes");
    ui.MessageBox("Second is the default", "", MB_YESNO | MB_DEFBUTTON2);
    EXPECT_EQ(answerer.boxes.at(0).defaultButton, "No");
}

TEST_F(QtSeam, EngineThreadCallsCrossToTheGuiThreadAndWait) {
    BoxAnswerer answerer("Yes");
    std::atomic<int> answer = 0;
    std::thread engine([&] {
        ui.BeginWaitCursor();
        answer =
            ui.MessageBox("Do you want the setup program to create it?", "", MB_YESNO | MB_ICONINFORMATION);
        ui.ShowProgress("Tallymar Setup", "Opening databases");
    });
    ASSERT_TRUE(WaitFor([&] {
        return ui.ProgressThread() != nullptr && ui.ProgressThread()->Dialog() != nullptr &&
               ui.ProgressThread()->Dialog()->isVisible();
    }));
    engine.join();
    EXPECT_EQ(answer, IDYES);
    ASSERT_EQ(answerer.boxes.size(), 1u);
    EXPECT_TRUE(answerer.boxes[0].onGuiThread);
    EXPECT_EQ(ui.ProgressThread()->Dialog()->Text(), "Opening databases");
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.EndWaitCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui.StopProgressThread();
    EXPECT_EQ(ui.ProgressThread(), nullptr);
}

TEST_F(QtSeam, ShutdownReleasesAnEngineThreadWaitingForTheGui) {
    std::atomic<int> answer = 0;
    std::thread engine([&] { answer = ui.MessageBox("Nobody will answer", "", MB_YESNO); });
    // The GUI thread serves no events: the box is never shown, and Shutdown lets the engine go on.
    ui.Shutdown();
    engine.join();
    EXPECT_EQ(answer, IDCANCEL);
    QApplication::processEvents(); // the queued call is dropped, not shown
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtSeam, InstallWizardRunsModallyForTheEngineThread) {
    CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
    std::filesystem::create_directories(Host("C:\\Program Files\\Fenmore Software\\Tallymar"));
    std::vector<std::string> pages;
    int ticks = 0;
    // Drives the wizard page by page and answers its questions with Yes (and gives up after a while
    // rather than hang below the modal wizard).
    ModalAnswerer driver([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            return ClickButton(box, "Yes");
        auto* wizard = qobject_cast<CSetupSheetWindow*>(modal);
        if (wizard == nullptr)
            return false;
        if (++ticks > 300)
            return ClickButton(wizard, "Cancel");
        CSetupPage* page = wizard->GetActivePage();
        if (pages.empty() || pages.back() != page->objectName().toStdString())
            pages.push_back(page->objectName().toStdString());
        if (page->objectName() == "CWelcomePage")
            page->findChild<QRadioButton*>("radioSharedFilesHere")->click();
        if (page->objectName() == "CLicensePage")
            page->findChild<QRadioButton*>("radioAgree")->click();
        if (page->objectName() == "CFirmNamePage") {
            page->findChild<QLineEdit*>("firmNameEdit")->setText("Smith and Jones");
            page->findChild<QLineEdit*>("passwordEdit")->setText("secret12");
            page->findChild<QLineEdit*>("retypeEdit")->setText("secret12");
        }
        return ClickButton(wizard, "Next >") || ClickButton(wizard, "Finish");
    });
    std::atomic<int> result = 0;
    std::atomic<bool> done = false;
    std::thread engine([&] {
        result = ui.RunInstallWizard(sheet);
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }, 20000));
    engine.join();
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(pages.size(), 10u);
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesHere), 1);
    EXPECT_EQ(sheet.masterPassword, "secret12");
    EXPECT_EQ(sheet.homeDirectory, "C:\\Users\\Public\\Documents\\BankruptcyCases");
}

TEST_F(QtSeam, UpdateWizardRunsModallyForTheEngineThread) {
    CSetupSheet sheet(CSetupSheet::kUpdateCaptionId);
    sheet.installDirectory = "C:\\Tallymar";
    sheet.installType = 0;
    sheet.manifestObjects.push_back(std::make_unique<XCurrentVersion>());
    std::vector<std::string> pages;
    ModalAnswerer driver([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            return ClickButton(box, "Yes");
        auto* wizard = qobject_cast<CSetupSheetWindow*>(modal);
        if (wizard == nullptr)
            return false;
        const std::string page = wizard->GetActivePage()->objectName().toStdString();
        if (pages.empty() || pages.back() != page)
            pages.push_back(page);
        return pages.size() > 5 ? ClickButton(wizard, "Cancel")
                                : ClickButton(wizard, "Next >") || ClickButton(wizard, "Finish");
    });
    std::atomic<int> result = 0;
    std::thread engine([&] { result = ui.RunUpdateWizard(sheet); });
    ASSERT_TRUE(WaitFor([&] { return result.load() != 0; }, 20000));
    engine.join();
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(pages, (std::vector<std::string>{"CUpdateWelcomePage", "CStatePage", "CUpdateListPage"}));
}
