#include "app/ProfileSettings.h"
#include "platform/WinTypes.h"
#include "tests/wizard/WizardFixture.h"
#include "wizard/CFolderBrowser.h"
#include "wizard/CUpdateListPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QTreeWidget>
#include <filesystem>

using namespace win;
using namespace guitest;
namespace fs = std::filesystem;

namespace {

constexpr char kUpdateExitQuestion[] =
    "If you exit now from the wizard, your copy of Tallymar will not be updated. Do you want to exit?";

class UpdatePages : public UpdateWizardTest {
protected:
    static void SetDatabaseLevel(int level) {
        win::RegKey key;
        ASSERT_EQ(GetSectionKey(key), 0);
        win::RegSetDword(key, "DatabaseLevel", static_cast<DWORD>(level));
    }

    // The list's rows, each as "name|description|remarks".
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        const QTreeWidget* list = Control<QTreeWidget>("updateList");
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            rows.push_back((item->text(0) + "|" + item->text(1) + "|" + item->text(2)).toStdString());
        }
        return rows;
    }

    std::vector<QString> Walk() {
        std::vector<QString> visited{Active()};
        while (NextEnabled()) {
            Next();
            visited.push_back(Active());
        }
        return visited;
    }
};

} // namespace

TEST_F(UpdatePages, WithoutSettingsTheFolderAndTypeAreAskedAndStored) {
    AddRelease();
    fs::remove(Host(std::string(kInstalled) + "\\Tallymar.exe"));
    sheet.sharedUpdatesNeeded = 1;
    Open();
    EXPECT_EQ(window->windowTitle(), "Tallymar Update Wizard");
    EXPECT_EQ(Control<QLabel>("welcomeTitle")->font().pointSize(), 12);
    Next();
    ASSERT_EQ(Active(), "CInstallDirectoryPage");
    EXPECT_EQ(Find<QLabel>(window.get(), "headerTitle")->text(), "Installation Directory");
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), kInstalled);
    Next();
    EXPECT_EQ(Active(), "CInstallDirectoryPage") << "no Tallymar.exe there";
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "The directory you specified doesn't contain the Tallymar executable files.");
    EXPECT_EQ(ui.Messages()[0].style, MB_ICONERROR);
    WriteFile(Host(std::string(kInstalled) + "\\Tallymar.exe"), "program");
    Next();
    ASSERT_EQ(Active(), "CInstallTypePage");
    EXPECT_TRUE(Control<QRadioButton>("radioThisComputerOnly")->isChecked()) << "an answer is always given";
    Control<QRadioButton>("radioSharedFilesElsewhere")->click();
    Next();
    ASSERT_EQ(Active(), "CStatePage");
    EXPECT_EQ(window->windowTitle(), "Tallymar Setup Wizard") << "the shared page keeps its caption";
    Next();
    ASSERT_EQ(Active(), "CSharedUpdatesPage");
    EXPECT_FALSE(Control<QCheckBox>("applySharedUpdatesCheck")->isChecked());
    Control<QCheckBox>("applySharedUpdatesCheck")->click();
    Next();
    ASSERT_EQ(Active(), "CUpdateListPage");
    Button("finishButton")->click();
    EXPECT_EQ(window->Result(), ID_WIZFINISH);
    EXPECT_EQ(sheet.installDirectory, kInstalled);
    EXPECT_EQ(sheet.installType, 2);
    EXPECT_EQ(sheet.GetChoice(kChoiceApplySharedUpdates), 1);
}

TEST_F(UpdatePages, WithBothSettingsOnlyWelcomeStatesSharedUpdatesWhenNeededAndTheList) {
    AddRelease();
    sheet.installDirectory = kInstalled;
    const std::pair<int, int> cases[] = {{0, 1}, {1, 1}, {2, 0}};
    for (const auto& [type, needed] : cases) {
        SCOPED_TRACE(type);
        sheet.installType = type;
        sheet.sharedUpdatesNeeded = needed;
        Open();
        EXPECT_EQ(Walk(), (std::vector<QString>{"CUpdateWelcomePage", "CStatePage", "CUpdateListPage"}));
    }
    sheet.sharedUpdatesNeeded = 1;
    Open();
    EXPECT_EQ(Walk(), (std::vector<QString>{"CUpdateWelcomePage", "CStatePage", "CSharedUpdatesPage",
                                            "CUpdateListPage"}));
}

