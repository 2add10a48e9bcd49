#include "platform/Archive.h"

#include "platform/CFileException.h"
#include "platform/LastError.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace tl {

namespace {

constexpr DWORD kErrorNoData = 232; // ERROR_NO_DATA: "The pipe is being closed."

// The text shown for a failed write or read, in the words Windows uses for pipes.
[[noreturn]] void ThrowWriteError(int error) {
    if (error == EPIPE || error == ECONNRESET)
        throw CFileException(kErrorNoData, "The pipe is being closed.");
    throw CFileException(win::ErrorFromErrno(error), std::strerror(error));
}

[[noreturn]] void ThrowReadError(int error) {
    if (error == ECONNRESET || error == EPIPE)
        throw CFileException(win::ERROR_BROKEN_PIPE, "The pipe has been ended.");
    throw CFileException(win::ErrorFromErrno(error), std::strerror(error));
}

[[noreturn]] void ThrowEndOfFile() {
    throw CArchiveException(CArchiveException::endOfFile,
                            "An attempt was made to access an unnamed file past its end.");
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetLittleEndian(const char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

} // namespace

std::string EncodeStringLength(std::size_t length) {
    std::string prefix;
    if (length < 0xFF) {
        prefix += static_cast<char>(length);
        return prefix;
    }
    prefix += '\xFF';
    if (length < 0xFFFE) {
        PutLittleEndian(prefix, static_cast<std::uint32_t>(length), 2);
        return prefix;
    }
    if (length >= 0xFFFFFFFFu)
        throw CArchiveException(CArchiveException::genericException,
                                "A string of 4 GiB or more cannot be stored.");
    PutLittleEndian(prefix, 0xFFFF, 2);
    PutLittleEndian(prefix, static_cast<std::uint32_t>(length), 4);
    return prefix;
}

void ArchiveWriter::WriteDword(DWORD value) {
    if (buffer_.size() - used_ >= 4) {
        for (int i = 0; i < 4; ++i)
            buffer_[used_++] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return;
    }
    std::string bytes;
    PutLittleEndian(bytes, value, 4);
    Write(bytes.data(), bytes.size());
}

void ArchiveWriter::WriteString(std::string_view text) {
    // Most strings are short and fit in the buffer as they are.
    if (text.size() < 0xFF && buffer_.size() - used_ > text.size()) {
        buffer_[used_++] = static_cast<char>(text.size());
        std::memcpy(buffer_.data() + used_, text.data(), text.size());
        used_ += text.size();
        return;
    }
    const std::string prefix = EncodeStringLength(text.size());
    Write(prefix.data(), prefix.size());
    Write(text.data(), text.size());
}

void ArchiveWriter::Write(const char* data, std::size_t size) {
    while (size > 0) {
        if (used_ == buffer_.size())
            Flush();
        const std::size_t chunk = std::min(size, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, data, chunk);
        used_ += chunk;
        data += chunk;
        size -= chunk;
    }
}

void ArchiveWriter::Flush() {
    std::size_t sent = 0;
    while (sent < used_) {
        // MSG_NOSIGNAL: a reader that went away must be an error here, not a signal that ends us.
        const ssize_t n = ::send(fd_, buffer_.data() + sent, used_ - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            used_ = 0;
            ThrowWriteError(errno);
        }
        sent += static_cast<std::size_t>(n);
    }
    used_ = 0;
}

bool ArchiveReader::Fill() {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowReadError(errno);
        position_ = 0;
        end_ = static_cast<std::size_t>(n);
        return n > 0;
    }
}

void ArchiveReader::Read(char* data, std::size_t size) {
    while (size > 0) {
        if (position_ == end_ && !Fill())
            ThrowEndOfFile();
        const std::size_t chunk = std::min(size, end_ - position_);
        std::memcpy(data, buffer_.data() + position_, chunk);
        position_ += chunk;
        data += chunk;
        size -= chunk;
    }
}

void ArchiveReader::ReadInto(std::string& text, std::size_t size) {
    text.clear();
    text.reserve(std::min<std::size_t>(size, std::size_t{1} << 20));
    while (size > 0) {
        if (position_ == end_ && !Fill())
            ThrowEndOfFile();
        const std::size_t chunk = std::min(size, end_ - position_);
        text.append(buffer_.data() + position_, chunk);
        position_ += chunk;
        size -= chunk;
    }
}

DWORD ArchiveReader::ReadDword() {
    if (end_ - position_ >= 4) {
        const DWORD value = GetLittleEndian(buffer_.data() + position_, 4);
        position_ += 4;
        return value;
    }
    char bytes[4];
    Read(bytes, sizeof bytes);
    return GetLittleEndian(bytes, 4);
}

std::string ArchiveReader::ReadString() {
    std::string text;
    ReadString(text);
    return text;
}

void ArchiveReader::ReadString(std::string& text) {
    // Most strings are short and lie whole in the buffer.
    if (position_ < end_) {
        const std::size_t length = static_cast<unsigned char>(buffer_[position_]);
        if (length < 0xFF && end_ - position_ > length) {
            text.assign(buffer_.data() + position_ + 1, length);
            position_ += 1 + length;
            return;
        }
    }
    char first = 0;
    Read(&first, 1);
    std::uint32_t length = static_cast<unsigned char>(first);
    if (length == 0xFF) {
        char word[2];
        Read(word, sizeof word);
        length = GetLittleEndian(word, 2);
        if (length == 0xFFFE)
            throw CArchiveException(CArchiveException::badSchema, "Unexpected file format.");
        if (length == 0xFFFF) {
            char dword[4];
            Read(dword, sizeof dword);
            length = GetLittleEndian(dword, 4);
            if (length == 0xFFFFFFFFu)
                throw CArchiveException(CArchiveException::badSchema, "Unexpected file format.");
        }
    }
    ReadInto(text, length);
}

} // namespace tl
