// The journal of an update's file work: how it is written and read, and how a run that finds one
// finishes or undoes the interrupted update, on real files in the machine prefix.
#include "update/UpdateJournal.h"

#include "platform/IoFaults.h"
#include "tests/release/UpdateTestBase.h"
#include "update/JournalSteps.h"
#include "update/RecoverInterruptedUpdate.h"

#include <cerrno>
#include <filesystem>
#include <gmock/gmock.h>
#include <map>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;

const Files kOld = {{"A.dll", "old A"}, {"B.dll", "old B"}, {"C.dll", "obsolete C"}, {"D.dll", ""}};
const Files kNew = {{"A.dll", "new A"}, {"B.dll", "new B"}, {"C.dll", ""}, {"D.dll", "new D"}};

class Recovery : public tltest::UpdateTestBase {
protected:
    fs::path Folder() const { return Host(kInstallDirectory); }
    fs::path Root() const { return Folder() / ".tlupdate"; }

    // The installation as a commit of kNew over kOld finds it, staged files ready, and the
    // commit's journal: A and B replaced, D new, C obsolete.
    UpdateJournal PrepareCommit() {
        fs::remove_all(Folder());
        fs::remove_all(UpdateJournalFolder());
        for (const auto& [name, bytes] : kOld) {
            if (!bytes.empty())
                WriteFile(Folder() / name, bytes);
        }
        for (const char* name : {"A.dll", "B.dll", "D.dll"})
            WriteFile(Root() / "new" / name, kNew.at(name));
        fs::create_directories(Root() / "old");
        UpdateJournal journal{UpdateJournal::Phase::Commit, {Root()}, {}};
        using enum JournalStepKind;
        for (const auto& [kind, name] : {std::pair{Backup, "A.dll"},
                                         {Install, "A.dll"},
                                         {Backup, "B.dll"},
                                         {Install, "B.dll"},
                                         {Install, "D.dll"},
                                         {Delete, "C.dll"}}) {
            if (kind == Install)
                journal.steps.push_back({kind, Root() / "new" / name, Folder() / name});
            else
                journal.steps.push_back({kind, Folder() / name, Root() / "old" / name});
        }
        EXPECT_EQ(WriteUpdateJournal(journal), win::ERROR_SUCCESS);
        return journal;
    }

    // Runs the first done steps, as a commit that a crash stopped there did.
    static void RunSteps(const UpdateJournal& journal, std::size_t done) {
        for (std::size_t i = 0; i < done; ++i)
            ASSERT_EQ(RunJournalStep(journal.steps[i]), 0) << i;
    }

    Files Installed() const {
        Files files;
        for (const auto& [name, bytes] : kOld)
            files[name] = fs::exists(Folder() / name) ? ReadFile(Folder() / name) : "";
        return files;
    }

    // Nothing of the update is left: no staging folder, no journal, no progress.
    void ExpectNothingLeft() const {
        EXPECT_FALSE(fs::exists(Root()));
        EXPECT_FALSE(fs::exists(UpdateJournalFile()));
        EXPECT_FALSE(fs::exists(UpdateProgressFile()));
    }
};

} // namespace

