#include "platform/LocalShares.h"
#include "platform/WinTypes.h"
#include "tests/wizard/WizardFixture.h"
#include "wizard/CCheckTreeCtrl.h"
#include "wizard/CFirmNamePage.h"
#include "wizard/CFolderBrowser.h"
#include "wizard/CStatePage.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <filesystem>

using namespace win;
using namespace guitest;
namespace fs = std::filesystem;

namespace {

constexpr char kExitQuestion[] = "If you exit now from the wizard, you will not be able to use Tallymar on "
                                 "this computer. Do you want to exit?";

class InstallPages : public InstallWizardTest {
protected:
    /// A main computer on the network whose share holds the four databases.
    void AddMainComputer(const std::string& computer = "MAIN", const std::string& share = "Cases") {
        const fs::path folder = machine().NetworkFolder() / computer / share;
        for (const char* database :
             {"TallymarPlaces.mdb", "Tallymar.mdb", "CreditorNames.mdb", "MeansTest.mdb"})
            WriteFile(folder / database, "db");
    }

    /// Walks from the welcome page to the home-directory page of a this-computer installation.
    void GoToHomePage(int installType = 0) {
        ChooseInstallType(installType);
        AgreeAndGoOn();
        if (installType != 2) {
            FillFirmPage("Smith and Jones", "secret12");
            Next();
            Next();
            Next();
        }
        fs::create_directories(Host("C:\\Program Files\\Fenmore Software\\Tallymar"));
        Next();
        ASSERT_EQ(Active(), "CHomeDirPage");
    }
};

} // namespace

TEST_F(InstallPages, ThisComputerOnlyFillsEveryAnswer) {
    AddStateModules(sheet, {"TX", "CA", "ny"});
    Open();
    EXPECT_FALSE(Button("backButton")->isEnabled());
    ChooseInstallType(0);
    EXPECT_EQ(Active(), "CLicensePage");
    EXPECT_FALSE(Control<QPlainTextEdit>("licenseText")->toPlainText().isEmpty());
    EXPECT_TRUE(Control<QPlainTextEdit>("licenseText")->isReadOnly());
    EXPECT_EQ(Control<QRadioButton>("radioAgree")->text(), "I agree");
    EXPECT_EQ(Control<QRadioButton>("radioDisagree")->text(), "I don't agree");
    AgreeAndGoOn();
    FillFirmPage("Smith and Jones", "Secret123");
    Next();
    TypeInto(Control<QLineEdit>("passwordEdit"), "counsel");
    TypeInto(Control<QLineEdit>("retypeEdit"), "counsel");
    Next();
    Next(); // a blank staff password is allowed
    EXPECT_EQ(Active(), "CInstallDirPage");
    EXPECT_EQ(Control<QLabel>("promptLabel")->text(),
              "Select the folder where Setup should install the Tallymar executable files.");
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "C:\\Program Files\\Fenmore Software\\Tallymar");
    ui.QueueAnswer(IDYES);
    Next();
    EXPECT_EQ(Active(), "CHomeDirPage");
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "C:\\Users\\Public\\Documents\\BankruptcyCases");
    EXPECT_EQ(
        Control<QLabel>("promptLabel")->text(),
        "Select the folder where Tallymar will keep its databases and all other information about cases "
        "and clients.");
    ui.QueueAnswer(IDYES);
    Next();
    EXPECT_EQ(Active(), "CAttorneySetupPage");
    EXPECT_TRUE(Control<QCheckBox>("setupAttorneysCheck")->isChecked());
    Next();
    auto* tree = Control<CCheckTreeCtrl>("stateTree");
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    tree->Toggle(tree->topLevelItem(2));
    tree->Toggle(tree->topLevelItem(1));
    Next();
    EXPECT_EQ(Active(), "CFinishPage");
    EXPECT_TRUE(Button("finishButton")->isVisible());
    Button("finishButton")->click();
    EXPECT_EQ(window->Result(), ID_WIZFINISH);

    EXPECT_EQ(sheet.GetChoice(kChoiceThisComputerOnly), 1);
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesHere), 0);
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesElsewhere), 0);
    EXPECT_EQ(sheet.GetChoice(kChoiceSetupAttorneysNow), 1);
    EXPECT_EQ(sheet.firmName, "Smith and Jones");
    EXPECT_EQ(sheet.masterPassword, "Secret123");
    EXPECT_EQ(sheet.attorneyPassword, "counsel");
    EXPECT_EQ(sheet.staffPassword, "");
    EXPECT_EQ(sheet.installDirectory, "C:\\Program Files\\Fenmore Software\\Tallymar");
    EXPECT_EQ(sheet.homeDirectory, "C:\\Users\\Public\\Documents\\BankruptcyCases");
    EXPECT_EQ(sheet.shareName, "BankruptcyCases");
    EXPECT_EQ(sheet.networkUserName, "TallymarUser");
    EXPECT_EQ(sheet.states, (std::vector<std::string>{"ny", "TX"})) << "tree order";
    EXPECT_EQ(ui.MessageTexts().size(), 2u);
    EXPECT_TRUE(ui.ProgressEvents().empty()) << "no network search for this computer only";
    EXPECT_FALSE(fs::exists(Host("C:\\Users\\Public\\Documents\\BankruptcyCases")))
        << "nothing is installed yet";
}

