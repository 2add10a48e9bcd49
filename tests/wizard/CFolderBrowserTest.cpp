#include "wizard/CFolderBrowser.h"

#include "platform/LocalShares.h"
#include "platform/WinTypes.h"
#include "tests/support/TestMachine.h"
#include "tests/wizard/GuiTestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

using namespace guitest;
namespace fs = std::filesystem;

namespace {

class FolderBrowser : public tltest::MachineTest {
protected:
    static QStringList Children(const QTreeWidgetItem* item) {
        QStringList texts;
        for (int index = 0; index < item->childCount(); ++index)
            texts << item->child(index)->text(0);
        return texts;
    }
    static QString Selected(const CFolderBrowser& browser) {
        const QTreeWidgetItem* item = browser.Tree()->currentItem();
        return item == nullptr ? QString() : item->data(0, CFolderBrowser::PathRole).toString();
    }
};

} // namespace

TEST_F(FolderBrowser, MyComputerShowsTheDrivesAndPreselectsTheLongestExistingPart) {
    machine().AddDrive('N', win::DRIVE_REMOTE);
    fs::create_directories(Host("C:\\Data\\Alpha"));
    fs::create_directories(Host("C:\\Data\\beta"));
    CFolderBrowser browser(nullptr, CFolderBrowser::Root::MyComputer, "Tallymar Installation Directory");
    EXPECT_EQ(browser.windowTitle(), "Browse For Folder");
    EXPECT_EQ(Find<QLabel>(&browser, "browseTitle")->text(), "Tallymar Installation Directory");
    EXPECT_EQ(browser.SetInitialSelection("C:\\data\\Alpha\\Missing\\Deeper"), "C:\\Data\\Alpha");
    EXPECT_EQ(Selected(browser), "C:\\Data\\Alpha");
    const QTreeWidgetItem* root = browser.Tree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), "My Computer");
    EXPECT_EQ(Children(root), (QStringList{"Local Disk (C:)", "Network Drive (N:)"}));
    EXPECT_EQ(Children(root->child(0)->child(0)), (QStringList{"Alpha", "beta"})) << "C:\\Data, sorted";
    EXPECT_EQ(Find<QLineEdit>(&browser, "folderEdit")->text(), "C:\\Data\\Alpha");
    EXPECT_EQ(browser.ChosenPath(), "C:\\Data\\Alpha");
}

TEST_F(FolderBrowser, NothingIsPreselectedWhenNoPartExists) {
    CFolderBrowser browser(nullptr, CFolderBrowser::Root::MyComputer, "Tallymar Installation Directory");
    EXPECT_EQ(browser.SetInitialSelection("Q:\\Nowhere"), "");
    EXPECT_EQ(Selected(browser), "");
    EXPECT_FALSE(Find<QPushButton>(&browser, "okButton")->isEnabled());
    EXPECT_EQ(browser.SetInitialSelection("C:\\Nowhere"), "C:\\") << "the drive exists";
}

TEST_F(FolderBrowser, ComputersNearMeShowTheWorkgroupAndItsDiskShares) {
    fs::create_directories(machine().NetworkFolder() / "MAIN" / "Cases" / "Closed");
    fs::create_directories(machine().NetworkFolder() / "MAIN" / "ADMIN$");
    fs::create_directories(machine().NetworkFolder() / "BACKUP" / "Old");
    CFolderBrowser browser(nullptr, CFolderBrowser::Root::ComputersNearMe, "Tallymar Home Directory");
    EXPECT_EQ(browser.SetInitialSelection("\\\\main\\cases\\closed\\2023"), "\\\\MAIN\\Cases\\Closed");
    const QTreeWidgetItem* root = browser.Tree()->topLevelItem(0);
    EXPECT_EQ(Children(root), (QStringList{"BACKUP", "MAIN", "TESTPC"}));
    EXPECT_EQ(Children(root->child(1)), (QStringList{"Cases"})) << "hidden and IPC shares are left out";

    browser.Tree()->setCurrentItem(root->child(1));
    EXPECT_EQ(browser.ChosenPath(), "") << "a computer is not a folder";
    EXPECT_FALSE(Find<QPushButton>(&browser, "okButton")->isEnabled());
}

TEST_F(FolderBrowser, TypedFullAndRelativeNames) {
    fs::create_directories(Host("C:\\Data"));
    CFolderBrowser browser(nullptr, CFolderBrowser::Root::MyComputer, "Tallymar Home Directory");
    browser.SetInitialSelection("C:\\Data");
    auto* edit = Find<QLineEdit>(&browser, "folderEdit");
    TypeInto(edit, "D:\\Elsewhere");
    EXPECT_EQ(browser.ChosenPath(), "D:\\Elsewhere") << "a full path is taken as typed";
    TypeInto(edit, "NewCases");
    EXPECT_EQ(browser.ChosenPath(), "C:\\Data\\NewCases");
    TypeInto(edit, "bad|name");
    EXPECT_EQ(browser.ChosenPath(), "");
    EXPECT_FALSE(Find<QPushButton>(&browser, "okButton")->isEnabled());
}
