// The crash harness: an update of a 200-file release, published with tlpublish, run in a child
// process that kills itself with SIGKILL at 50 points of its stage and commit phases. After each,
// the next run must leave the old release or the new one, whole, and nothing of the update.
#include "app/CSetupSheet.h"
#include "crypto/Sha256.h"
#include "platform/PathHelpers.h"
#include "tests/release/LoopbackServer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestMachine.h"
#include "update/RecoverInterruptedUpdate.h"
#include "update/UpdateJournal.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gmock/gmock.h>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 200;
constexpr int kStagePoints = 20;
constexpr int kCommitPoints = 30;
constexpr int kSigKill = 128 + SIGKILL;

/// Host path of an installed file -> SHA-256 of its bytes.
using Release = std::map<fs::path, std::string>;

class UpdateCrash : public tltest::MachineTest {
protected:
    struct Events {
        long beforeStage = 0, afterStage = 0, firstRemoval = 0, afterCommit = 0;
    };

    // The folder of file i: most in the install directory, some shared, some per user.
    fs::path FolderOf(int i) const {
        if (i % 10 == 9)
            return Host(tl::GetLocalAppDataDir());
        return Host(i % 10 >= 6 ? "C:\\TallymarData" : "C:\\Program Files\\Fenmore Software\\Tallymar");
    }
    static std::string NameOf(int i) { return "File" + std::to_string(1000 + i) + ".dat"; }

    fs::path Output(int release) const { return work_.Path() / ("www-" + std::to_string(release)); }

    // Publishes a release into Output: release 1 has files 0-199, release 2 replaces 0-179, keeps
    // 180-189, retires 190-199 and adds 200-209. What it installs.
    Release Publish(int release) {
        const fs::path folder = work_.Path() / ("release-" + std::to_string(release));
        std::string description =
            "[Release]\nDatabaseLevel=15\nUpdateLevel=" + std::to_string(release) + "\n";
        Release files;
        for (int i = 0; i < kFiles + (release == 2 ? 10 : 0); ++i) {
            const char* where = i % 10 == 9 ? ", LocalAppData" : i % 10 >= 6 ? ", SharedFolder" : "";
            description += "[SupportFile " + NameOf(i) + "]\n";
            if (release == 2 && i >= 190 && i < 200) {
                description += std::string("Flags=Obsolete") + where + "\n";
                continue;
            }
            description += std::string("Flags=InstallIfAbsent") + where + "\n";
            const int made = release == 2 && i >= 180 && i < 190 ? 1 : release;
            const std::string bytes = Bytes(i, made);
            WriteFile(folder / NameOf(i), bytes);
            const time_t mtime = made == 1 ? 1700000000 : 1710000000;
            const timespec times[2] = {{mtime, 0}, {mtime, 0}};
            EXPECT_EQ(::utimensat(AT_FDCWD, (folder / NameOf(i)).c_str(), times, 0), 0);
            files[FolderOf(i) / NameOf(i)] = Sha256::Of(bytes);
        }
        WriteFile(folder / "release.ini", description);
        tltest::ChildProcess publish({TL_PUBLISH_PROGRAM, folder.string(), Output(release).string()},
                                     tltest::MachineEnvironment());
        EXPECT_EQ(publish.WaitForExit(60000), 0);
        return files;
    }
    // Small files, half of them text that the publishing tool sends compressed.
    static std::string Bytes(int i, int release) {
        std::mt19937 generator(static_cast<unsigned>(i * 7 + release));
        std::string bytes = "release " + std::to_string(release) + " file " + std::to_string(i) + "\n";
        for (int n = 0; n < 64 + i % 64; ++n)
            bytes += i % 2 == 0 ? static_cast<char>(generator()) : static_cast<char>('a' + generator() % 4);
        return bytes;
    }

    void Serve(int release) {
        const fs::path output = Output(release);
        for (const auto& entry : fs::recursive_directory_iterator(output)) {
            if (entry.is_regular_file())
                server.Serve("/" + fs::relative(entry.path(), output).string(), ReadFile(entry.path()));
        }
    }

    // Runs the update in a child process; its exit status, and the events it counted.
    int RunChild(long killAt, Events* events = nullptr) {
        tltest::ChildProcess child({TL_UPDATE_CRASH_CHILD, server.BaseUrl(), std::to_string(killAt)},
                                   tltest::MachineEnvironment());
        if (events) {
            const std::string line = child.ReadLine(60000).value_or("");
            std::istringstream(line.substr(line.find(' ') + 1)) >> events->beforeStage >>
                events->afterStage >> events->firstRemoval >> events->afterCommit;
        }
        return child.WaitForExit(60000);
    }

