#include "platform/AtomicFile.h"

#include "platform/CFileException.h"
#include "platform/HostFile.h"
#include "platform/IoFaults.h"
#include "platform/LastError.h"
#include "tests/support/TestMachine.h"

#include <algorithm>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using testing::EndsWith;
using testing::StartsWith;

namespace {

class AtomicFileTest : public tltest::MachineTest {
protected:
    AtomicFileTest() : folder(prefix() / "files"), target(folder / "hive.reg") {
        std::filesystem::create_directories(folder);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static mode_t Mode(const fs::path& path) {
        struct stat info {};
        ::stat(path.c_str(), &info);
        return info.st_mode & 07777;
    }

    fs::path folder;
    fs::path target;
};

// The text of the CFileException that writing "new" over the target throws.
std::string Failure(const fs::path& target) {
    try {
        tl::AtomicFile file = tl::AtomicFile::Create(target);
        file.Write("new");
        file.Commit();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.OsError(), win::ERROR_IO_DEVICE);
        return e.GetErrorMessage();
    }
    ADD_FAILURE() << "no failure";
    return {};
}

} // namespace

TEST_F(AtomicFileTest, AFailureAtAnyStepLeavesTheOldFileAndNoTemporaryFile) {
    WriteFile(target, "old");
    const std::string temp = (folder / ".hive.reg.tl.tmp.").string();
    const struct {
        tl::IoStep step;
        std::string start;
    } steps[] = {
        {tl::IoStep::Create, "Cannot create a temporary file for " + target.string()},
        {tl::IoStep::Write, "Cannot write " + temp},
        {tl::IoStep::Sync, "Cannot flush to disk " + temp},
        {tl::IoStep::Rename, "Cannot put the new file in place of " + target.string()},
    };
    for (const auto& [step, start] : steps) {
        tl::ScopedWriteFault fault([step](const fs::path&, tl::IoStep at) { return at == step ? EIO : 0; });
        const std::string failure = Failure(target);
        EXPECT_THAT(failure, StartsWith(start));
        EXPECT_THAT(failure, EndsWith(": Input/output error"));
        EXPECT_EQ(tl::WriteHostFileAtomically(target, "new"), win::ERROR_IO_DEVICE);
        EXPECT_EQ(ReadFile(target), "old");
        EXPECT_EQ(Names(), std::vector<std::string>{"hive.reg"}) << start;
    }
}

TEST_F(AtomicFileTest, AShortWriteOnAFullDiskLeavesTheOldFile) {
    WriteFile(target, "old");
    tl::ScopedDiskSpace space(100);
    EXPECT_EQ(tl::WriteHostFileAtomically(target, std::string(5000, 'x')), win::ERROR_DISK_FULL);
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"hive.reg"});
    space.Free(5000);
    EXPECT_EQ(tl::WriteHostFileAtomically(target, std::string(5000, 'x')), win::ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(target), std::string(5000, 'x'));
}

TEST_F(AtomicFileTest, CommitReplacesTheFileKeepingItsPermissions) {
    WriteFile(target, "old");
    ::chmod(target.c_str(), 0600);
    {
        tl::AtomicFile file = tl::AtomicFile::Create(target);
        EXPECT_TRUE(::fcntl(file.fd(), F_GETFD) & FD_CLOEXEC);
        EXPECT_TRUE(tl::AtomicFile::IsTemporaryName(file.TempPath().filename().string()));
        file.Write("new ");
        file.Write("content");
        EXPECT_EQ(ReadFile(target), "old") << "nothing changes before Commit";
        file.Commit();
    }
    EXPECT_EQ(ReadFile(target), "new content");
    EXPECT_EQ(Mode(target), 0600u);
    EXPECT_EQ(tl::WriteHostFileAtomically(folder / "fresh.xml", "<x/>"), win::ERROR_SUCCESS);
    EXPECT_EQ(Mode(folder / "fresh.xml"), 0644u);

    // Given up without a Commit: the temporary file goes, the target stays.
    {
        tl::AtomicFile file = tl::AtomicFile::Create(target);
        file.Write("abandoned");
        tl::AtomicFile moved = std::move(file);
    }
    EXPECT_EQ(ReadFile(target), "new content");
    EXPECT_EQ(Names(), (std::vector<std::string>{"fresh.xml", "hive.reg"}));
}

TEST_F(AtomicFileTest, OnlyTemporaryFilesThatNobodyWritesAreSweptAway) {
    const fs::path stale = folder / ".TLMUINST.xml.tl.tmp.Ab12Cd";
    WriteFile(stale, "half a file of a process that died");
    for (const char* other :
         {"notes.txt", ".x.tl.tmp.short", ".x.tl.tmp.ab_cde", "x.tl.tmp.Ab12Cd", ".tl.tmp.Ab12Cd"})
        WriteFile(folder / other, "not ours");
    tl::AtomicFile live = tl::AtomicFile::Create(folder / "live.bin");
    EXPECT_FALSE(fs::exists(stale)) << "the first write into a folder sweeps it";

    WriteFile(stale, "another");
    EXPECT_EQ(tl::AtomicFile::RemoveStaleTemporaries(folder), 1u);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live.TempPath())) << "a file being written is left alone";
    EXPECT_EQ(Names().size(), 6u);
    live.Commit();
    EXPECT_TRUE(fs::exists(folder / "live.bin"));
}
