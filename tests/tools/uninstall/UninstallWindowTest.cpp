#include "tools/uninstall/UninstallWindow.h"

#include "tests/support/TestMachine.h"
#include "tests/tools/uninstall/UninstallTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace tl::uninstall;

// The window on the engine in the test process, on a prefix that a first installation filled.
class UninstallWindowTest : public tltest::InstalledProduct {
protected:
    UninstallWindowTest() {
        InstallProduct();
        EXPECT_TRUE(uninstaller.Prepare());
    }

    template <typename Widget>
    Widget* Find(QWidget& window, const char* name) {
        auto* widget = window.findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Clicks Uninstall and waits for the result page.
    void UninstallAndWait(UninstallWindow& window) {
        QTest::mouseClick(Find<QPushButton>(window, "uninstallButton"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Find<QWidget>(window, "resultPage")->isVisible(); }, 20000));
    }

    Uninstaller uninstaller{Program()};
};

} // namespace

TEST_F(UninstallWindowTest, AsksWithTheDataBoxUntickedThenKeepsTheData) {
    UninstallWindow window(uninstaller, false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* box = Find<QCheckBox>(window, "removeDataCheckBox");
    EXPECT_EQ(box->text(), "Also delete the firm's databases and case files");
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(
        Find<QLabel>(window, "dataText")->text().contains("C:\\Users\\Public\\Documents\\BankruptcyCases"));

    // The picture in the README, with real letters (offscreen Qt draws boxes when it has no font).
    ASSERT_FALSE(QFontDatabase::families().isEmpty()) << "no fonts: install fonts-dejavu-core";
    const QFontMetrics metrics(window.font());
    EXPECT_LT(metrics.horizontalAdvance("iiiiiiii"), metrics.horizontalAdvance("WWWWWWWW") / 2);
    QDir().mkpath(SCREENSHOT_FOLDER);
    EXPECT_TRUE(window.grab().save(SCREENSHOT_FOLDER "/uninstall-confirmation.png"));

    UninstallAndWait(window);
    EXPECT_EQ(window.ExitCode(), kExitDone);
    EXPECT_TRUE(Find<QLabel>(window, "resultText")
                    ->text()
                    .startsWith("Tallydesk has been removed from this computer."));
    EXPECT_TRUE(Exists(std::string(kLocalHome) + "\\Tallymar.mdb"));
    EXPECT_FALSE(Exists(std::string(kInstallDirectory)));
}

TEST_F(UninstallWindowTest, TickedBoxDeletesTheData) {
    UninstallWindow window(uninstaller, false);
    window.show();
    Find<QCheckBox>(window, "removeDataCheckBox")->setChecked(true);
    UninstallAndWait(window);
    EXPECT_FALSE(Exists(std::string(kLocalHome)));
    EXPECT_TRUE(Find<QLabel>(window, "resultText")->text().contains("BankruptcyCases were deleted."));
    EXPECT_EQ(window.ExitCode(), kExitDone);
}

TEST_F(UninstallWindowTest, CancelChangesNothing) {
    const auto installed = List();
    UninstallWindow window(uninstaller, true);
    window.show();
    EXPECT_TRUE(Find<QCheckBox>(window, "removeDataCheckBox")->isChecked()) << "--remove-data ticks it";
    QTest::mouseClick(Find<QPushButton>(window, "cancelButton"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.ExitCode(), kExitCancelled);
    EXPECT_EQ(tltest::ListingDifference(installed, List()), "");
}

int main(int argc, char* argv[]) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
