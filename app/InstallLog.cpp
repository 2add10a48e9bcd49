#include "app/InstallLog.h"

#include "platform/Clock.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/WindowsPath.h"

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void InstallLog::Open() {
    file_.reset();
    std::string documents;
    if (!win::SHGetSpecialFolderPath(win::CSIDL_PERSONAL, documents, false))
        return;
    const auto host = tl::MapToHostPath(tl::Format("%s\\TallymarInstallLog.txt", documents.c_str()));
    if (!host)
        return;
    tl::UniqueFd fd(::open(host->c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd)
        return;
    // Only one setup writes the log at a time; the others run without one.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return;
    file_ = std::move(fd);
    path_ = *host;
    end_ = info.st_size;
    cutPending_ = false;
}

void InstallLog::Write(const std::string& message) {
    if (!file_)
        return;
    // Only this process writes the file (it holds the lock), so its end is where the last line ended.
    if (cutPending_ && ::ftruncate(file_.get(), end_) != 0)
        return;
    cutPending_ = false;
    const std::string line = TimeStamp(tl::Now()) + message + "\r\n";
    if (tl::WriteAll(file_.get(), line, path_) == 0) {
        end_ += static_cast<off_t>(line.size());
        return;
    }
    cutPending_ = ::ftruncate(file_.get(), end_) != 0;
}

std::string InstallLog::TimeStamp(std::time_t when) {
    // Month names are fixed: the log reads the same whatever locale the desktop runs in.
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&when, &local);
    return tl::Format("%02d %s %02d %02d:%02d:%02d - ", local.tm_mday, kMonths[local.tm_mon % 12],
                      local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
}
