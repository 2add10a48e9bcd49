#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CEcfLoginDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"

#include <QCheckBox>
#include <QFocusEvent>

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
    void LeaveZip() const {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(Edit("zipEdit"), &out);
    }
    std::vector<std::string> SaveMessages() {
        Click(dialog.get(), "saveButton");
        return TakeMessages();
    }
    QListWidget* LoginList() const { return Find<QListWidget>(dialog.get(), "loginList"); }

    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    std::unique_ptr<CAttorneyInfoDialog> dialog;
};

std::vector<std::string> Required(const char* label) {
    return {std::string("A value is required for the ") + label + " field on the Attorney Information form"};
}

} // namespace

TEST_F(AttorneyInfoDialogTest, SaveChecksTheFieldsInOrderAndFocusesTheOneAtFault) {
    Open();
    Type("firmEdit", "Lee & O'Hara"); // Save is enabled by the first change
    EXPECT_EQ(SaveMessages(), Required("Name"));
    EXPECT_EQ(ui.Messages().back().style, MB_OK | MB_ICONERROR);
    EXPECT_EQ(dialog->focusWidget(), Edit("nameEdit"));
    Type("nameEdit", " ");
    EXPECT_EQ(SaveMessages(), Required("Address"));
    Type("address1Edit", "1 Main St");
    EXPECT_EQ(SaveMessages(), Required("Zipcode"));
    Type("zipEdit", "1220");
    EXPECT_EQ(SaveMessages(), (std::vector<std::string>{"You entered an invalid or non-existent zipcode."}));
    EXPECT_EQ(Edit("zipEdit")->selectedText(), "1220");
    Type("zipEdit", "12207-1234");
    EXPECT_EQ(SaveMessages(), Required("City"));
    Type("cityEdit", "Troy");
    EXPECT_EQ(SaveMessages(), Required("State"));
    Type("stateEdit", "zz");
    EXPECT_EQ(SaveMessages(), (std::vector<std::string>{"You entered an unknown state code."}));
    EXPECT_EQ(dialog->focusWidget(), Edit("stateEdit"));
    EXPECT_TRUE(info.Name.empty()) << "nothing reaches the caller";

    Type("stateEdit", "ny");
    ui.QueueAnswer(IDNO);
    EXPECT_EQ(SaveMessages(),
              (std::vector<std::string>{"The city and/or state you specified doesn't match the "
                                        "zip code. Do you want to use that city and state anyway?"}));
    EXPECT_EQ(dialog->focusWidget(), Edit("cityEdit"));
    ui.QueueAnswer(IDYES);
    EXPECT_EQ(SaveMessages().size(), 1u);
    EXPECT_EQ(dialog->result(), IDOK);
    EXPECT_EQ(info.City, "Troy");
    EXPECT_EQ(info.State, "NY");
    EXPECT_EQ(info.Zipcode, "12207-1234");
}

TEST_F(AttorneyInfoDialogTest, TheZipFillsAnEmptyCityAndStateWhenLeftAndChangingItEmptiesThem) {
    key = tl::SecretString("old key");
    Open();
    Type("nameEdit", "Ann Able");
    Type("address1Edit", "1 Main St");
    Type("zipEdit", "10601-1234");
    LeaveZip();
    EXPECT_EQ(Text(dialog.get(), "cityEdit"), "White Plains");
    EXPECT_EQ(Text(dialog.get(), "stateEdit"), "NY");
    QTest::keyClick(Edit("zipEdit"), Qt::Key_Backspace);
    EXPECT_EQ(Text(dialog.get(), "cityEdit") + Text(dialog.get(), "stateEdit"), "");
    Type("zipEdit", "10004");
    Type("cityEdit", "NEW YORK");
    LeaveZip();
    EXPECT_EQ(Text(dialog.get(), "stateEdit"), "") << "only when both are empty";
    Type("stateEdit", "ny");
    Type("ndcKeyEdit", "new key");
    Find<QCheckBox>(dialog.get(), "defaultCheck")->click();
    EXPECT_TRUE(SaveMessages().empty()) << "the city differs in case only";
    EXPECT_EQ(info.State, "NY");
    EXPECT_TRUE(info.Default);
    EXPECT_EQ(info.Initials, "");
    EXPECT_EQ(key.str(), "new key");
}

TEST_F(AttorneyInfoDialogTest, EachLoginItemActsOnItsOwnLoginAfterADeletion) {
    info = Attorney("Ann Able");
    logins = {Login("Southern District of New York", "first"), Login("District of Alaska", "second"),
              Login("Western District of Texas", "third"), Login("District of Atlantis", "fourth")};
    Open();
    EXPECT_EQ(Items(LoginList()), (QStringList{"", "Alaska", "New York Southern", "Texas Western"}));
    EXPECT_EQ(LoginList()->currentRow(), 0);

    LoginList()->setCurrentRow(1);
    Click(dialog.get(), "deleteLoginButton");
    std::string shown;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (qobject_cast<CEcfLoginDialog*>(modal) == nullptr)
            return false;
        shown = Text(modal, "loginIdEdit");
        QTest::keyClick(Find<QComboBox>(modal, "districtCombo"), Qt::Key_Up); // Pennsylvania Middle
        Click(modal, "okButton");
        return true;
    });
    DoubleClick(LoginList(), 2);
    EXPECT_EQ(shown, "third");
    EXPECT_EQ(Items(LoginList()), (QStringList{"", "New York Southern", "Pennsylvania Middle"}));
    EXPECT_EQ(LoginList()->currentItem()->text(), "Pennsylvania Middle");

    ui.QueueAnswer(IDYES);
    Click(dialog.get(), "closeButton");
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"Save changes to Attorney Information *?"}));
    EXPECT_EQ(dialog->result(), IDOK);
    ASSERT_EQ(logins.size(), 3u);
    EXPECT_EQ(logins[1].UserName, "third");
    EXPECT_EQ(logins[1].District, "Middle District of Pennsylvania");
    EXPECT_EQ(logins[2].UserName, "fourth");
}

TEST_F(AttorneyInfoDialogTest, SecretEditsTakeWhatTheirColumnsHoldAndAreWipedWithTheDialog) {
    Open();
    Type("passwordEdit", QString(200, 'p'));
    Type("ndcKeyEdit", QString(200, 'k'));
    EXPECT_EQ(Edit("passwordEdit")->displayText(), QString(RosterFieldLimits::Password, '*'));
    // Copies that share the edits' buffers see them overwritten.
    const QString password = Edit("passwordEdit")->text();
    const QString ndcKey = Edit("ndcKeyEdit")->text();
    dialog.reset();
    EXPECT_EQ(password, QString(RosterFieldLimits::Password, QChar(0xCC)));
    EXPECT_EQ(ndcKey, QString(RosterFieldLimits::NationalDataCenterKey, QChar(0xCC)));
}
