// The update and the product's own programs: the duplicate-run check and the ECF monitor's
// shutdown, against the stand-ins run as real processes.
#include "tests/release/UpdateTestBase.h"
#include "tests/support/ChildProcess.h"
#include "update/DuplicateRunCheck.h"
#include "update/EcfMonitorShutdown.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr char kShuttingDown[] =
    "text:Shutting down the Tallymar ECF monitor program. (Tallymar will restart it later.)";

class ProcessCoordination : public tltest::UpdateTestBase {
protected:
    ~ProcessCoordination() override { SetEcfShutdownWaitForTesting(std::nullopt); }
};

} // namespace

TEST_F(ProcessCoordination, TheUpdateRefusesWhileTheProductRuns) {
    EXPECT_TRUE(PassDuplicateRunCheck());
    {
        tltest::ChildProcess product({TL_TALLYMAR_STANDIN}, tltest::MachineEnvironment());
        ASSERT_EQ(product.ReadLine(), "Tallymar.exe: running");
        EXPECT_FALSE(PassDuplicateRunCheck());
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].text,
                  "Tallymar is presently running on this workstation. Please save your "
                  "work and close Tallymar. Then you can run Setup again.");
        EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONINFORMATION);
        EXPECT_TRUE(IsProductRunning()) << "the check does not take the event from the product";
        EXPECT_EQ(product.Stop(SIGKILL), 128 + SIGKILL);
    }
    EXPECT_TRUE(PassDuplicateRunCheck()) << "a product that died holds nothing";
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_THAT(LogLines(), IsEmpty());
}

TEST_F(ProcessCoordination, AMonitorThatIsNotRunningIsNotWaitedFor) {
    SetEcfShutdownWaitForTesting(60000); // a wait would hold the test up for a minute
    EXPECT_TRUE(ShutDownEcfMonitor(sheet, "TLMECF.EXE"));
    EXPECT_THAT(ui.ProgressEvents(), IsEmpty());
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(ProcessCoordination, AMonitorThatStopsOnTheKillEventLetsTheFileBeReplaced) {
    tltest::ChildProcess monitor({TL_ECF_MONITOR_STANDIN}, tltest::MachineEnvironment());
    ASSERT_EQ(monitor.ReadLine(), "TLMECF.EXE: running");
    EXPECT_TRUE(ShutDownEcfMonitor(sheet, "TLMECF.EXE"));
    EXPECT_EQ(monitor.ReadLine(), "TLMECF.EXE: stopped") << "it had stopped before the answer";
    EXPECT_EQ(monitor.WaitForExit(), 0);
    EXPECT_THAT(ui.ProgressEvents(), ElementsAre(kShuttingDown));
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_THAT(LogLines(), IsEmpty());
}

TEST_F(ProcessCoordination, AMonitorThatIgnoresTheKillEventKeepsItsFile) {
    SetEcfShutdownWaitForTesting(200);
    tltest::ChildProcess monitor({TL_ECF_MONITOR_STANDIN, "--ignore-kill"}, tltest::MachineEnvironment());
    ASSERT_EQ(monitor.ReadLine(), "TLMECF.EXE: running, ignoring the kill event");
    EXPECT_FALSE(ShutDownEcfMonitor(sheet, "TLMECF.EXE"));
    EXPECT_THAT(ui.ProgressEvents(), ElementsAre(kShuttingDown));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Unable to shut down TLMECF.EXE in order to update it.");
    EXPECT_EQ(ui.Messages()[0].style, win::MB_ICONINFORMATION);
    EXPECT_THAT(LogLines(), ElementsAre("Unable to shut down TLMECF.EXE in order to update it."));
    EXPECT_EQ(monitor.Stop(), 0);
    EXPECT_TRUE(ShutDownEcfMonitor(sheet, "TLMECF.EXE")) << "gone now";
}