TEST_F(UpdatePages, TheListShowsEveryKindOfRowAndIsRebuiltEachTimeItIsShown) {
    AddRelease();
    sheet.installDirectory = kInstalled;
    sheet.installType = 0;
    SetDatabaseLevel(14);
    Open();
    Next();
    Next();
    ASSERT_EQ(Active(), "CUpdateListPage");
    const QTreeWidget* list = Control<QTreeWidget>("updateList");
    EXPECT_EQ(list->headerItem()->text(0), "Filename");
    EXPECT_EQ(list->headerItem()->text(1), "Description");
    EXPECT_EQ(list->headerItem()->text(2), "Remarks");
    EXPECT_EQ(list->columnWidth(0), 100);
    EXPECT_EQ(list->columnWidth(1), 300);
    EXPECT_EQ(list->columnWidth(2), 1000);
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"Tallymar.exe|Tallymar program|Faster search for cases",
                                        "TLMNEW.DLL|Means test calculations|New in this release",
                                        "TLMOLD.DLL|Obsolete - will be deleted|Replaced by TLMNEW.DLL",
                                        "Tallymar.chm|Help|Chapter 13 plan help"}));
    EXPECT_TRUE(Control<QLabel>("databaseNote")->isVisible());
    EXPECT_TRUE(Button("finishButton")->isVisible());

    Back();
    fs::remove(Host(std::string(kInstalled) + "\\TLMOLD.DLL")); // nothing left to delete
    Next();
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Rows().back(), "Tallymar.chm|Help|Chapter 13 plan help");
}

TEST_F(UpdatePages, AnUpToDateInstallationShowsNoneAndNoDatabaseNote) {
    sheet.manifestObjects.push_back(std::make_unique<XCurrentVersion>());
    sheet.manifestObjects.front()->DatabaseLevel = 15;
    SetDatabaseLevel(15);
    sheet.installDirectory = kInstalled;
    sheet.installType = 1;
    Open();
    Next();
    Next();
    ASSERT_EQ(Active(), "CUpdateListPage");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"(None)|Your copy of Tallymar is up to date|"}));
    EXPECT_FALSE(Control<QLabel>("databaseNote")->isVisible());
}

TEST_F(UpdatePages, CancelAsksTheUpdateQuestionExceptOnTheSharedStatePage) {
    AddRelease();
    Open();
    Button("cancelButton")->click(); // answered No
    EXPECT_EQ(Active(), "CUpdateWelcomePage");
    WriteFile(Host(std::string(kInstalled) + "\\Tallymar.exe"), "program");
    Next();
    Next();
    Next();
    ASSERT_EQ(Active(), "CStatePage");
    Button("cancelButton")->click();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].text, kUpdateExitQuestion);
    EXPECT_EQ(ui.Messages()[1].text,
              "If you exit now from the wizard, you will not be able to use Tallymar on "
              "this computer. Do you want to exit?");
    EXPECT_EQ(ui.Messages()[1].style, MB_YESNO | MB_ICONQUESTION);
    Next();
    ui.QueueAnswer(IDYES);
    Button("cancelButton")->click();
    EXPECT_EQ(ui.Messages().back().text, kUpdateExitQuestion);
    EXPECT_EQ(window->Result(), IDCANCEL);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(UpdatePages, BrowsingStartsAtTheNearestFolderThatExists) {
    fs::create_directories(Host("C:\\Program Files\\Fenmore Software"));
    Open();
    Next();
    std::string selectedOnOpening;
    ModalAnswerer browse([&](QWidget* modal) {
        auto* browser = qobject_cast<CFolderBrowser*>(modal);
        if (browser == nullptr)
            return false;
        EXPECT_EQ(Find<QLabel>(browser, "browseTitle")->text(), "Tallymar Installation Directory");
        selectedOnOpening = Find<QLineEdit>(browser, "folderEdit")->text().toStdString();
        TypeInto(Find<QLineEdit>(browser, "folderEdit"), "C:\\Tallymar");
        Find<QPushButton>(browser, "okButton")->click();
        return true;
    });
    Control<QPushButton>("browseButton")->click();
    EXPECT_EQ(selectedOnOpening, "C:\\Program Files\\Fenmore Software");
    EXPECT_EQ(Control<QLineEdit>("pathEdit")->text(), "C:\\Tallymar");
}
