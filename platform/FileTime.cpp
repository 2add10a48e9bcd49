#include "platform/FileTime.h"

#include "platform/LastError.h"
#include "platform/WindowsPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace win {

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kSecondsPerDay = 86400;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 January 1601 to the given date (proleptic Gregorian calendar).
std::int64_t DaysSince1601(int year, int month, int day) {
    // Count from 1 March of year 0 so that the leap day falls at the end of each counted year.
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int monthFromMarch = (month + 9) % 12;
    const int dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t daysFromYear0March = std::int64_t{era} * 146097 + dayOfEra;
    constexpr std::int64_t kDaysFromYear0MarchTo1601 = 584694; // 1 January 1601 counted the same way
    return daysFromYear0March - kDaysFromYear0MarchTo1601;
}

} // namespace

bool SystemTimeToFileTime(const SYSTEMTIME& time, std::int64_t& fileTime) {
    if (time.wYear < 1601 || time.wYear > 30827 || time.wMonth < 1 || time.wMonth > 12 || time.wDay < 1 ||
        time.wDay > DaysInMonth(time.wYear, time.wMonth) || time.wHour > 23 || time.wMinute > 59 ||
        time.wSecond > 59 || time.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const std::int64_t seconds = DaysSince1601(time.wYear, time.wMonth, time.wDay) * kSecondsPerDay +
                                 time.wHour * 3600 + time.wMinute * 60 + time.wSecond;
    fileTime = seconds * kTicksPerSecond + std::int64_t{time.wMilliseconds} * 10000;
    return true;
}

bool FileTimeToSystemTime(std::int64_t fileTime, SYSTEMTIME& time) {
    if (fileTime < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const std::int64_t totalSeconds = fileTime / kTicksPerSecond;
    std::int64_t days = totalSeconds / kSecondsPerDay;
    const std::int64_t secondOfDay = totalSeconds % kSecondsPerDay;
    time.wDayOfWeek = static_cast<WORD>((days + 1) % 7); // 1 January 1601 was a Monday
    // Back to a civil date, counting from 1 March of year 0 as above.
    days += 584694;
    const std::int64_t era = days / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    time.wYear = static_cast<WORD>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    time.wHour = static_cast<WORD>(secondOfDay / 3600);
    time.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    time.wSecond = static_cast<WORD>(secondOfDay % 60);
    time.wMilliseconds = static_cast<WORD>(fileTime % kTicksPerSecond / 10000);
    return true;
}

} // namespace win

namespace tl {

std::int64_t FileTimeFromTimespec(const timespec& time) {
    return kFileTimeOfUnixEpoch + std::int64_t{time.tv_sec} * 10000000 + time.tv_nsec / 100;
}

timespec TimespecFromFileTime(std::int64_t fileTime) {
    std::int64_t ticks = fileTime - kFileTimeOfUnixEpoch;
    std::int64_t seconds = ticks / 10000000;
    std::int64_t rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec = static_cast<long>(rest * 100);
    return result;
}

UniqueFd OpenFileForReading(std::string_view path) {
    // A path that exists in the case given needs no matching of its names.
    const auto given = HostPathAsGiven(path);
    UniqueFd fd(given ? ::open(given->c_str(), O_RDONLY | O_CLOEXEC) : -1);
    if (!fd) {
        DWORD error = win::ERROR_SUCCESS;
        const auto host = MapToHostPath(path, &error);
        if (!host) {
            win::SetLastError(error);
            return UniqueFd();
        }
        fd.reset(::open(host->c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd) {
            win::SetLastError(win::ErrorFromErrno(errno));
            return fd;
        }
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) {
        win::SetLastError(win::ERROR_ACCESS_DENIED); // Windows does not open a folder as a file
        return UniqueFd();
    }
    return fd;
}

bool GetLastWriteTime(int fd, std::int64_t& fileTime) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        win::SetLastError(win::ErrorFromErrno(errno));
        return false;
    }
    fileTime = FileTimeFromTimespec(info.st_mtim);
    return true;
}

bool SetLastWriteTime(int fd, std::int64_t fileTime) {
    timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = TimespecFromFileTime(fileTime);
    if (::futimens(fd, times) != 0) {
        win::SetLastError(win::ErrorFromErrno(errno));
        return false;
    }
    return true;
}

} // namespace tl
