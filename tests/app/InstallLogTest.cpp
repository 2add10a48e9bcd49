#include "app/CSetupSheet.h"
#include "platform/Clock.h"
#include "platform/FileApi.h"
#include "platform/IoFaults.h"
#include "tests/support/TestMachine.h"

#include <cstdlib>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class InstallLogTest : public tltest::MachineTest {
protected:
    InstallLogTest() {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        tl::SetNowForTesting(1796640931); // 07 Dec 26 10:55:31 UTC
    }
    ~InstallLogTest() override { tl::SetNowForTesting(std::nullopt); }

    std::string LogText() { return ReadFile(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")); }
};

} // namespace

TEST_F(InstallLogTest, LinesCarryTimeStampAndCrLf) {
    CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
    sheet.OpenLog();
    ASSERT_TRUE(sheet.IsLogOpen());
    sheet.Log("Install type is %d", 0);
    EXPECT_EQ(LogText(), "07 Dec 26 10:55:31 - Install type is 0\r\n");
}

TEST_F(InstallLogTest, TwoRunsAppendInOrder) {
    {
        CSetupSheet first(CSetupSheet::kInstallCaptionId);
        first.OpenLog();
        first.Log("**** Beginning full new-scheme install");
    }
    tl::SetNowForTesting(1796640931 + 86400 + 3600);
    {
        CSetupSheet second(CSetupSheet::kUpdateCaptionId);
        second.OpenLog();
        second.Log("**** Beginning update");
    }
    EXPECT_EQ(LogText(), "07 Dec 26 10:55:31 - **** Beginning full new-scheme install\r\n"
                         "08 Dec 26 11:55:31 - **** Beginning update\r\n");
}

TEST_F(InstallLogTest, ALineThatDoesNotFitOnAFullDiskIsCutBackAndTheNextLineTriesAgain) {
    const std::string first = "07 Dec 26 10:55:31 - first line\r\n";
    {
        CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
        sheet.OpenLog();
        sheet.Log("first line");
        tl::ScopedDiskSpace space(10);
        sheet.Log("**** %s", std::string(5000, 'x').c_str()); // ten bytes land, then the disk is full
        EXPECT_EQ(LogText(), first);
        sheet.Log("no room at all");
        EXPECT_EQ(LogText(), first);
        space.Free(4096);
        sheet.Log("room again");
    }
    CSetupSheet next(CSetupSheet::kUpdateCaptionId);
    next.OpenLog();
    next.Log("next run");
    EXPECT_EQ(LogText(), first + "07 Dec 26 10:55:31 - room again\r\n07 Dec 26 10:55:31 - next run\r\n");
}

TEST_F(InstallLogTest, PercentSignsInArgumentsAreWrittenAsTheyAre) {
    CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
    sheet.OpenLog();
    const std::string boxText = "Disk 100% full: %s %d %n";
    sheet.Log("**** %s", boxText.c_str());
    EXPECT_EQ(LogText(), "07 Dec 26 10:55:31 - **** Disk 100% full: %s %d %n\r\n");
}

TEST_F(InstallLogTest, LoggingBeforeOpenOrAfterFailedOpenDoesNothing) {
    {
        CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
        sheet.Log("before open");
        EXPECT_FALSE(sheet.IsLogOpen());
    }
    EXPECT_FALSE(std::filesystem::exists(Host("C:\\Users\\tester\\Documents\\TallymarInstallLog.txt")));

    machine().SetFolderPath(win::CSIDL_PERSONAL, "");
    CSetupSheet sheet(CSetupSheet::kInstallCaptionId);
    sheet.OpenLog();
    EXPECT_FALSE(sheet.IsLogOpen());
    sheet.Log("into nowhere %d", 1);
}

TEST_F(InstallLogTest, SecondSetupRunningAtTheSameTimeGetsNoLog) {
    std::optional<CSetupSheet> holder;
    holder.emplace(CSetupSheet::kInstallCaptionId);
    holder->OpenLog();
    ASSERT_TRUE(holder->IsLogOpen());
    holder->Log("first setup");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CSetupSheet second(CSetupSheet::kUpdateCaptionId);
        second.OpenLog();
        second.Log("second setup");
        ::_exit(second.IsLogOpen() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second process must run without a log";
    EXPECT_EQ(LogText(), "07 Dec 26 10:55:31 - first setup\r\n");

    // Once the first run ends, the lock goes with it.
    holder.reset();
    CSetupSheet later(CSetupSheet::kInstallCaptionId);
    later.OpenLog();
    EXPECT_TRUE(later.IsLogOpen());
}