TEST_F(InstallPages, SharedFilesElsewhereShowsPagesOneTwoSixSevenNineAndTen) {
    AddMainComputer();
    AddStateModules(sheet, {"TX"});
    Open();
    std::vector<QString> visited{Active()};
    Control<QRadioButton>("radioSharedFilesElsewhere")->click();
    Next();
    visited.push_back(Active());
    EXPECT_EQ(Control<QRadioButton>("radioAgree")->text(), "I understand");
    EXPECT_EQ(Control<QRadioButton>("radioDisagree")->text(), "I don't understand");
    AgreeAndGoOn();
    visited.push_back(Active());
    fs::create_directories(Host("C:\\Program Files\\Fenmore Software\\Tallymar"));
    Next();
    visited.push_back(Active());
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "\\\\MAIN\\Cases") << "found on the network";
    EXPECT_EQ(Control<QLabel>("promptLabel")->text(),
              "Select the same folder you specified as the Home Directory on the main computer. ");
    EXPECT_FALSE(Control<QLineEdit>("shareNameEdit")->isVisible());
    EXPECT_FALSE(Control<QLineEdit>("userNameEdit")->isVisible());
    EXPECT_FALSE(Control<QLabel>("shareExplanation")->isVisible());
    Next();
    visited.push_back(Active());
    Next();
    visited.push_back(Active());
    EXPECT_EQ(visited, (std::vector<QString>{"CWelcomePage", "CLicensePage", "CInstallDirPage",
                                             "CHomeDirPage", "CStatePage", "CFinishPage"}));
    std::vector<QString> backwards;
    for (int step = 0; step < 5; ++step) {
        Back();
        backwards.push_back(Active());
    }
    EXPECT_EQ(backwards, (std::vector<QString>{"CStatePage", "CHomeDirPage", "CInstallDirPage",
                                               "CLicensePage", "CWelcomePage"}));
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesElsewhere), 1);
    EXPECT_EQ(sheet.homeDirectory, "\\\\MAIN\\Cases");
    EXPECT_EQ(ui.ProgressEvents(),
              (std::vector<std::string>{"show:Tallymar Setup|Searching for master computer...", "hide"}));
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(InstallPages, SevenCharacterFirmNameIsNeverAccepted) {
    Open();
    ChooseInstallType(0);
    AgreeAndGoOn();
    ASSERT_EQ(Active(), "CFirmNamePage");
    EXPECT_FALSE(NextEnabled()) << "empty on arrival";
    const QString passwords[] = {"", "a", "abcdefg", "abcdefgh", "abcdefghi", "abcdefghijkl"};
    for (const QString& password : passwords) {
        FillFirmPage("Abcdefg", password);
        EXPECT_FALSE(NextEnabled()) << password.toStdString();
        EXPECT_FALSE(CFirmNamePage::IsAcceptable("Abcdefg", password, password));
    }
    FillFirmPage("Abcdefgh", "abcdefgh");
    EXPECT_TRUE(NextEnabled());
    TypeInto(Control<QLineEdit>("retypeEdit"), "ABCDEFGH");
    EXPECT_FALSE(NextEnabled()) << "the retyped password is compared exactly";
    EXPECT_FALSE(CFirmNamePage::IsAcceptable("", "abcdefgh", "abcdefgh"));
    EXPECT_TRUE(CFirmNamePage::IsAcceptable("A longer firm name", "abcdefgh", "abcdefgh"));
    EXPECT_TRUE(Button("backButton")->isEnabled());
}

