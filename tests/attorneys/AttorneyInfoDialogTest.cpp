#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CEcfLoginDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QListWidget>

using namespace guitest;
using namespace win;

namespace {

class AttorneyInfoDialogTest : public RosterTest {
protected:
    void Open() {
        dialog = std::make_unique<CAttorneyInfoDialog>(&info, &logins, &key);
        dialog->show();
    }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(dialog.get(), name); }
    void Type(const char* name, const QString& text) const { TypeInto(Edit(name), text); }
    void Save() const { Find<QPushButton>(dialog.get(), "saveButton")->click(); }
    void LeaveZip() const {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(Edit("zipEdit"), &out);
    }
    void FillRequired() const {
        Type("nameEdit", "Ann Able");
        Type("address1Edit", "1 Main St");
        Type("zipEdit", "12207");
        LeaveZip();
    }
    QListWidget* LoginList() const { return Find<QListWidget>(dialog.get(), "loginList"); }
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < LoginList()->count(); ++i)
            items << LoginList()->item(i)->text();
        return items;
    }

    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    std::unique_ptr<CAttorneyInfoDialog> dialog;
};

} // namespace

TEST_F(AttorneyInfoDialogTest, RequiredFieldsAreCheckedInOrderWithTheirMessageAndFocus) {
    Open();
    Type("firmEdit", "Firm");
    Save();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "A value is required for the Name field on the Attorney Information form"}));
    EXPECT_EQ(dialog->focusWidget(), Edit("nameEdit"));
    EXPECT_TRUE(info.Firm.empty()) << "nothing reaches the caller";

    Type("nameEdit", " ");
    Save();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "A value is required for the Address field on the Attorney Information form"}));
    Type("address1Edit", "1 Main St");
    Save();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "A value is required for the Zipcode field on the Attorney Information form"}));
    Type("zipEdit", "1220");
    Save();
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"You entered an invalid or non-existent zipcode."}));
    EXPECT_EQ(ui.Messages().back().style, MB_OK | MB_ICONERROR);
    EXPECT_EQ(dialog->focusWidget(), Edit("zipEdit"));
    EXPECT_EQ(Edit("zipEdit")->selectedText(), "1220");
    Type("zipEdit", "12207-1234");
    Save();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "A value is required for the City field on the Attorney Information form"}));
    Type("cityEdit", "Albany");
    Save();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "A value is required for the State field on the Attorney Information form"}));
    Type("stateEdit", "zz");
    Save();
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"You entered an unknown state code."}));
    EXPECT_EQ(dialog->focusWidget(), Edit("stateEdit"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(info.Name.empty());
}

TEST_F(AttorneyInfoDialogTest, TheZipFillsCityAndStateWhenLeftAndChangingItEmptiesThem) {
    Open();
    Type("zipEdit", "10004");
    EXPECT_EQ(Text(dialog.get(), "cityEdit"), "");
    LeaveZip();
    EXPECT_EQ(Text(dialog.get(), "cityEdit"), "New York");
    EXPECT_EQ(Text(dialog.get(), "stateEdit"), "NY");
    QTest::keyClick(Edit("zipEdit"), Qt::Key_Backspace);
    EXPECT_EQ(Text(dialog.get(), "cityEdit"), "");
    EXPECT_EQ(Text(dialog.get(), "stateEdit"), "");
    // Only when both are empty; an extension is not part of the lookup.
    Type("zipEdit", "10601-1234");
    Type("cityEdit", "Harrison");
    LeaveZip();
    EXPECT_EQ(Text(dialog.get(), "cityEdit"), "Harrison");
    EXPECT_EQ(Text(dialog.get(), "stateEdit"), "");
    Type("cityEdit", "");
    LeaveZip();
    EXPECT_EQ(Text(dialog.get(), "cityEdit"), "White Plains");
}

TEST_F(AttorneyInfoDialogTest, SavingCopiesEveryFieldWithTheStateInUpperCase) {
    key = tl::SecretString("old key");
    Open();
    FillRequired();
    Type("stateEdit", "ny");
    Type("passwordEdit", "pacer pass");
    Type("ndcKeyEdit", "new key");
    Type("pacerIdEdit", "ann-pacer");
    Type("emailEdit", "ann@example.com");
    Find<QCheckBox>(dialog.get(), "defaultCheck")->click();
    Save();
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), IDOK);
    EXPECT_EQ(info.Name, "Ann Able");
    EXPECT_EQ(info.City, "Albany");
    EXPECT_EQ(info.State, "NY");
    EXPECT_EQ(info.Zipcode, "12207");
    EXPECT_EQ(info.email, "ann@example.com");
    EXPECT_EQ(info.PacerId, "ann-pacer");
    EXPECT_EQ(info.Password.str(), "pacer pass");
    EXPECT_TRUE(info.Default);
    EXPECT_EQ(info.Initials, "");
    EXPECT_EQ(key.str(), "new key");
    EXPECT_EQ(dialog->windowTitle(), "Attorney Information");
}

