#include "app/InstallLog.h"

#include "platform/Clock.h"
#include "platform/FileApi.h"
#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/WindowsPath.h"

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>

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
    file_ = std::move(fd);
}

void InstallLog::Write(const std::string& message) {
    if (!file_)
        return;
    const std::string line = TimeStamp(tl::Now()) + message + "\r\n";
    (void)tl::WriteAll(file_.get(), line, {});
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