TEST_F(InstallPages, PasswordsAreMaskedWithAsterisks) {
    Open();
    ChooseInstallType(0);
    AgreeAndGoOn();
    FillFirmPage("Smith and Jones", "secret12");
    for (int page = 0; page < 3; ++page) {
        for (const char* name : {"passwordEdit", "retypeEdit"}) {
            auto* edit = Control<QLineEdit>(name);
            TypeInto(edit, "secret12");
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            EXPECT_EQ(edit->displayText(), "********") << Active().toStdString();
        }
        Next();
    }
    EXPECT_EQ(Active(), "CInstallDirPage");
}

TEST_F(InstallPages, UserPasswordsMayBeBlankButMustMatch) {
    Open();
    ChooseInstallType(1);
    AgreeAndGoOn();
    FillFirmPage("Smith and Jones", "secret12");
    Next();
    for (const char* page : {"CAttorneyPasswordPage", "CStaffPasswordPage"}) {
        ASSERT_EQ(Active(), page);
        EXPECT_TRUE(NextEnabled()) << "two empty boxes are equal";
        TypeInto(Control<QLineEdit>("passwordEdit"), "x");
        EXPECT_FALSE(NextEnabled());
        TypeInto(Control<QLineEdit>("retypeEdit"), "x");
        EXPECT_TRUE(NextEnabled());
        Next();
    }
    EXPECT_EQ(sheet.attorneyPassword, "x");
    EXPECT_EQ(sheet.staffPassword, "x");
}

TEST_F(InstallPages, NextOnTheLicenceWithoutAgreeingAsksToExitAndNoStays) {
    Open();
    ChooseInstallType(0);
    ASSERT_TRUE(NextEnabled()) << "Next is offered on arrival";
    Next();
    ASSERT_TRUE(WaitFor([&] { return !ui.Messages().empty(); }));
    EXPECT_EQ(ui.Messages()[0].text, kExitQuestion);
    EXPECT_EQ(Active(), "CLicensePage");
    EXPECT_TRUE(window->isVisible());

    Control<QRadioButton>("radioAgree")->click();
    EXPECT_TRUE(NextEnabled());
    Control<QRadioButton>("radioDisagree")->click();
    EXPECT_FALSE(NextEnabled()) << "clicking a choice re-evaluates Next";

    QTest::keyClick(window.get(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(ui.Messages().size(), 1u) << "Enter does not press a disabled Next";

    // Coming back to the page offers Next again; pressed while disagreeing it asks once more,
    // and Yes ends the wizard.
    Back();
    Next();
    ASSERT_TRUE(NextEnabled());
    ui.QueueAnswer(IDYES);
    Next();
    ASSERT_TRUE(WaitFor([&] { return !window->isVisible(); }));
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kExitQuestion, kExitQuestion}));
    EXPECT_EQ(window->Result(), IDCANCEL);
}

TEST_F(InstallPages, CancelThenNoKeepsEveryAnswer) {
    Open();
    ChooseInstallType(1);
    AgreeAndGoOn();
    FillFirmPage("Smith and Jones", "secret12");
    Next();
    TypeInto(Control<QLineEdit>("passwordEdit"), "counsel");
    TypeInto(Control<QLineEdit>("retypeEdit"), "counsel");
    Button("cancelButton")->click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kExitQuestion}));
    EXPECT_EQ(Active(), "CAttorneyPasswordPage");
    EXPECT_EQ(Control<QLineEdit>("passwordEdit")->text(), "counsel");
    EXPECT_TRUE(NextEnabled());
    Back();
    EXPECT_EQ(Control<QLineEdit>("firmNameEdit")->text(), "Smith and Jones");
    EXPECT_EQ(sheet.firmName, "Smith and Jones");
    EXPECT_EQ(sheet.masterPassword, "secret12");
    EXPECT_EQ(sheet.GetChoice(kChoiceSharedFilesHere), 1);
    Back();
    Back();
    EXPECT_TRUE(Control<QRadioButton>("radioSharedFilesHere")->isChecked());
}