TEST_F(Recovery, TheJournalAndItsProgressReadBackAsWritten) {
    UpdateJournal journal;
    journal.phase = UpdateJournal::Phase::Commit;
    journal.stagingFolders = {"/x/100% sure/.tlupdate", "/x/tab\there/.tlupdate"};
    journal.steps = {
        {JournalStepKind::Backup, "/x/line\nfeed %09.dll", "/x/100% sure/.tlupdate/old/line\nfeed"},
        {JournalStepKind::Install, "/x/tab\there/.tlupdate/new/a\rb", "/x/%25 literal"},
        {JournalStepKind::Delete, "/x/end%", "/x/tab\there/.tlupdate/old/end%"}};
    ASSERT_EQ(WriteUpdateJournal(journal), win::ERROR_SUCCESS);
    std::string problem = "stale";
    const auto read = ReadUpdateJournal(problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(problem, "");
    EXPECT_EQ(read->phase, UpdateJournal::Phase::Commit);
    EXPECT_EQ(read->stagingFolders, journal.stagingFolders);
    ASSERT_EQ(read->steps.size(), journal.steps.size());
    for (std::size_t i = 0; i < journal.steps.size(); ++i) {
        EXPECT_EQ(read->steps[i].kind, journal.steps[i].kind) << i;
        EXPECT_EQ(read->steps[i].from, journal.steps[i].from) << i;
        EXPECT_EQ(read->steps[i].to, journal.steps[i].to) << i;
    }

    EXPECT_EQ(ReadJournalProgress().stepsDone, 0u) << "no progress: no step done";
    ASSERT_EQ(WriteJournalProgress({JournalProgress::State::Steps, 12}), win::ERROR_SUCCESS);
    EXPECT_EQ(ReadJournalProgress().stepsDone, 12u);
    ASSERT_EQ(WriteJournalProgress({JournalProgress::State::Done, 0}), win::ERROR_SUCCESS);
    EXPECT_EQ(ReadJournalProgress().state, JournalProgress::State::Done);
    ASSERT_EQ(WriteJournalProgress({JournalProgress::State::Undone, 0}), win::ERROR_SUCCESS);
    EXPECT_EQ(ReadJournalProgress().state, JournalProgress::State::Undone);

    EXPECT_EQ(RemoveUpdateJournal(), 0);
    EXPECT_FALSE(ReadUpdateJournal(problem));
    EXPECT_EQ(problem, "") << "no journal is no problem";
}

TEST_F(Recovery, AJournalThatIsNotWholeIsReportedAndLeftAlone) {
    const std::string head = "TlInstall update journal 1\nphase commit\n";
    const std::string folder = Folder().string();
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {head + "staging /s/.tlupdate\nbackup /a\t/s/.tlupdate/old/a\n", "no end"},
        {"TlInstall update journal 1\nphase comm", "no phase"},
        {"Some other program's journal\nend\n", "not a journal"},
        {"TlInstall update journal 1\nphase commit\nbackup /a%zz\t/b\nend\n",
         "a line that is not a step: backup /a%zz\t/b"},
        {"TlInstall update journal 1\nphase stage\nstaging relative/.tlupdate\nend\n",
         "a staging folder that is not a path"},
        // What a recovery would remove or move is not left to a damaged journal.
        {head + "staging " + folder + "\nend\n", "a staging folder that is not one: " + folder},
        {head + "staging " + Root().string() + "\nbackup " + folder + "/A.dll\t" + folder + "/B.dll\nend\n",
         "a step outside the staging folders: backup " + folder + "/A.dll\t" + folder + "/B.dll"},
    };
    for (const auto& c : cases) {
        RunSteps(PrepareCommit(), 3);
        const Files before = Installed();
        WriteFile(UpdateJournalFile(), c.text);
        RecoverInterruptedUpdate(sheet);
        EXPECT_EQ(LogLines().back(), "**** The journal of an interrupted update, " +
                                         UpdateJournalFile().string() + ", " + c.problem +
                                         "; it is left as it is");
        EXPECT_EQ(ReadFile(UpdateJournalFile()), c.text);
        EXPECT_EQ(Installed(), before) << c.text;
        EXPECT_TRUE(fs::exists(Root() / "old" / "A.dll")) << "the backups stay for someone to look at";
    }
}

// A crash after any step of the commit, the progress recorded or not yet: every file goes back.
TEST_F(Recovery, ACommitStoppedAfterAnyStepIsUndoneWholly) {
    const std::size_t steps = PrepareCommit().steps.size();
    for (std::size_t done = 0; done <= steps; ++done) {
        for (const bool progressLags : {false, true}) {
            if (progressLags && done == 0)
                continue;
            const UpdateJournal journal = PrepareCommit();
            RunSteps(journal, done);
            ASSERT_EQ(WriteJournalProgress({JournalProgress::State::Steps, done - (progressLags ? 1 : 0)}),
                      win::ERROR_SUCCESS);
            const std::size_t logged = LogLines().size();
            RecoverInterruptedUpdate(sheet);
            const auto lines = LogLines();
            EXPECT_THAT(std::vector(lines.begin() + static_cast<std::ptrdiff_t>(logged), lines.end()),
                        ElementsAre("**** Undoing an interrupted update"))
                << done;
            EXPECT_EQ(Installed(), kOld) << done << " steps done, progress lagging: " << progressLags;
            ExpectNothingLeft();
        }
    }
}

