#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CAttorneysDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"
#include "wizard/QtUserInterface.h"

#include <QCheckBox>
#include <atomic>
#include <sqlite3.h>
#include <thread>

using namespace guitest;
using namespace win;

namespace {

class AttorneysDialogTest : public RosterTest {
protected:
    void Open(const std::vector<AttorneyInfo>& stored) {
        AttorneyRoster roster;
        roster.Load();
        for (const AttorneyInfo& attorney : stored)
            roster.Add(attorney, {Login("District of Alaska", attorney.Name)}, "key");
        dialog = std::make_unique<CAttorneysDialog>(nullptr, &sheet);
        dialog->show();
    }
    QListWidget* List() const { return Find<QListWidget>(dialog.get(), "attorneyList"); }
    int Selected() const {
        const auto selected = List()->selectedItems();
        return selected.isEmpty() ? -1 : List()->row(selected.front());
    }
    bool CanEditAndDelete() const {
        const bool edit = Find<QPushButton>(dialog.get(), "editButton")->isEnabled();
        EXPECT_EQ(Find<QPushButton>(dialog.get(), "deleteButton")->isEnabled(), edit);
        return edit;
    }
    // Answers the attorney information dialog: change runs on it, then Save is pressed.
    static ModalAnswerer* SaveInfo(std::function<void(QWidget*)> change) {
        return new ModalAnswerer([change = std::move(change)](QWidget* modal) {
            if (qobject_cast<CAttorneyInfoDialog*>(modal) == nullptr)
                return false;
            change(modal);
            Click(modal, "saveButton");
            return true;
        });
    }
    static void FillNew(QWidget* info, const QString& name) {
        TypeInto(Find<QLineEdit>(info, "nameEdit"), "Andr");
        TypeCharacters(Find<QLineEdit>(info, "nameEdit"), name);
        for (const auto& [edit, text] : {std::pair{"address1Edit", "2 State St"},
                                         {"zipEdit", "12207"},
                                         {"cityEdit", "Albany"},
                                         {"stateEdit", "NY"}})
            TypeInto(Find<QLineEdit>(info, edit), text);
    }

    std::unique_ptr<CAttorneysDialog> dialog;
};

} // namespace

TEST_F(AttorneysDialogTest, AttorneysAreListedByNameWithNewOnesAtTheEndAndOneDefaultMarked) {
    Open({});
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(CanEditAndDelete());
    dialog.reset();

    AttorneyInfo zoe = Attorney("Zoe Park");
    AssignSecret(zoe.Password, "zoe pass");
    Open({zoe, Attorney("Ann Able", true), Attorney("Ann Able"), Attorney("O'Hara & Sons")});
    EXPECT_EQ(Items(List()), (QStringList{"Ann Able*", "Ann Able", "O'Hara & Sons", "Zoe Park"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(CanEditAndDelete());
    std::unique_ptr<ModalAnswerer> answerer(SaveInfo([](QWidget* info) {
        FillNew(info, QString::fromLatin1("\xE9 Abbott"));
        Click(info, "defaultCheck");
    }));
    Click(dialog.get(), "addButton");
    EXPECT_EQ(Items(List()), (QStringList{"Ann Able", "Ann Able", "O'Hara & Sons", "Zoe Park",
                                          QString::fromLatin1("Andr\xE9 Abbott*")}));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(List()->item(4)->data(Qt::UserRole).toInt(), dialog->Roster().DefaultNumber());

    // A double click edits the attorney, whose item is replaced in place.
    std::string shownPassword;
    answerer.reset(SaveInfo([&](QWidget* info) {
        shownPassword = Text(info, "passwordEdit");
        TypeInto(Find<QLineEdit>(info, "nameEdit"), "Zoe Park-Able");
        Click(info, "defaultCheck");
    }));
    DoubleClick(List(), 3);
    EXPECT_EQ(shownPassword, "zoe pass");
    EXPECT_EQ(Items(List()).mid(3), (QStringList{"Zoe Park-Able*", QString::fromLatin1("Andr\xE9 Abbott")}));
    EXPECT_EQ(Selected(), 3);
}

TEST_F(AttorneysDialogTest, DeletingAsksAndSelectsTheItemThatTakesThePlace) {
    Open({Attorney("Ann"), Attorney("Bob"), Attorney("Cy")});
    List()->setCurrentRow(2);
    Click(dialog.get(), "deleteButton"); // No, the scripted default
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "Deleting an attorney will require you to revise the CaseInfo for every case "
                  "presently assigned to that attorney. Do you want to delete the attorney?"}));
    EXPECT_EQ(List()->count(), 3);
    const int selectedAfter[] = {1, 0, -1}; // the last item goes first, then the first one
    for (int expected : selectedAfter) {
        if (expected == 0)
            List()->setCurrentRow(0);
        ui.QueueAnswer(IDYES);
        Click(dialog.get(), "deleteButton");
        EXPECT_EQ(Selected(), expected);
    }
    EXPECT_FALSE(CanEditAndDelete());
    EXPECT_EQ(Rows(theMainDb, "SELECT count(*) FROM AttorneyTable"), std::vector<std::string>{"0"});
}

TEST_F(AttorneysDialogTest, ADatabaseFailureIsShownWithItsSourceAndLeavesTheListAsItWas) {
    sheet.OpenLog();
    Open({Attorney("Ann Able")});
    const std::string text(600, 'x');
    ASSERT_EQ(sqlite3_exec(theMainDb.Handle(),
                           ("CREATE TRIGGER fail BEFORE INSERT ON Ch13Login BEGIN SELECT RAISE(ABORT, '" +
                            text + "'); END")
                               .c_str(),
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::unique_ptr<ModalAnswerer> answerer(SaveInfo([](QWidget* info) { FillNew(info, "e"); }));
    Click(dialog.get(), "addButton");
    ASSERT_EQ(ui.Messages().size(), 1u);
    const std::string& shown = ui.Messages()[0].text;
    EXPECT_EQ(ui.Messages()[0].style, MB_ICONINFORMATION);
    EXPECT_TRUE(shown.starts_with("AttorneysDialog[")) << shown;
    EXPECT_TRUE(shown.ends_with("] - " + text.substr(0, 511))) << shown;
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Items(List()), QStringList{"Ann Able"});
    EXPECT_EQ(Selected(), 0);
    EXPECT_NE(ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")).find("**** " + shown),
              std::string::npos);
}

TEST_F(AttorneysDialogTest, TheQtUserInterfaceShowsTheRosterOnTheGuiThreadForTheEngine) {
    QtUserInterface qt;
    UserInterface* previous = SetUserInterface(&qt);
    std::atomic<bool> onGuiThread = false;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (qobject_cast<CAttorneysDialog*>(modal) == nullptr)
            return false;
        onGuiThread = modal->thread() == qApp->thread();
        Click(modal, "closeButton");
        return true;
    });
    std::atomic<bool> returned = false;
    std::thread engine([&] {
        TheUserInterface().RunAttorneyRoster(sheet);
        returned = true;
    });
    EXPECT_TRUE(WaitFor([&] { return returned.load(); }));
    engine.join();
    EXPECT_TRUE(onGuiThread);
    SetUserInterface(previous);

    theMasterKey.reset();
    RunAttorneyRosterDialog(&sheet);
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{"The attorney list cannot be set up without the master password."}));
}
