#include "attorneys/CEcfLoginDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"

#include <QLabel>

using namespace guitest;
using namespace win;

namespace {

class EcfLoginDialogTest : public RosterTest {
protected:
    static QComboBox* Districts(const QWidget* dialog) { return Find<QComboBox>(dialog, "districtCombo"); }
    static QStringList Entries(const QComboBox* list) {
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->itemText(i);
        return entries;
    }
};

} // namespace

TEST_F(EcfLoginDialogTest, OnlyTheFirstOpeningReadsTheDistrictsAndShowsTheProgressWindow) {
    const QStringList expected = {
        "Alaska",           "California",        "Florida Southern",  "Illinois Northern",   "Massachusetts",
        "New York Eastern", "New York Northern", "New York Southern", "Pennsylvania Middle", "Texas Western"};
    {
        CEcfLoginDialog dialog;
        dialog.heading = "Electronic Filing Information for Ann Able";
        dialog.show();
        EXPECT_EQ(Entries(Districts(&dialog)), expected);
        EXPECT_EQ(Find<QLabel>(&dialog, "headingText")->text(), "Electronic Filing Information for Ann Able");
        // A new login's empty district matches the first entry, as the prefix search does.
        EXPECT_EQ(Districts(&dialog)->currentIndex(), 0);
    }
    EXPECT_EQ(Progress(),
              (std::vector<std::string>{"show:Tallymar Attorney Setup|Getting list of districts", "hide"}));
    EXPECT_EQ(ui.WaitCursorDepth(), 0);

    StatementCounter places(thePlacesDb);
    StatementCounter main(theMainDb);
    CEcfLoginDialog again;
    again.District = "southern district of new york";
    again.show();
    EXPECT_EQ(Entries(Districts(&again)), expected);
    EXPECT_EQ(Districts(&again)->currentText(), "New York Southern");
    EXPECT_EQ(places.Statements() + main.Statements(), 0);
    EXPECT_EQ(Progress().size(), 2u);
}

TEST_F(EcfLoginDialogTest, OkStaysDisabledWithAPreselectedDistrictUntilTheUserChoosesOne) {
    CEcfLoginDialog dialog;
    dialog.District = "Southern District of New York";
    dialog.UserName = "o'brien";
    AssignSecret(dialog.Password, "secret");
    dialog.show();
    auto* ok = Find<QPushButton>(&dialog, "okButton");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(Text(&dialog, "loginIdEdit"), "o'brien");
    EXPECT_EQ(Find<QLineEdit>(&dialog, "passwordEdit")->displayText(), "******");
    QTest::keyClick(Districts(&dialog), Qt::Key_Down);
    EXPECT_EQ(Districts(&dialog)->currentText(), "Pennsylvania Middle");
    ASSERT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(dialog.District, "Middle District of Pennsylvania");
    EXPECT_EQ(dialog.UserName, "o'brien");
    EXPECT_EQ(dialog.Password.str(), "secret");
}

TEST_F(EcfLoginDialogTest, ADistrictTheCourtTableDoesNotKnowIsKeptUnselected) {
    CEcfLoginDialog dialog;
    dialog.District = "District of Atlantis";
    dialog.show();
    EXPECT_EQ(Districts(&dialog)->currentIndex(), -1);
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "ann");
    Find<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.District, "District of Atlantis");
}

TEST_F(EcfLoginDialogTest, APasswordTakesNoMoreCharactersThanItsColumnHoldsEncrypted) {
    CEcfLoginDialog dialog;
    dialog.show();
    auto* password = Find<QLineEdit>(&dialog, "passwordEdit");
    TypeInto(password, QString(40, 'x'));
    EXPECT_EQ(password->text().size(), RosterFieldLimits::EcfPassword);
    // Only characters that have a byte in the code page are taken.
    auto* id = Find<QLineEdit>(&dialog, "loginIdEdit");
    TypeInto(id, "Jos");
    TypeCharacters(id, QString::fromUtf8("\u00E9\u4E2D\u20AC"));
    EXPECT_EQ(id->text(), QString::fromUtf8("Jos\u00E9\u20AC"));
    Find<QPushButton>(&dialog, "okButton")->click();
    EXPECT_EQ(dialog.UserName, "Jos\xE9\x80");
}

TEST_F(EcfLoginDialogTest, AFailedReadOfTheDistrictsIsShownAndTriedAgainNextTime) {
    thePlacesDb.Close();
    {
        CEcfLoginDialog dialog;
        dialog.show();
        EXPECT_EQ(Districts(&dialog)->count(), 0);
    }
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].style, MB_ICONINFORMATION);
    EXPECT_TRUE(ui.Messages()[0].text.starts_with("EcfLoginDialog[")) << ui.Messages()[0].text;
    EXPECT_TRUE(ui.Messages()[0].text.ends_with("] - The database is not open.")) << ui.Messages()[0].text;
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
    EXPECT_EQ(ui.ProgressEvents().back(), "hide");

    thePlacesDb.OpenEx(FormatConnectString(kHome, "tallymarplaces"));
    CEcfLoginDialog dialog;
    dialog.show();
    EXPECT_EQ(Districts(&dialog)->count(), 10);
}
