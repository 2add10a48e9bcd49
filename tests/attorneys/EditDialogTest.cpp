#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CEcfLoginDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QSet>

using namespace guitest;
using namespace win;

namespace {

class EditDialogTest : public RosterTest {
protected:
    QPushButton* Button(const QWidget* dialog, const char* name) { return Find<QPushButton>(dialog, name); }
};

} // namespace

TEST_F(EditDialogTest, TypingEnablesOkAndMarksTheTitleOnceUntilSaved) {
    CEcfLoginDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Electronic Filing Information");
    EXPECT_FALSE(Button(&dialog, "okButton")->isEnabled());
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "ann");
    TypeInto(Find<QLineEdit>(&dialog, "barNumberEdit"), "12345");
    EXPECT_TRUE(Button(&dialog, "okButton")->isEnabled());
    EXPECT_EQ(dialog.windowTitle(), "Electronic Filing Information *");
    for (int round = 0; round < 3; ++round) {
        dialog.SetModified(true);
        dialog.SetModified(true);
        EXPECT_EQ(dialog.windowTitle(), "Electronic Filing Information *");
        dialog.SetModified(false);
        EXPECT_EQ(dialog.windowTitle(), "Electronic Filing Information");
        EXPECT_FALSE(Button(&dialog, "okButton")->isEnabled());
    }
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "ann2");
    Button(&dialog, "okButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.windowTitle(), "Electronic Filing Information");
    EXPECT_EQ(dialog.UserName, "ann2");
    EXPECT_EQ(dialog.BarNumber, "12345");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(EditDialogTest, CancelAsksOnlyAfterAChangeAndEndsAsTheAnswerSays) {
    {
        CEcfLoginDialog unchanged;
        unchanged.show();
        Button(&unchanged, "cancelButton")->click();
        EXPECT_FALSE(unchanged.isVisible());
        EXPECT_EQ(unchanged.result(), IDCANCEL);
        EXPECT_TRUE(ui.Messages().empty());
    }
    CEcfLoginDialog dialog;
    dialog.show();
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "ann");
    ui.QueueAnswer(IDCANCEL);
    Button(&dialog, "cancelButton")->click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Save changes to Electronic Filing Information *?");
    EXPECT_EQ(ui.Messages()[0].style, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_TRUE(dialog.isVisible());

    ui.QueueAnswer(IDNO);
    Button(&dialog, "cancelButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(dialog.UserName, "");

    // Escape asks the same; Yes saves and ends as OK would.
    dialog.show();
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "bob");
    ui.QueueAnswer(IDYES);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.UserName, "bob");
    EXPECT_EQ(ui.Messages().size(), 3u);

    dialog.SetModified(true);
    ui.QueueAnswer(IDNO);
    EXPECT_TRUE(dialog.QuerySave(true));
    EXPECT_EQ(ui.Messages().back().style, MB_YESNO | MB_ICONQUESTION);
}

TEST_F(EditDialogTest, YesWithARequiredFieldEmptyShowsItsMessageAndStaysOpen) {
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    CAttorneyInfoDialog dialog(&info, &logins, &key);
    dialog.show();
    TypeInto(Find<QLineEdit>(&dialog, "firmEdit"), "Lee & O'Hara");
    ui.QueueAnswer(IDYES);
    Find<QPushButton>(&dialog, "closeButton")->click();
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "Save changes to Attorney Information *?",
                  "A value is required for the Name field on the Attorney Information form"}));
    EXPECT_EQ(ui.Messages().back().style, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), Find<QLineEdit>(&dialog, "nameEdit"));
    EXPECT_EQ(dialog.windowTitle(), "Attorney Information *");
    EXPECT_TRUE(info.Firm.empty());
}

TEST_F(EditDialogTest, EveryMnemonicIsALabelsOrButtonsOwnAndUnique) {
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    CAttorneyInfoDialog attorney(&info, &logins, &key);
    CEcfLoginDialog login;
    struct Expected {
        QDialog* dialog;
        int mnemonics;
    };
    for (const Expected& expected : {Expected{&attorney, 18}, Expected{&login, 4}}) {
        QSet<QChar> letters;
        int count = 0;
        for (const QLabel* label : expected.dialog->findChildren<QLabel*>()) {
            const qsizetype amp = label->text().indexOf('&');
            if (amp < 0)
                continue;
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
            letters.insert(label->text().at(amp + 1).toUpper());
            ++count;
        }
        for (const QAbstractButton* button : expected.dialog->findChildren<QAbstractButton*>()) {
            const qsizetype amp = button->text().indexOf('&');
            if (amp < 0)
                continue;
            letters.insert(button->text().at(amp + 1).toUpper());
            ++count;
        }
        EXPECT_EQ(count, expected.mnemonics);
        EXPECT_EQ(letters.size(), count) << "a letter used twice";
    }
    // Alt and the letter reach the control.
    attorney.show();
    attorney.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&attorney));
    QTest::keyClick(&attorney, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(&attorney, "zipEdit"));
    QTest::keyClick(&attorney, Qt::Key_Y, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([&] { return Find<QCheckBox>(&attorney, "defaultCheck")->isChecked(); }));
}
