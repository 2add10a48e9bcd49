#pragma once

#include "platform/UniqueFd.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <sys/types.h>

/// The install log: "TallymarInstallLog.txt" in the user's documents folder, appended to by every
/// run, one time-stamped CR LF line per message. The file is held with an exclusive lock for the
/// whole run, so a second setup running at the same time gets no log; the lock dies with its
/// process. Failures are never reported: they only mean that the run is not logged. A line reaches
/// the log whole or not at all: when a write fails half-way (a full disk), the file is cut back to
/// where the line began, and the next line tries again.
class InstallLog {
public:
    /// Opens (creating it if needed) and locks the log. Leaves the log closed when the documents
    /// folder is unavailable, the file cannot be opened, or another process holds it.
    void Open();
    bool IsOpen() const { return static_cast<bool>(file_); }
    /// Writes "<dd Mon yy HH:MM:SS> - <message>\r\n" in one write; does nothing while closed.
    void Write(const std::string& message);
    void Close() { file_.reset(); }

    /// The time stamp of a line, "%d %b %y %H:%M:%S - " in local time with English month names.
    static std::string TimeStamp(std::time_t when);

private:
    tl::UniqueFd file_;
    std::filesystem::path path_;
    off_t end_ = 0;           // where the last whole line ends
    bool cutPending_ = false; // a torn line is still to be cut off
};
