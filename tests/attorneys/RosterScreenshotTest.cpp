#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CAttorneysDialog.h"
#include "attorneys/CEcfLoginDialog.h"
#include "tests/attorneys/RosterFixture.h"
#include "tests/wizard/ScreenshotSupport.h"

#include <QFontDatabase>
#include <QListWidget>

using namespace guitest;

namespace {

class RosterScreenshots : public RosterTest {};

} // namespace

TEST_F(RosterScreenshots, TheThreeDialogsWithRealText) {
    ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts: install fonts-dejavu-core";
    ExpectRealGlyphs(QApplication::font());

    AttorneyInfo ann = Attorney("Ann Able", true);
    ann.Firm = "Lee & O'Hara";
    ann.Telephone = "518-555-0100";
    ann.email = "ann@leeohara.example";
    ann.Initials = "AA";
    ann.PacerId = "aable";
    AssignSecret(ann.Password, "pacer pass");
    const EcfLoginList logins = {Login("Northern District of New York", "aable"),
                                 Login("Southern District of New York", "ann.able")};
    {
        AttorneyRoster roster;
        roster.Load();
        roster.Add(ann, logins, "ndc-4711");
        roster.Add(Attorney("Bob Baker"), {}, "");
        roster.Add(Attorney("Cy Cole"), {}, "");
    }
    std::vector<QString> files;
    CAttorneysDialog list;
    list.show();
    files.push_back(SaveScreenshot(&list, SCREENSHOT_FOLDER, "12-attorney-setup"));

    AttorneyInfo info;
    EcfLoginList loaded;
    tl::SecretString key;
    ASSERT_TRUE(list.Roster().LoadForEdit(0, info, loaded, key));
    CAttorneyInfoDialog attorney(&info, &loaded, &key, &list);
    attorney.show();
    TypeInto(Find<QLineEdit>(&attorney, "address2Edit"), "Suite 200");
    files.push_back(SaveScreenshot(&attorney, SCREENSHOT_FOLDER, "13-attorney-information"));

    CEcfLoginDialog login(&attorney);
    login.heading = "Electronic Filing Information for Ann Able";
    login.District = loaded[0].District;
    login.UserName = loaded[0].UserName;
    login.Password = loaded[0].Password;
    login.BarNumber = loaded[0].BarNumber;
    login.show();
    files.push_back(SaveScreenshot(&login, SCREENSHOT_FOLDER, "14-electronic-filing"));
    for (const QString& file : files)
        EXPECT_GT(ColourCount(file), 20) << file.toStdString();
}
