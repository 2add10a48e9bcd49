// The program's first installation as a user goes through it: tlinstall's start-up on an engine
// thread, the real wizard on the GUI thread, answers typed into its widgets, a release served on
// the loopback interface, the progress window during the downloads and the final message.
#include "app/CSetupApp.h"
#include "install/RunFullInstall.h"
#include "platform/PathHelpers.h"
#include "tests/install/FullInstallTestBase.h"
#include "tests/wizard/GuiTestSupport.h"
#include "update/RunUpdate.h"
#include "wizard/CCheckTreeCtrl.h"
#include "wizard/CProgressDialog.h"
#include "wizard/CProgressThread.h"
#include "wizard/CSetupPage.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/QtUserInterface.h"

#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

using namespace guitest;

namespace {

class FullInstallWizard : public tltest::FullInstallTest {
protected:
    FullInstallWizard() : previous_(SetUserInterface(&qt)) {
        UseStandardRelease();
        // The start-up routine takes the file server from the environment, as tlinstall does.
        ::setenv("TALLYMAR_FILE_SERVER", server.BaseUrl().c_str(), 1);
    }
    ~FullInstallWizard() override {
        Release();
        ::unsetenv("TALLYMAR_FILE_SERVER");
        qt.Shutdown();
        if (engine.joinable())
            engine.join();
        qt.StopProgressThread();
        SetUserInterface(previous_);
    }

    // The help file's download waits until the test has seen the progress window.
    void HoldHelpFileDownload() {
        const std::string content = tltest::Compress(std::string(5000, 'h'));
        server.Handle("/CurrentVersion/Tallymar Help.chm",
                      [this, content](const httplib::Request&, httplib::Response& response) {
                          std::unique_lock lock(mutex_);
                          released_.wait_for(lock, std::chrono::seconds(60), [this] { return isReleased_; });
                          response.set_content(content, "application/octet-stream");
                      });
    }
    void Release() {
        {
            std::lock_guard lock(mutex_);
            isReleased_ = true;
        }
        released_.notify_all();
    }

    static QString Save(QWidget* widget, const QString& name) {
        QDir().mkpath(SCREENSHOT_FOLDER);
        const QString file = QStringLiteral(SCREENSHOT_FOLDER "/%1.png").arg(name);
        EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
        return file;
    }

    // The wizard, page by page, as a user fills it in.
    static void FillInTheWizard(CSetupSheetWindow* window) {
        auto page = [window] { return window->GetActivePage(); };
        auto next = [window] {
            Find<QPushButton>(window, "nextButton")->click();
            QApplication::processEvents();
        };
        Find<QRadioButton>(page(), "radioThisComputerOnly")->click();
        next();
        Find<QRadioButton>(page(), "radioAgree")->click();
        next();
        TypeInto(Find<QLineEdit>(page(), "firmNameEdit"), "Smith & O'Hara Bankruptcy Law");
        TypeInto(Find<QLineEdit>(page(), "passwordEdit"), kMasterPassword);
        TypeInto(Find<QLineEdit>(page(), "retypeEdit"), kMasterPassword);
        next();
        TypeInto(Find<QLineEdit>(page(), "passwordEdit"), "Attorney1");
        TypeInto(Find<QLineEdit>(page(), "retypeEdit"), "Attorney1");
        next();
        next(); // a blank staff password
        EXPECT_EQ(Find<QLineEdit>(page(), "pathEdit")->text().toStdString(), kInstallDirectory);
        next(); // asks to create the folder: answered Yes below
        EXPECT_EQ(Find<QLineEdit>(page(), "pathEdit")->text().toStdString(), kLocalHome);
        next(); // asks to create and share it: Yes
        Find<QCheckBox>(page(), "setupAttorneysCheck")->setChecked(false);
        next();
        auto* tree = Find<CCheckTreeCtrl>(page(), "stateTree");
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "AZ");
        tree->SetCheck(tree->topLevelItem(0), true);
        next();
        EXPECT_EQ(page()->objectName(), "CFinishPage");
        Find<QPushButton>(window, "finishButton")->click();
    }

    QtUserInterface qt;
    std::thread engine;

private:
    UserInterface* previous_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool isReleased_ = false;
};

} // namespace

TEST_F(FullInstallWizard, RunsFromTheFirstPageToTheFinalMessage) {
    Publish();
    HoldHelpFileDownload();
    QStringList questions;
    QString finalMessage;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (auto* window = qobject_cast<CSetupSheetWindow*>(modal)) {
            FillInTheWizard(window);
            return true;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr)
            return false;
        if (box->icon() == QMessageBox::Information && box->buttons().size() == 2) {
            questions << box->text();
            return ClickButton(box, "Yes");
        }
        finalMessage = box->text();
        Save(box, "13-installed");
        return ClickButton(box, "OK");
    });

    std::atomic<bool> done = false;
    CSetupApp app(RunFullInstall, RunUpdate);
    engine = std::thread([&] {
        app.InitInstance();
        done = true;
    });

    // After Finish the engine works; the progress window shows the download it waits for.
    ASSERT_TRUE(WaitFor(
        [&] {
            CProgressThread* progress = qt.ProgressThread();
            return progress != nullptr && progress->Dialog() != nullptr && progress->Dialog()->isVisible() &&
                   progress->Dialog()->Text() == "Downloading Tallymar Help.chm...";
        },
        60000));
    Save(qt.ProgressThread()->Dialog(), "12-downloading");
    Release();
    ASSERT_TRUE(WaitFor([&] { return done.load(); }, 60000));
    engine.join();

    EXPECT_EQ(app.ChosenMode(), CSetupApp::Mode::FullInstall);
    EXPECT_EQ(app.ModeResult(), 1);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(finalMessage, "Tallymar has been installed on this computer");
    EXPECT_TRUE(tl::PathExists(std::string(kInstallDirectory) + "\\Tallymar Help.chm"));
    EXPECT_TRUE(tl::PathExists(std::string(kInstallDirectory) + "\\tlmAZ.dll"));
    EXPECT_TRUE(tl::PathExists(std::string(kLocalHome) + "\\Tallymar.mdb"));
    const auto lines = LogLines();
    EXPECT_EQ(lines.back(), "Setup finished - success");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "User opted not to setup attorneys now"), lines.end());
    EXPECT_FALSE(PrefixContains(kMasterPassword));
}