    void Snapshot() { CopyTree(prefix(), saved_.Path()); }
    void Restore() {
        for (const auto& entry : fs::directory_iterator(prefix()))
            fs::remove_all(entry.path());
        CopyTree(saved_.Path(), prefix());
    }
    // With the files' times, which the update compares with the release's.
    static void CopyTree(const fs::path& from, const fs::path& to) {
        for (const auto& entry : fs::recursive_directory_iterator(from)) {
            const fs::path target = to / fs::relative(entry.path(), from);
            if (entry.is_directory()) {
                fs::create_directories(target);
            } else {
                fs::copy_file(entry.path(), target);
                fs::last_write_time(target, entry.last_write_time());
            }
        }
    }

    // Which release the files hold, whole: 1 or 2, or 0 for a mix or anything left beside them.
    int WholeRelease() const {
        std::set<fs::path> folders;
        for (int i = 0; i < kFiles; ++i)
            folders.insert(FolderOf(i));
        Release found;
        const fs::path temp =
            (Host(tl::Machine::Current().TempPath()) / "").parent_path(); // in local app data
        for (const fs::path& folder : folders) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(folder, error)) {
                if (entry.path() != temp)
                    found[entry.path()] =
                        entry.is_regular_file() ? Sha256::Of(ReadFile(entry.path())) : "a folder";
            }
        }
        if (found == old_ || found == new_)
            return found == old_ ? 1 : 2;
        mismatch_ = "";
        for (const Release* release : {&old_, &new_}) {
            const auto differ = std::mismatch(found.begin(), found.end(), release->begin(), release->end());
            mismatch_ += " [" + (differ.first == found.end() ? "-" : differ.first->first.string()) + " / " +
                         (differ.second == release->end() ? "-" : differ.second->first.string()) + "]";
        }
        return 0;
    }
    /// Where the files first differ from each release: [found / release 1] [found / release 2].
    mutable std::string mismatch_;
    // Nothing of an update is left in the journal's folder but its lock.
    static bool NoJournalLeft() {
        for (const auto& entry : fs::directory_iterator(UpdateJournalFolder())) {
            if (entry.path().filename() != "lock")
                return false;
        }
        return true;
    }
    void Recover() {
        CSetupSheet sheet{CSetupSheet::kUpdateCaptionId};
        sheet.OpenLog();
        RecoverInterruptedUpdate(sheet);
    }

    tltest::LoopbackServer server;
    Release old_;
    Release new_;

private:
    tltest::TempFolder work_;
    tltest::TempFolder saved_;
};

// Points spread evenly over (from, to], the first and last included.
std::vector<long> Spread(long from, long to, int count) {
    std::vector<long> points;
    for (int k = 0; k < count; ++k)
        points.push_back(from + 1 + (to - from - 1) * k / (count - 1));
    return points;
}

} // namespace

TEST_F(UpdateCrash, AKillAtAnyPointOfTheStageOrCommitLeavesOneReleaseWhole) {
    old_ = Publish(1);
    new_ = Publish(2);
    Serve(1);
    ASSERT_EQ(RunChild(0), 0) << "the old release installed";
    ASSERT_EQ(WholeRelease(), 1) << mismatch_;
    Serve(2);
    Snapshot();

    Events events;
    ASSERT_EQ(RunChild(0, &events), 0) << "the update without a kill";
    ASSERT_EQ(WholeRelease(), 2) << mismatch_;
    ASSERT_TRUE(events.beforeStage < events.afterStage && events.afterStage < events.firstRemoval &&
                events.firstRemoval + 2 <= events.afterCommit)
        << events.beforeStage << " " << events.afterStage << " " << events.firstRemoval << " "
        << events.afterCommit;

    // 20 points over the stage (from its journal to the last staged file), 27 over the commit (from
    // its journal to the last progress), then the removal of each of the three staging folders.
    std::vector<long> points = Spread(events.beforeStage, events.afterStage, kStagePoints);
    for (const long point : Spread(events.afterStage, events.firstRemoval - 1, kCommitPoints - 3))
        points.push_back(point);
    for (long point = events.firstRemoval; point < events.firstRemoval + 3; ++point)
        points.push_back(point);
    std::map<int, int> ended; // release -> points
    for (std::size_t n = 0; n < points.size(); ++n) {
        const long point = points[n];
        Restore();
        ASSERT_EQ(RunChild(point), kSigKill) << "point " << point;
        // Every fifth point of the commit, the recovery is itself killed on its way.
        if (point > events.afterStage && n % 5 == 0) {
            EXPECT_EQ(RunChild(2), kSigKill) << "point " << point;
        }
        Recover();
        const int release = WholeRelease();
        EXPECT_NE(release, 0) << "a mix, or files left beside them, after a kill at event " << point
                              << mismatch_;
        EXPECT_TRUE(NoJournalLeft()) << "point " << point;
        ++ended[release];
    }
    EXPECT_EQ(ended[1] + ended[2], kStagePoints + kCommitPoints);
    EXPECT_EQ(ended[2], 3) << "only a kill after the last step ends in the new release";
    ASSERT_EQ(RunChild(0), 0) << "after the last recovery the update goes through";
    EXPECT_EQ(WholeRelease(), 2) << mismatch_;
}
