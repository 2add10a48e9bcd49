#pragma once

#include "platform/UniqueFd.h"

#include <ctime>
#include <string>

/// The install log: "TallymarInstallLog.txt" in the user's documents folder, appended to by every
/// run, one time-stamped CR LF line per message. The file is held with an exclusive lock for the
/// whole run, so a second setup running at the same time gets no log; the lock dies with its
/// process. Failures are never reported: they only mean that the run is not logged.
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
};
