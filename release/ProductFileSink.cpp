#include "release/ProductFileSink.h"

#include "platform/CFileException.h"
#include "platform/FileTime.h"
#include "platform/LastError.h"
#include "platform/WindowsPath.h"
#include "release/WriteProductFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

namespace {

// An existing read-only file or a folder of that name is not replaced, as on Windows.
bool IsReplaceable(const std::string& hostPath) {
    struct stat existing {};
    return ::stat(hostPath.c_str(), &existing) != 0 ||
           (!S_ISDIR(existing.st_mode) && (existing.st_mode & S_IWUSR) != 0);
}

} // namespace

ProductFileSink::ProductFileSink(std::string_view path, std::int64_t fileTime, std::string_view replaces)
    : path_(path), fileTime_(fileTime), replaces_(replaces.empty() ? path : replaces) {}

bool ProductFileSink::Fail(DWORD error) {
    error_ = error;
    file_.reset(); // removes the temporary file
    return false;
}

bool ProductFileSink::Open() {
    DWORD error = win::ERROR_SUCCESS;
    const auto host = tl::MapToHostPath(path_, &error);
    if (!host)
        return Fail(error);
    const auto target = replaces_ == path_ ? host : tl::MapToHostPath(replaces_, &error);
    if (!target)
        return Fail(error);
    if (!IsReplaceable(host->string()) || !IsReplaceable(target->string()))
        return Fail(win::ERROR_ACCESS_DENIED);
    try {
        file_.emplace(tl::AtomicFile::Create(*host));
    } catch (const CFileException& e) {
        return Fail(e.OsError());
    }
    return true;
}

bool ProductFileSink::Accept(const std::uint8_t* bytes, std::size_t count) {
    if (error_ != win::ERROR_SUCCESS || (!file_ && !Open()))
        return false;
    const std::size_t head = std::min(count, head_.size() - headSize_);
    std::memcpy(head_.data() + headSize_, bytes, head);
    headSize_ += head;
    try {
        file_->Write(std::string_view(reinterpret_cast<const char*>(bytes), count));
    } catch (const CFileException& e) {
        return Fail(e.OsError());
    }
    return true;
}

bool ProductFileSink::Restart() {
    file_.reset();
    headSize_ = 0;
    return error_ == win::ERROR_SUCCESS;
}

DWORD ProductFileSink::Commit() {
    if (error_ != win::ERROR_SUCCESS || (!file_ && !Open()))
        return error_;
    try {
        if (::fchmod(file_->fd(), IsElfProgram(head_.data(), headSize_) ? 0755 : 0644) != 0) {
            Fail(win::ErrorFromErrno(errno));
            return error_;
        }
        if (fileTime_ >= 0 && !tl::SetLastWriteTime(file_->fd(), fileTime_)) {
            Fail(win::GetLastError());
            return error_;
        }
        file_->Commit();
    } catch (const CFileException& e) {
        Fail(e.OsError());
        return error_;
    }
    file_.reset();
    return win::ERROR_SUCCESS;
}
