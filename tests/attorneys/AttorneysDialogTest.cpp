#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CAttorneysDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"
#include "wizard/QtUserInterface.h"

#include <QCheckBox>
#include <QListWidget>
#include <atomic>
#include <thread>

using namespace guitest;
using namespace win;

namespace {

class AttorneysDialogTest : public RosterTest {
protected:
    // Attorneys stored before the dialog opens, in this order.
    void Store(const std::vector<AttorneyInfo>& attorneys) {
        AttorneyRoster roster;
        roster.Load();
        for (const AttorneyInfo& attorney : attorneys)
            roster.Add(attorney, {Login("District of Alaska", attorney.Name)}, "key");
    }
    void Open() {
        dialog = std::make_unique<CAttorneysDialog>(nullptr, &sheet);
        dialog->show();
    }
    QListWidget* List() const { return Find<QListWidget>(dialog.get(), "attorneyList"); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(dialog.get(), name); }
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < List()->count(); ++i)
            items << List()->item(i)->text();
        return items;
    }
    int Selected() const {
        const auto selected = List()->selectedItems();
        return selected.isEmpty() ? -1 : List()->row(selected.front());
    }
    bool EditAndDeleteEnabled() const {
        EXPECT_EQ(Button("editButton")->isEnabled(), Button("deleteButton")->isEnabled());
        return Button("editButton")->isEnabled();
    }
    // Answers the attorney information dialog by running change on it and saving.
    std::unique_ptr<ModalAnswerer> AnswerInfoDialog(std::function<void(QWidget*)> change) {
        return std::make_unique<ModalAnswerer>([change = std::move(change)](QWidget* modal) {
            if (qobject_cast<CAttorneyInfoDialog*>(modal) == nullptr)
                return false;
            change(modal);
            Find<QPushButton>(modal, "saveButton")->click();
            return true;
        });
    }
    static void FillNew(QWidget* info, const QString& name, const QString& more = {}) {
        TypeInto(Find<QLineEdit>(info, "nameEdit"), name);
        TypeCharacters(Find<QLineEdit>(info, "nameEdit"), more);
        TypeInto(Find<QLineEdit>(info, "address1Edit"), "2 State St");
        TypeInto(Find<QLineEdit>(info, "zipEdit"), "12207");
        TypeInto(Find<QLineEdit>(info, "cityEdit"), "Albany");
        TypeInto(Find<QLineEdit>(info, "stateEdit"), "NY");
    }

    std::unique_ptr<CAttorneysDialog> dialog;
};

} // namespace

TEST_F(AttorneysDialogTest, AnEmptyRosterHasNothingToEditOrDelete) {
    Open();
    EXPECT_EQ(dialog->windowTitle(), "Attorney Setup");
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(EditAndDeleteEnabled());
    Button("closeButton")->click();
    EXPECT_EQ(dialog->result(), IDOK);
}

