#include "tools/publish/ServedFile.h"

#include "platform/Format.h"
#include "platform/HostFile.h"
#include "platform/IoFaults.h"
#include "platform/UniqueFd.h"
#include "crypto/Sha256.h"
#include "tools/publish/ZlibDeflater.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>
#include <vector>

namespace {

std::string SystemError(const char* what, const std::filesystem::path& path, int error) {
    return tl::Format("%s %s: %s", what, path.c_str(), std::strerror(error));
}

// Replaces the compressed content of the served file with the product file's own bytes.
int CopyRaw(int sourceFd, int servedFd, const std::filesystem::path& servedPath, std::uint64_t size) {
    if (const int fault = tl::WriteFaultFor(servedPath); fault != 0)
        return fault;
    if (::ftruncate(servedFd, 0) != 0 || ::lseek(servedFd, 0, SEEK_SET) != 0)
        return errno;
    off_t offset = 0;
    while (static_cast<std::uint64_t>(offset) < size) {
        const ssize_t sent = ::sendfile(servedFd, sourceFd, &offset, static_cast<std::size_t>(size) - offset);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0)
            return errno;
        if (sent == 0)
            return EIO; // the file shrank while it was published
    }
    return 0;
}

} // namespace

bool WriteServedFile(int sourceFd, const std::filesystem::path& servedPath, ServedFile& result,
                     std::string& error) {
    const tl::UniqueFd served(::open(servedPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!served) {
        error = SystemError("cannot create", servedPath, errno);
        return false;
    }
    Sha256 digest;
    ZlibDeflater deflater;
    result = ServedFile{};
    bool looksCompressed = false;
    const auto sink = [&](std::string_view bytes) {
        result.servedSize += bytes.size();
        return tl::WriteAll(served.get(), bytes, servedPath);
    };
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::pread(sourceFd, buffer.data(), buffer.size(), static_cast<off_t>(result.size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = tl::Format("cannot be read: %s", std::strerror(errno));
            return false;
        }
        const std::string_view piece(buffer.data(), static_cast<std::size_t>(got));
        if (result.size == 0 && piece.size() >= 2)
            looksCompressed = piece[0] == '\x78' && piece[1] == '\x9C';
        result.size += piece.size();
        if (result.size > kMostBytesPerDownload) {
            error = tl::Format("is larger than the %llu bytes the setup program downloads",
                               static_cast<unsigned long long>(kMostBytesPerDownload));
            return false;
        }
        digest.Update(piece);
        if (const int failure = deflater.Deflate(piece, piece.empty(), sink); failure != 0) {
            error = SystemError("cannot write", servedPath, failure);
            return false;
        }
        if (piece.empty())
            break;
    }
    result.sha256 = digest.HexDigest();
    result.compressed = result.servedSize < result.size || result.size == 0 || looksCompressed;
    if (!result.compressed) {
        if (const int failure = CopyRaw(sourceFd, served.get(), servedPath, result.size); failure != 0) {
            error = SystemError("cannot write", servedPath, failure);
            return false;
        }
        result.servedSize = result.size;
    }
    if (result.servedSize > kMostBytesPerDownload) {
        error = tl::Format("is larger, compressed, than the %llu bytes the setup program downloads",
                           static_cast<unsigned long long>(kMostBytesPerDownload));
        return false;
    }
    if (::fsync(served.get()) != 0) {
        error = SystemError("cannot write", servedPath, errno);
        return false;
    }
    return true;
}