TEST_F(InstallPages, SwitchingFromTypeTwoBackToZeroRestoresTheLocalDefault) {
    AddMainComputer();
    Open();
    GoToHomePage(2);
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "\\\\MAIN\\Cases");
    Back();
    Back();
    Back();
    ASSERT_EQ(Active(), "CWelcomePage");
    GoToHomePage(0);
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "C:\\Users\\Public\\Documents\\BankruptcyCases");
    EXPECT_TRUE(Control<QLineEdit>("shareNameEdit")->isVisible());

    // A typed path is the user's: switching the type keeps it.
    TypeInto(Control<QLineEdit>("pathEdit"), "C:\\MyCases");
    for (int step = 0; step < 6; ++step)
        Back();
    ASSERT_EQ(Active(), "CWelcomePage");
    GoToHomePage(2);
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "C:\\MyCases");
    EXPECT_EQ(ui.ProgressEvents().size(), 2u) << "searched once, on the first visit";
}

TEST_F(InstallPages, HomeDirectorySpacesLocalDriveAndShareConflict) {
    ASSERT_EQ(tl::AddLocalShare({"BankruptcyCases", "C:\\Old Cases", ""}), NERR_Success);
    fs::create_directories(Host("C:\\Cases"));
    Open();
    GoToHomePage(1);
    EXPECT_EQ(Control<QLabel>("promptLabel")->text().left(20), "Select the folder wh");
    EXPECT_NE(Control<QLabel>("promptLabel")->text().indexOf("\\\\server\\sharename"), -1);
    auto* path = Control<QLineEdit>("pathEdit");
    TypeInto(path, "C:\\Bankruptcy Cases");
    Next();
    TypeInto(path, " C:\\Cases");
    Next();
    TypeInto(path, "C:\\Cases");
    Next();
    EXPECT_EQ(
        ui.MessageTexts(),
        (std::vector<std::string>{"The home directory name must not contain any space characters",
                                  "The home directory must be a location on a local hard drive",
                                  "The specified network share name (BankruptcyCases) already exists as the "
                                  "name of a different folder (C:\\Old Cases) on this computer."}));
    for (const auto& message : ui.Messages())
        EXPECT_EQ(message.style, MB_OK | MB_ICONSTOP);
    EXPECT_EQ(Active(), "CHomeDirPage");
    EXPECT_EQ(path->text(), "C:\\Cases") << "input stays";

    TypeInto(Control<QLineEdit>("shareNameEdit"), "");
    EXPECT_FALSE(NextEnabled());
    TypeInto(Control<QLineEdit>("shareNameEdit"), "Cases");
    EXPECT_TRUE(NextEnabled());
    TypeInto(Control<QLineEdit>("userNameEdit"), "");
    EXPECT_FALSE(NextEnabled());
    TypeInto(Control<QLineEdit>("userNameEdit"), "CasesUser");
    ui.QueueAnswer(IDYES);
    Next();
    EXPECT_EQ(ui.Messages().back().text,
              "Do you want the setup program to share 'C:\\Cases' on the network as "
              "'Cases' and to give user 'CasesUser' full control over it?");
    EXPECT_EQ(Active(), "CAttorneySetupPage");
    EXPECT_EQ(sheet.shareName, "Cases");
    EXPECT_EQ(sheet.networkUserName, "CasesUser");

    // Back and Next again: the Yes is remembered.
    Back();
    Next();
    EXPECT_EQ(ui.Messages().size(), 4u);
}

TEST_F(InstallPages, TypingAPathEnablesNextWhenTheSearchFoundNothing) {
    Open();
    GoToHomePage(2);
    auto* path = Control<QLineEdit>("pathEdit");
    EXPECT_TRUE(path->text().isEmpty());
    EXPECT_FALSE(NextEnabled());
    TypeInto(path, "\\\\MAIN\\Cases");
    EXPECT_TRUE(NextEnabled());
    Next();
    EXPECT_EQ(ui.Messages().back().text.substr(0, 56),
              "The home directory you specified does not appear to cont");
    AddMainComputer();
    Next();
    EXPECT_EQ(Active(), "CStatePage");
}

