#include "attorneys/CEcfLoginDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"

#include <sqlite3.h>

using namespace guitest;
using namespace win;

namespace {

class EcfLoginDialogTest : public RosterTest {
protected:
    static QComboBox* Districts(const QWidget* dialog) { return Find<QComboBox>(dialog, "districtCombo"); }
};

int CountStatement(unsigned, void* count, void*, void*) {
    ++*static_cast<int*>(count);
    return 0;
}

} // namespace

TEST_F(EcfLoginDialogTest, OnlyTheFirstOpeningReadsTheDistrictsBehindTheProgressWindow) {
    const QStringList districts = {
        "Alaska",           "California",        "Florida Southern",  "Illinois Northern",   "Massachusetts",
        "New York Eastern", "New York Northern", "New York Southern", "Pennsylvania Middle", "Texas Western"};
    for (int opening = 0; opening < 2; ++opening) {
        int statements = 0;
        for (CDatabase* db : {&thePlacesDb, &theMainDb})
            sqlite3_trace_v2(db->Handle(), SQLITE_TRACE_STMT, CountStatement, &statements);
        CEcfLoginDialog dialog;
        dialog.District = opening == 0 ? "" : "southern district of new york";
        dialog.show();
        for (CDatabase* db : {&thePlacesDb, &theMainDb})
            sqlite3_trace_v2(db->Handle(), 0, nullptr, nullptr);
        QStringList entries;
        for (int i = 0; i < Districts(&dialog)->count(); ++i)
            entries << Districts(&dialog)->itemText(i);
        EXPECT_EQ(entries, districts);
        // A new login's empty district matches the first entry, as the prefix search does.
        EXPECT_EQ(Districts(&dialog)->currentText(), opening == 0 ? "Alaska" : "New York Southern");
        EXPECT_EQ(statements > 0, opening == 0);
    }
    EXPECT_EQ(Progress(),
              (std::vector<std::string>{"show:Tallymar Attorney Setup|Getting list of districts", "hide"}));
    EXPECT_EQ(ui.WaitCursorDepth(), 0);
}

TEST_F(EcfLoginDialogTest, OkStaysDisabledWithAPreselectedDistrictUntilTheUserChoosesOne) {
    CEcfLoginDialog dialog;
    dialog.District = "Southern District of New York";
    AssignSecret(dialog.Password, "secret");
    dialog.show();
    EXPECT_FALSE(Find<QPushButton>(&dialog, "okButton")->isEnabled());
    EXPECT_EQ(Find<QLineEdit>(&dialog, "passwordEdit")->displayText(), "******");
    QTest::keyClick(Districts(&dialog), Qt::Key_Down);
    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.result(), IDOK);
    EXPECT_EQ(dialog.District, "Middle District of Pennsylvania");
    EXPECT_EQ(dialog.Password.str(), "secret");
}

TEST_F(EcfLoginDialogTest, AnUnknownDistrictIsKeptAndEditsTakeOnlyWhatCanBeStored) {
    CEcfLoginDialog dialog;
    dialog.District = "District of Atlantis";
    dialog.show();
    EXPECT_EQ(Districts(&dialog)->currentIndex(), -1);
    TypeInto(Find<QLineEdit>(&dialog, "passwordEdit"), QString(40, 'x'));
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "Jos");
    TypeCharacters(Find<QLineEdit>(&dialog, "loginIdEdit"), QString::fromUtf8("\u00E9\u4E2D\u20AC"));
    Click(&dialog, "okButton");
    EXPECT_EQ(dialog.District, "District of Atlantis");
    EXPECT_EQ(dialog.Password.str(), std::string(RosterFieldLimits::EcfPassword, 'x'));
    EXPECT_EQ(dialog.UserName, "Jos\xE9\x80") << "code page 1252 has no CJK; the euro sign is 0x80";
}
