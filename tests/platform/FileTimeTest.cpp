#include "platform/FileTime.h"

#include "platform/LastError.h"
#include "tests/support/TestMachine.h"

#include <sys/stat.h>

using win::SYSTEMTIME;

namespace {

class FileTime : public tltest::MachineTest {};

SYSTEMTIME Make(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
    SYSTEMTIME time;
    time.wYear = static_cast<win::WORD>(year);
    time.wMonth = static_cast<win::WORD>(month);
    time.wDay = static_cast<win::WORD>(day);
    time.wHour = static_cast<win::WORD>(hour);
    time.wMinute = static_cast<win::WORD>(minute);
    time.wSecond = static_cast<win::WORD>(second);
    time.wMilliseconds = static_cast<win::WORD>(ms);
    return time;
}

} // namespace

TEST_F(FileTime, CalendarTimesConvertBothWaysAsUtc) {
    struct Case {
        SYSTEMTIME time;
        std::int64_t fileTime;
        int dayOfWeek;
    };
    const Case cases[] = {
        {Make(1601, 1, 1), 0, 1},
        {Make(1970, 1, 1), 116444736000000000LL, 4},
        {Make(2000, 2, 29, 12, 34, 56, 789), 125963012967890000LL, 2},
        {Make(2024, 12, 31, 23, 59, 59, 999), 133801631999990000LL, 2},
        {Make(2100, 3, 1), 157520160000000000LL, 1},
    };
    for (const Case& c : cases) {
        std::int64_t fileTime = -1;
        ASSERT_TRUE(win::SystemTimeToFileTime(c.time, fileTime)) << c.time.wYear;
        EXPECT_EQ(fileTime, c.fileTime) << c.time.wYear;
        SYSTEMTIME back;
        ASSERT_TRUE(win::FileTimeToSystemTime(fileTime, back));
        EXPECT_EQ(back.wYear, c.time.wYear);
        EXPECT_EQ(back.wMonth, c.time.wMonth);
        EXPECT_EQ(back.wDay, c.time.wDay);
        EXPECT_EQ(back.wHour, c.time.wHour);
        EXPECT_EQ(back.wMinute, c.time.wMinute);
        EXPECT_EQ(back.wSecond, c.time.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.time.wMilliseconds);
        EXPECT_EQ(back.wDayOfWeek, c.dayOfWeek) << c.time.wYear;
    }
}

TEST_F(FileTime, OutOfRangeFieldsAreRefused) {
    const SYSTEMTIME invalid[] = {
        Make(0, 0, 0),           Make(1600, 12, 31),         Make(1900, 2, 29),
        Make(2023, 13, 1),       Make(2023, 4, 31),          Make(2023, 1, 1, 24),
        Make(2023, 1, 1, 0, 60), Make(2023, 1, 1, 0, 0, 60), Make(2023, 1, 1, 0, 0, 0, 1000)};
    for (const SYSTEMTIME& time : invalid) {
        std::int64_t fileTime = 7;
        EXPECT_FALSE(win::SystemTimeToFileTime(time, fileTime))
            << time.wYear << "-" << time.wMonth << "-" << time.wDay;
        EXPECT_EQ(fileTime, 7);
    }
    SYSTEMTIME time;
    EXPECT_FALSE(win::FileTimeToSystemTime(-1, time));
}

TEST_F(FileTime, LastWriteTimeIsSetAndReadWithoutTouchingTheAccessTime) {
    WriteFile(Host("C:\\data\\file.txt"), "x");
    const auto host = Host("C:\\data\\file.txt");
    struct stat before {};
    ASSERT_EQ(::stat(host.c_str(), &before), 0);

    tl::UniqueFd fd = tl::OpenFileForReading("C:\\DATA\\File.txt");
    ASSERT_TRUE(fd);
    const std::int64_t wanted = 133801631990000000LL; // 31 Dec 2024 23:59:59 UTC
    ASSERT_TRUE(tl::SetLastWriteTime(fd.get(), wanted));
    std::int64_t read = 0;
    ASSERT_TRUE(tl::GetLastWriteTime(fd.get(), read));
    EXPECT_EQ(read, wanted);

    struct stat after {};
    ASSERT_EQ(::stat(host.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtime, 1735689599);
    EXPECT_EQ(after.st_atim.tv_sec, before.st_atim.tv_sec);
    EXPECT_EQ(after.st_atim.tv_nsec, before.st_atim.tv_nsec);
}

TEST_F(FileTime, OpeningForReadingFailsLikeWindows) {
    EXPECT_FALSE(tl::OpenFileForReading("C:\\missing.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(tl::OpenFileForReading("C:\\Users"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    EXPECT_FALSE(tl::OpenFileForReading("Q:\\file.txt"));
    EXPECT_EQ(win::GetLastError(), win::ERROR_PATH_NOT_FOUND);
}

TEST_F(FileTime, HostTimesBeforeAndAfterTheEpochMapExactly) {
    timespec early{};
    early.tv_sec = -1;
    early.tv_nsec = 500000000;
    EXPECT_EQ(tl::FileTimeFromTimespec(early), tl::kFileTimeOfUnixEpoch - 5000000);
    const timespec back = tl::TimespecFromFileTime(tl::kFileTimeOfUnixEpoch - 5000000);
    EXPECT_EQ(back.tv_sec, -1);
    EXPECT_EQ(back.tv_nsec, 500000000);
}
