#include "attorneys/CAttorneyInfoDialog.h"
#include "attorneys/CEcfLoginDialog.h"
#include "platform/WinTypes.h"
#include "tests/attorneys/RosterFixture.h"

#include <QCheckBox>

using namespace guitest;
using namespace win;

namespace {
class EditDialogTest : public RosterTest {};
} // namespace

TEST_F(EditDialogTest, ChangesEnableOkMarkTheTitleOnceAndAreAskedAboutOnCancel) {
    CEcfLoginDialog dialog;
    dialog.show();
    auto* ok = Find<QPushButton>(&dialog, "okButton");
    EXPECT_FALSE(ok->isEnabled());
    Click(&dialog, "cancelButton");
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_TRUE(TakeMessages().empty()) << "an unchanged dialog closes without a question";

    dialog.show();
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "ann");
    TypeInto(Find<QLineEdit>(&dialog, "barNumberEdit"), "12345");
    EXPECT_TRUE(ok->isEnabled());
    for (bool modified : {true, false, true, true}) {
        dialog.SetModified(modified);
        EXPECT_EQ(dialog.windowTitle(),
                  modified ? "Electronic Filing Information *" : "Electronic Filing Information");
    }
    ui.QueueAnswer(IDCANCEL);
    Click(&dialog, "cancelButton");
    EXPECT_TRUE(dialog.isVisible());
    ui.QueueAnswer(IDNO);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>(2, "Save changes to Electronic Filing Information *?")));
    EXPECT_EQ(ui.Messages().back().style, MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(dialog.result(), IDCANCEL);
    EXPECT_EQ(dialog.UserName, "");

    dialog.show();
    TypeInto(Find<QLineEdit>(&dialog, "loginIdEdit"), "bob");
    ui.QueueAnswer(IDYES);
    Click(&dialog, "cancelButton");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), IDOK) << "Yes saved";
    EXPECT_EQ(dialog.UserName, "bob");
    EXPECT_EQ(dialog.windowTitle(), "Electronic Filing Information");
}

TEST_F(EditDialogTest, YesWithARequiredFieldEmptyShowsItsMessageAndStaysOpen) {
    AttorneyInfo info;
    EcfLoginList logins;
    tl::SecretString key;
    CAttorneyInfoDialog dialog(&info, &logins, &key);
    dialog.show();
    TypeInto(Find<QLineEdit>(&dialog, "firmEdit"), "Lee & O'Hara");
    ui.QueueAnswer(IDYES);
    Click(&dialog, "closeButton");
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "Save changes to Attorney Information *?",
                  "A value is required for the Name field on the Attorney Information form"}));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(info.Firm.empty());

    // The mnemonics are Qt's own: Alt and the underlined letter reach the control.
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Z, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(&dialog, "zipEdit"));
    QTest::keyClick(&dialog, Qt::Key_Y, Qt::AltModifier);
    EXPECT_TRUE(WaitFor([&] { return Find<QCheckBox>(&dialog, "defaultCheck")->isChecked(); }));
}
