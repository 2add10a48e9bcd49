#pragma once

#include "platform/UniqueFd.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <ctime>
#include <string_view>

// Windows file times (100-ns ticks since 1 January 1601, UTC) and calendar times, as the program
// stores and compares them, on top of the host's modification times.
namespace win {

using WORD = std::uint16_t;

/// A broken-down UTC time, field for field as Windows has it.
struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

/// Converts without any time-zone conversion. False when a field is out of range (year 1601 to
/// 30827, a real month and day, hour 0-23, minute and second 0-59, milliseconds 0-999); the day
/// of the week is ignored.
bool SystemTimeToFileTime(const SYSTEMTIME& time, std::int64_t& fileTime);

/// False for a negative file time.
bool FileTimeToSystemTime(std::int64_t fileTime, SYSTEMTIME& time);

} // namespace win

namespace tl {

/// The file time of 1 January 1970, the host's epoch.
inline constexpr std::int64_t kFileTimeOfUnixEpoch = 116444736000000000LL;

std::int64_t FileTimeFromTimespec(const timespec& time);
/// A file time as a host time; times before 1970 give negative seconds.
timespec TimespecFromFileTime(std::int64_t fileTime);

/// Opens an existing file of the machine for reading, shared with other readers and writers.
/// An empty descriptor on failure, with the Windows error in win::GetLastError.
UniqueFd OpenFileForReading(std::string_view path);

/// The last-write time of an open file. False (with the last error set) when it cannot be read.
bool GetLastWriteTime(int fd, std::int64_t& fileTime);

/// Sets the last-write time of an open file and leaves its access time alone. False (with the
/// last error set) on failure.
bool SetLastWriteTime(int fd, std::int64_t fileTime);

} // namespace tl