TEST_F(InstallPages, InstallDirectoryMustBeOnALocalHardDrive) {
    machine().AddDrive('N', DRIVE_REMOTE);
    Open();
    GoToHomePage(0);
    Back();
    auto* path = Control<QLineEdit>("pathEdit");
    TypeInto(path, "N:\\Tallymar");
    Next();
    EXPECT_EQ(ui.Messages().back().text,
              "The installation directory must be a location on a local hard drive");
    EXPECT_EQ(Active(), "CInstallDirPage");
    TypeInto(path, "C:\\Tallymar");
    Next(); // the creation question, answered No by default
    EXPECT_EQ(ui.Messages().back().text,
              "'C:\\Tallymar' does not exist. Do you want the setup program to create it?");
    EXPECT_EQ(ui.Messages().back().style, MB_YESNO | MB_ICONINFORMATION);
    EXPECT_EQ(Active(), "CInstallDirPage");
}

TEST_F(InstallPages, BrowsingTheHomeDirectoryCountsAsChosenByHand) {
    AddMainComputer("MAIN", "Cases");
    AddMainComputer("OTHER", "Data");
    Open();
    GoToHomePage(2);
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "\\\\MAIN\\Cases");
    std::string selectedOnOpening;
    ModalAnswerer browse([&](QWidget* modal) {
        auto* browser = qobject_cast<CFolderBrowser*>(modal);
        if (browser == nullptr)
            return false;
        EXPECT_EQ(Find<QLabel>(browser, "browseTitle")->text(), "Tallymar Home Directory");
        selectedOnOpening = Find<QLineEdit>(browser, "folderEdit")->text().toStdString();
        TypeInto(Find<QLineEdit>(browser, "folderEdit"), "\\\\OTHER\\Data");
        Find<QPushButton>(browser, "okButton")->click();
        return true;
    });
    Control<QPushButton>("browseButton")->click();
    EXPECT_EQ(selectedOnOpening, "\\\\MAIN\\Cases");
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "\\\\OTHER\\Data");
    Back();
    Back();
    Back();
    GoToHomePage(0);
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "\\\\OTHER\\Data") << "a browsed path is kept";
}

TEST_F(InstallPages, StatePageListsEveryStateModuleOnceInOrder) {
    AddStateModules(sheet, {"tx", "AZ", "TX", "ca"});
    Open();
    window->SetActivePage(8);
    auto* tree = Control<CCheckTreeCtrl>("stateTree");
    std::vector<QString> items;
    for (int index = 0; index < tree->topLevelItemCount(); ++index)
        items.push_back(tree->topLevelItem(index)->text(0));
    EXPECT_EQ(items, (std::vector<QString>{"AZ", "ca", "tx"}));
    EXPECT_EQ(tree->CheckedCount(), 0);
    EXPECT_EQ(Control<QLabel>("stateExplanation")->text(),
              "The following list includes all states for which Tallymar supplies a practice module.");
    sheet.states = {"stale"};
    Next();
    EXPECT_TRUE(sheet.states.empty()) << "no state is required";
}

TEST_F(InstallPages, StatePageOfTheUpdateWizardChecksInstalledStates) {
    CSetupSheet update(CSetupSheet::kUpdateCaptionId);
    AddStateModules(update, {"CA", "TX"});
    update.installDirectory = "C:\\Tallymar";
    WriteFile(Host("C:\\Tallymar\\tlmCA.dll"), "x");
    WriteFile(Host("C:\\Tallymar\\CAexemptions.xml"), "x");
    CSetupSheetWindow updateWindow(update);
    auto* page = new CStatePage(updateWindow);
    updateWindow.AddPage(page);
    updateWindow.SetActivePage(0);
    EXPECT_EQ(Find<QLabel>(&updateWindow, "headerTitle")->text(), "State practice modules");
    EXPECT_EQ(page->CancelConfirmationId(), IDS_CONFIRM_EXIT_SETUP);
    auto* tree = page->Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_TRUE(tree->IsChecked(tree->topLevelItem(0)));
    EXPECT_FALSE(tree->IsChecked(tree->topLevelItem(1)));
    EXPECT_EQ(tree->CheckedCount(), 1);
    EXPECT_NE(Find<QLabel>(page, "stateExplanation")->text().indexOf("currently installed"), -1);
}

TEST_F(InstallPages, EmptyManifestLeavesTheStateListEmpty) {
    Open();
    window->SetActivePage(8);
    EXPECT_EQ(Control<CCheckTreeCtrl>("stateTree")->topLevelItemCount(), 0);
}
