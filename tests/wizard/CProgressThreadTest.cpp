#include "wizard/CProgressThread.h"

#include "tests/wizard/GuiTestSupport.h"
#include "wizard/CProgressDialog.h"
#include "wizard/GuiDispatcher.h"

#include <QProgressBar>
#include <QScreen>
#include <atomic>
#include <chrono>
#include <thread>

using guitest::WaitFor;
using Clock = std::chrono::steady_clock;

namespace {

class ProgressWindow : public ::testing::Test {
protected:
    ProgressWindow() : dispatcher(QCoreApplication::instance()), progress(dispatcher) {
        EXPECT_TRUE(progress.CreateThread());
    }

    CProgressDialog* Dialog() const { return progress.Dialog(); }
    bool IsCentred() const {
        return (Dialog()->frameGeometry().center() - Dialog()->screen()->availableGeometry().center())
                   .manhattanLength() <= 8;
    }

    GuiDispatcher dispatcher;
    CProgressThread progress;
};

} // namespace

TEST_F(ProgressWindow, CreatedHiddenTopmostAndOneStepIn) {
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_TRUE(Dialog()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(Dialog()->Position(), 10);
    auto* bar = guitest::Find<QProgressBar>(Dialog(), "progressBar");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
}

TEST_F(ProgressWindow, ShowSetsCaptionAndTextRestartsTheBarAndCentres) {
    progress.ShowProgress("Tallymar Setup", "Opening databases");
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->windowTitle(), "Tallymar Setup");
    EXPECT_EQ(Dialog()->Text(), "Opening databases");
    EXPECT_EQ(Dialog()->Position(), 0);
    EXPECT_TRUE(IsCentred());

    Dialog()->StepIt();
    Dialog()->move(0, 0);
    progress.ShowProgress("Tallymar Update", "Again");
    EXPECT_EQ(Dialog()->Position(), 0) << "a second show restarts the bar";
    EXPECT_TRUE(IsCentred()) << "and centres the window again";
    EXPECT_EQ(Dialog()->windowTitle(), "Tallymar Update");
}

TEST_F(ProgressWindow, BarStepsTenEveryHalfSecondAndWraps) {
    progress.ShowProgress("Tallymar Setup", "");
    std::vector<int> positions;
    for (int step = 0; step < 12; ++step) {
        Dialog()->StepIt();
        positions.push_back(Dialog()->Position());
    }
    EXPECT_EQ(positions, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 10, 20}));
    const int before = Dialog()->Position();
    const auto start = Clock::now();
    ASSERT_TRUE(WaitFor([&] { return Dialog()->Position() != before; }, 2000));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(700)) << "the timer runs every 500 ms";
}

TEST_F(ProgressWindow, TextChangesWhileHiddenShowNothing) {
    progress.SetProgressText("Importing creditors...");
    EXPECT_FALSE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->Text(), "Importing creditors...");
    progress.ShowProgress("Tallymar Setup", "Downloading Tallymar.exe...");
    progress.SetProgressText("Downloading tlmscanx.ini...");
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->Text(), "Downloading tlmscanx.ini...");
    progress.HideProgress();
    EXPECT_FALSE(Dialog()->isVisible());
}

TEST_F(ProgressWindow, EngineThreadCallsActOnTheGuiThread) {
    std::atomic<bool> done = false;
    std::thread engine([&] {
        progress.ShowProgress("Tallymar Setup", "Searching for master computer...");
        progress.SetProgressText("Still searching");
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
    engine.join();
    EXPECT_TRUE(Dialog()->isVisible());
    EXPECT_EQ(Dialog()->Text(), "Still searching");
    EXPECT_EQ(Dialog()->thread(), QThread::currentThread());
}

TEST_F(ProgressWindow, StopFromTheEngineIsQuickWhenTheGuiAnswers) {
    progress.ShowProgress("Tallymar Setup", "");
    Clock::duration took{};
    std::atomic<bool> done = false;
    std::thread engine([&] {
        const auto start = Clock::now();
        progress.StopProgressThread();
        took = Clock::now() - start;
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
    engine.join();
    EXPECT_LT(took, std::chrono::milliseconds(500));
    EXPECT_EQ(Dialog(), nullptr) << "the window is gone";
    progress.ShowProgress("Tallymar Setup", "after the stop"); // does nothing
}

TEST_F(ProgressWindow, StopReturnsWithinAboutASecondWhenTheGuiDoesNotAnswer) {
    Clock::duration took{};
    // The GUI thread blocks in join() and serves no events while the engine stops the window.
    std::thread engine([&] {
        const auto start = Clock::now();
        progress.StopProgressThread();
        took = Clock::now() - start;
    });
    engine.join();
    EXPECT_GE(took, std::chrono::milliseconds(900));
    EXPECT_LT(took, std::chrono::milliseconds(1500));
    // The queued stop is served once the GUI thread gets to it.
    ASSERT_TRUE(WaitFor([&] { return Dialog() == nullptr; }));
}
