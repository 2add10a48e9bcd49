#pragma once

#include "platform/CException.h"
#include "platform/WinTypes.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

/// A stream that broke off in the middle of a value or that does not hold what its reader expects.
class CArchiveException : public CException {
public:
    /// The causes of the application framework's archive exception, with its numbers.
    enum Cause { genericException = 1, endOfFile = 3, badIndex = 5, badSchema = 7 };

    CArchiveException(Cause cause, std::string message) : CException(std::move(message)), cause_(cause) {}
    Cause GetCause() const { return cause_; }

private:
    Cause cause_;
};

namespace tl {

// The application framework's archive encoding on a stream socket, as both ends of the import
// channel read and write it. All integers are little-endian:
//   DWORD  4 bytes, unsigned.
//   string the length, then the bytes without a terminator. The length is one byte when it is
//          below 255; else the byte 0xFF and 2 bytes when it is below 0xFFFE; else 0xFF, the
//          2-byte value 0xFFFF and 4 bytes.

/// The length prefix of a string of length bytes.
std::string EncodeStringLength(std::size_t length);

/// Writes values through a buffer; nothing is sent before the buffer is full or Flush. The buffer
/// is 64 KiB rather than the framework's 4 KiB: the bytes on the wire are the same, and a big
/// import crosses the socket in a sixteenth of the system calls.
/// Writes never raise SIGPIPE: a closed other end is an exception.
class ArchiveWriter {
public:
    static constexpr std::size_t kBufferSize = 65536;

    /// fd is a connected stream socket that outlives the writer.
    explicit ArchiveWriter(int fd) : fd_(fd) {}
    ArchiveWriter(const ArchiveWriter&) = delete;
    ArchiveWriter& operator=(const ArchiveWriter&) = delete;

    /// Each throws CFileException when a full buffer cannot be sent (ERROR_NO_DATA when the other
    /// end has closed) and CArchiveException (genericException) for a string of 4 GiB or more.
    void WriteDword(DWORD value);
    void WriteString(std::string_view text);
    /// Sends everything buffered. Throws CFileException as above.
    void Flush();

private:
    void Write(const char* data, std::size_t size);

    int fd_;
    std::array<char, kBufferSize> buffer_{};
    std::size_t used_ = 0;
};

/// Reads values through a 64 KiB buffer.
class ArchiveReader {
public:
    static constexpr std::size_t kBufferSize = 65536;

    /// fd is a connected stream socket that outlives the reader.
    explicit ArchiveReader(int fd) : fd_(fd) {}
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    /// Each throws CArchiveException (endOfFile) when the stream ends before the value does,
    /// CArchiveException (badSchema) for a string prefix that this encoding never writes (the
    /// 2-byte value 0xFFFE, or a 4-byte length of 0xFFFFFFFF), and CFileException when reading
    /// fails. Memory follows the bytes that arrive, not the length a prefix announces.
    DWORD ReadDword();
    std::string ReadString();
    /// As ReadString, into text, reusing its storage.
    void ReadString(std::string& text);

private:
    void Read(char* data, std::size_t size);
    void ReadInto(std::string& text, std::size_t size);
    /// Refills the buffer; false at the end of the stream.
    bool Fill();

    int fd_;
    std::array<char, kBufferSize> buffer_{};
    std::size_t position_ = 0;
    std::size_t end_ = 0;
};

} // namespace tl
