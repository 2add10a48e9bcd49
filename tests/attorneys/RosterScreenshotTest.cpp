#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CAttorneysDialog.h"
#include "attorneys/CEcfLoginDialog.h"
#include "tests/attorneys/RosterFixture.h"
#include "tests/wizard/ScreenshotSupport.h"

#include <QFontDatabase>

using namespace guitest;

namespace {
class RosterScreenshots : public RosterTest {};
} // namespace

TEST_F(RosterScreenshots, TheThreeDialogsWithRealText) {
    ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts: install fonts-dejavu-core";
    ExpectRealGlyphs(QApplication::font());
    AttorneyInfo ann = Attorney("Ann Able", true);
    ann.Firm = "Lee & O'Hara";
    ann.Address2 = "Suite 200";
    ann.Initials = "AA";
    ann.PacerId = "aable";
    ann.Telephone = "518-555-0100";
    ann.email = "ann@leeohara.example";
    AssignSecret(ann.Password, "pacer pass");
    {
        AttorneyRoster roster;
        roster.Load();
        roster.Add(
            ann,
            {Login("Northern District of New York", "aable"), Login("Southern District of New York", "a")},
            "ndc-4711");
        roster.Add(Attorney("Bob Baker"), {}, "");
        roster.Add(Attorney("Cy Cole"), {}, "");
    }
    CAttorneysDialog list;
    list.show();
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    ASSERT_TRUE(list.Roster().LoadForEdit(0, info, logins, key));
    CAttorneyInfoDialog attorney(&info, &logins, &key, &list);
    attorney.show();
    CEcfLoginDialog login(&attorney);
    login.heading = "Electronic Filing Information for Ann Able";
    login.District = logins[0].District;
    login.UserName = logins[0].UserName;
    login.Password = logins[0].Password;
    login.BarNumber = "NY-40112";
    login.show();
    const std::pair<QWidget*, const char*> pictures[] = {{&list, "12-attorney-setup"},
                                                         {&attorney, "13-attorney-information"},
                                                         {&login, "14-electronic-filing"}};
    for (const auto& [window, name] : pictures)
        EXPECT_GT(ColourCount(SaveScreenshot(window, SCREENSHOT_FOLDER, name)), 20) << name;
}