TEST_F(AttorneysDialogTest, AttorneysAreListedByNameAndNewOnesAtTheEndWithTheDefaultMarked) {
    Store(
        {Attorney("Zoe Park", true), Attorney("Ann Able"), Attorney("Ann Able"), Attorney("O'Hara & Sons")});
    Open();
    EXPECT_EQ(Items(), (QStringList{"Ann Able", "Ann Able", "O'Hara & Sons", "Zoe Park*"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(EditAndDeleteEnabled());
    EXPECT_NE(List()->item(0)->data(Qt::UserRole), List()->item(1)->data(Qt::UserRole));

    auto answerer = AnswerInfoDialog([](QWidget* info) {
        FillNew(info, "Andr", QString::fromLatin1("\xE9 Abbott"));
        Find<QCheckBox>(info, "defaultCheck")->click();
    });
    Button("addButton")->click();
    EXPECT_EQ(Items(), (QStringList{"Ann Able", "Ann Able", "O'Hara & Sons", "Zoe Park",
                                    QString::fromLatin1("Andr\xE9 Abbott*")}));
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable WHERE \"Default\" = -1"),
              (std::vector<std::string>{"Andr\xE9 Abbott"}));
    EXPECT_EQ(List()->item(4)->data(Qt::UserRole).toInt(), dialog->Roster().DefaultNumber());
}

TEST_F(AttorneysDialogTest, EditingShowsTheStoredAttorneyAndReplacesItsItemInPlace) {
    AttorneyInfo zoe = Attorney("Zoe Park", true);
    zoe.Firm = "Park & Co";
    AssignSecret(zoe.Password, "zoe pass");
    Store({zoe, Attorney("Ann Able")});
    Open();
    std::string shownFirm;
    std::string shownPassword;
    auto answerer = AnswerInfoDialog([&](QWidget* info) {
        shownFirm = Text(info, "firmEdit");
        shownPassword = Text(info, "passwordEdit");
        EXPECT_EQ(Find<QListWidget>(info, "loginList")->count(), 1);
        EXPECT_TRUE(Find<QCheckBox>(info, "defaultCheck")->isChecked());
        TypeInto(Find<QLineEdit>(info, "nameEdit"), "Zoe Park-Able");
        Find<QCheckBox>(info, "defaultCheck")->click();
    });
    DoubleClick(List(), 1);
    EXPECT_EQ(shownFirm, "Park & Co");
    EXPECT_EQ(shownPassword, "zoe pass");
    EXPECT_EQ(Items(), (QStringList{"Ann Able", "Zoe Park-Able"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(dialog->Roster().DefaultNumber(), -1);
    EXPECT_EQ(Query("SELECT count(*) FROM EcfTable"), (std::vector<std::string>{"2"}));
}

TEST_F(AttorneysDialogTest, DeletingAsksFirstAndSelectsTheItemThatTakesItsPlace) {
    Store({Attorney("Ann Able"), Attorney("Bob Baker"), Attorney("Cy Cole")});
    Open();
    List()->setCurrentRow(2);
    Button("deleteButton")->click(); // answered No by default
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "Deleting an attorney will require you to revise the CaseInfo for every case "
                  "presently assigned to that attorney. Do you want to delete the attorney?"}));
    EXPECT_EQ(ui.Messages().back().style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(List()->count(), 3);

    ui.QueueAnswer(IDYES);
    Button("deleteButton")->click();
    EXPECT_EQ(Items(), (QStringList{"Ann Able", "Bob Baker"}));
    EXPECT_EQ(Selected(), 1);
    List()->setCurrentRow(0);
    ui.QueueAnswer(IDYES);
    Button("deleteButton")->click();
    EXPECT_EQ(Items(), (QStringList{"Bob Baker"}));
    EXPECT_EQ(Selected(), 0);
    ui.QueueAnswer(IDYES);
    Button("deleteButton")->click();
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(EditAndDeleteEnabled());
    EXPECT_EQ(Query("SELECT count(*) FROM AttorneyTable"), (std::vector<std::string>{"0"}));
    EXPECT_EQ(Query("SELECT count(*) FROM EcfTable"), (std::vector<std::string>{"0"}));
}

TEST_F(AttorneysDialogTest, ADatabaseFailureIsShownWithItsSourceAndLeavesTheListAsItWas) {
    Store({Attorney("Ann Able")});
    sheet.OpenLog();
    Open();
    const std::string longText(600, 'x');
    ASSERT_EQ(sqlite3_exec(theMainDb.Handle(),
                           ("CREATE TRIGGER fail BEFORE INSERT ON Ch13Login BEGIN SELECT RAISE(ABORT, '" +
                            longText + "'); END")
                               .c_str(),
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    auto answerer = AnswerInfoDialog([](QWidget* info) { FillNew(info, "Bob Baker"); });
    Button("addButton")->click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    const std::string& text = ui.Messages()[0].text;
    EXPECT_EQ(ui.Messages()[0].style, MB_ICONINFORMATION);
    EXPECT_TRUE(text.starts_with("AttorneysDialog[")) << text;
    EXPECT_TRUE(text.ends_with("] - " + longText.substr(0, 511))) << text;
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Items(), (QStringList{"Ann Able"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Query("SELECT Name FROM AttorneyTable"), (std::vector<std::string>{"Ann Able"}));
    const std::string log = ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt"));
    EXPECT_NE(log.find("**** " + text), std::string::npos);
}

TEST_F(AttorneysDialogTest, TheQtUserInterfaceRunsTheRosterModallyForTheEngineThread) {
    QtUserInterface qt;
    UserInterface* previous = SetUserInterface(&qt);
    std::atomic<bool> onGuiThread = false;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (qobject_cast<CAttorneysDialog*>(modal) == nullptr)
            return false;
        onGuiThread = modal->thread() == qApp->thread();
        Find<QPushButton>(modal, "closeButton")->click();
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
}

TEST_F(AttorneysDialogTest, WithoutTheMasterKeyTheRosterSaysSoAndOpensNothing) {
    theMasterKey.reset();
    RunAttorneyRosterDialog(&sheet);
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{"The attorney list cannot be set up without the master password."}));
}