TEST_F(AttorneyInfoDialogTest, ACityOrStateOtherThanTheZipCodesIsConfirmed) {
    Open();
    FillRequired();
    Type("cityEdit", "Troy");
    ui.QueueAnswer(IDNO);
    Save();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{"The city and/or state you specified doesn't match the zip "
                                        "code. Do you want to use that city and state anyway?"}));
    EXPECT_EQ(ui.Messages().back().style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(dialog->focusWidget(), Edit("cityEdit"));
    EXPECT_TRUE(dialog->isVisible());

    Type("cityEdit", "ALBANY"); // case does not count
    Type("stateEdit", "ny");
    Save();
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(info.City, "ALBANY");

    dialog->show();
    Type("cityEdit", "Troy");
    ui.QueueAnswer(IDYES);
    Save();
    EXPECT_EQ(TakeMessages().size(), 1u);
    EXPECT_EQ(info.City, "Troy");
    EXPECT_EQ(info.State, "NY");
}

TEST_F(AttorneyInfoDialogTest, LoginsAreListedByCourtNameAndEachItemActsOnItsOwnLogin) {
    info = Attorney("Ann Able");
    logins = {Login("Southern District of New York", "first"), Login("District of Alaska", "second"),
              Login("Western District of Texas", "third"), Login("District of Atlantis", "fourth")};
    Open();
    EXPECT_EQ(Items(), (QStringList{"", "Alaska", "New York Southern", "Texas Western"}));
    EXPECT_EQ(LoginList()->currentRow(), 0);
    EXPECT_TRUE(Find<QPushButton>(dialog.get(), "editLoginButton")->isEnabled());

    // Delete "Alaska" (the second login), then edit "Texas Western": the third login is shown.
    LoginList()->setCurrentRow(1);
    Find<QPushButton>(dialog.get(), "deleteLoginButton")->click();
    EXPECT_EQ(Items(), (QStringList{"", "New York Southern", "Texas Western"}));
    LoginList()->setCurrentRow(2);
    std::string shownUser;
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* login = qobject_cast<CEcfLoginDialog*>(modal);
        if (login == nullptr)
            return false;
        shownUser = Text(login, "loginIdEdit");
        EXPECT_EQ(Find<QLabel>(login, "headingText")->text(), "Electronic Filing Information for Ann Able");
        QTest::keyClick(Find<QComboBox>(login, "districtCombo"), Qt::Key_Up); // Pennsylvania Middle
        Find<QPushButton>(login, "okButton")->click();
        return true;
    });
    DoubleClick(LoginList(), 2);
    EXPECT_EQ(shownUser, "third");
    EXPECT_EQ(Items(), (QStringList{"", "New York Southern", "Pennsylvania Middle"}));
    EXPECT_EQ(LoginList()->currentItem()->text(), "Pennsylvania Middle");

    // Close asks to save; Yes hands the shortened, edited list to the caller.
    ui.QueueAnswer(IDYES);
    Find<QPushButton>(dialog.get(), "closeButton")->click();
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"Save changes to Attorney Information *?"}));
    EXPECT_EQ(dialog->result(), IDOK);
    ASSERT_EQ(logins.size(), 3u);
    EXPECT_EQ(logins[0].UserName, "first");
    EXPECT_EQ(logins[1].UserName, "third");
    EXPECT_EQ(logins[1].District, "Middle District of Pennsylvania");
    EXPECT_EQ(logins[1].Password.str(), "pw-third");
    EXPECT_EQ(logins[2].UserName, "fourth");
}

TEST_F(AttorneyInfoDialogTest, AnAddedLoginIsAppendedAndSelected) {
    info = Attorney("Ann Able");
    logins = {Login("Western District of Texas", "first")};
    Open();
    ModalAnswerer answerer([&](QWidget* modal) {
        auto* login = qobject_cast<CEcfLoginDialog*>(modal);
        if (login == nullptr)
            return false;
        TypeInto(Find<QLineEdit>(login, "loginIdEdit"), "new");
        TypeInto(Find<QLineEdit>(login, "passwordEdit"), "pw");
        Find<QPushButton>(login, "okButton")->click(); // the first district, Alaska
        return true;
    });
    Find<QPushButton>(dialog.get(), "addLoginButton")->click();
    EXPECT_EQ(Items(), (QStringList{"Alaska", "Texas Western"}));
    EXPECT_EQ(LoginList()->currentItem()->text(), "Alaska");
    EXPECT_EQ(dialog->windowTitle(), "Attorney Information *");
    Save();
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[1].District, "District of Alaska");
    EXPECT_EQ(logins[1].UserName, "new");
    EXPECT_EQ(logins[1].Password.str(), "pw");
}

TEST_F(AttorneyInfoDialogTest, SecretEditsTakeWhatTheirColumnsHoldAndAreWipedWhenTheDialogGoesAway) {
    Open();
    Type("passwordEdit", QString(200, 'p'));
    Type("ndcKeyEdit", QString(200, 'k'));
    Type("nameEdit", QString(300, 'n'));
    EXPECT_EQ(Edit("passwordEdit")->text().size(), RosterFieldLimits::Password);
    EXPECT_EQ(Edit("ndcKeyEdit")->text().size(), RosterFieldLimits::NationalDataCenterKey);
    EXPECT_EQ(Edit("nameEdit")->text().size(), RosterFieldLimits::Name);
    EXPECT_EQ(Edit("passwordEdit")->displayText(), QString(RosterFieldLimits::Password, '*'));
    // Copies that share the edits' buffers see them overwritten.
    const QString password = Edit("passwordEdit")->text();
    const QString ndcKey = Edit("ndcKeyEdit")->text();
    dialog.reset();
    EXPECT_EQ(password, QString(RosterFieldLimits::Password, QChar(0xCC)));
    EXPECT_EQ(ndcKey, QString(RosterFieldLimits::NationalDataCenterKey, QChar(0xCC)));
}