TEST_F(Recovery, EachStateEndsInTheOldFilesOrTheNewOnesWithNothingLeft) {
    const struct {
        const char* name;
        UpdateJournal::Phase phase;
        std::size_t stepsRun;
        std::optional<JournalProgress::State> progress;
        const char* line;
        const Files& result;
    } cases[] = {
        {"staging", UpdateJournal::Phase::Stage, 0, std::nullopt, "**** Undoing an interrupted update", kOld},
        {"every step done", UpdateJournal::Phase::Commit, 6, JournalProgress::State::Done,
         "**** Completing an interrupted update", kNew},
        {"undone", UpdateJournal::Phase::Commit, 0, JournalProgress::State::Undone,
         "**** Undoing an interrupted update", kOld},
    };
    for (const auto& c : cases) {
        UpdateJournal journal = PrepareCommit();
        RunSteps(journal, c.stepsRun);
        journal.phase = c.phase;
        ASSERT_EQ(WriteUpdateJournal(journal), win::ERROR_SUCCESS);
        if (c.progress) {
            ASSERT_EQ(WriteJournalProgress({*c.progress, 0}), win::ERROR_SUCCESS);
        }
        RecoverInterruptedUpdate(sheet);
        EXPECT_EQ(LogLines().back(), c.line) << c.name;
        EXPECT_EQ(Installed(), c.result) << c.name;
        ExpectNothingLeft();
        EXPECT_THAT(FolderContents(kInstallDirectory),
                    ElementsAre("A.dll", "B.dll", &c.result == &kNew ? "D.dll" : "C.dll"))
            << "no backup or staged file beside them";
    }
    const std::size_t logged = LogLines().size();
    RecoverInterruptedUpdate(sheet);
    EXPECT_EQ(LogLines().size(), logged) << "without a journal nothing happens";
}

TEST_F(Recovery, AFileThatCannotBePutBackKeepsTheJournalForTheNextRun) {
    const UpdateJournal journal = PrepareCommit();
    RunSteps(journal, 4);
    ASSERT_EQ(WriteJournalProgress({JournalProgress::State::Steps, 4}), win::ERROR_SUCCESS);
    {
        const fs::path a = Folder() / "A.dll";
        tl::ScopedWriteFault fault([&](const fs::path& target, tl::IoStep step) {
            return step == tl::IoStep::Rename && target == a ? EIO : 0;
        });
        RecoverInterruptedUpdate(sheet);
    }
    EXPECT_THAT(LogLines(),
                testing::Contains("**** Error 1117 trying to put back " + (Folder() / "A.dll").string()));
    EXPECT_TRUE(fs::exists(UpdateJournalFile()));
    EXPECT_TRUE(fs::exists(Root()));

    RecoverInterruptedUpdate(sheet);
    EXPECT_EQ(LogLines().back(), "**** Undoing an interrupted update");
    EXPECT_EQ(Installed(), kOld);
    ExpectNothingLeft();
}

TEST_F(Recovery, AJournalThatAnotherSetupHoldsIsLeftToIt) {
    const UpdateJournal journal = PrepareCommit();
    RunSteps(journal, 2);
    {
        const auto held = JournalLock::TryTake();
        ASSERT_TRUE(held);
        EXPECT_FALSE(JournalLock::TryTake()) << "one holder at a time";
        RecoverInterruptedUpdate(sheet);
        EXPECT_EQ(LogLines().back(), "**** Another setup is updating the installed files of this computer");
        EXPECT_TRUE(fs::exists(UpdateJournalFile()));
        EXPECT_EQ(Installed().at("A.dll"), "new A");
    }
    EXPECT_TRUE(JournalLock::TryTake()) << "free once its holder has gone";
    RecoverInterruptedUpdate(sheet);
    EXPECT_EQ(Installed(), kOld);
    ExpectNothingLeft();
}
