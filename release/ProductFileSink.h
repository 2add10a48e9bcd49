#pragma once

#include "platform/AtomicFile.h"
#include "platform/WinTypes.h"
#include "release/TransferSink.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// Writes the bytes of a product file, as they arrive, into an AtomicFile beside the file of the
/// machine at path (a Windows path), and on Commit puts them in place: the new file takes the file
/// time (when not negative) and, for a Linux program (an ELF executable or shared object), the
/// execute permission before it is flushed to disk and renamed over the file. An existing
/// read-only file or a folder of that name is not replaced (ERROR_ACCESS_DENIED), as on Windows.
///
/// The temporary file is made when the first bytes come, so a transfer that brings none touches
/// nothing. Until Commit succeeds the old file stays as it was; a sink that goes away without one
/// leaves no temporary file behind.
///
/// A file staged for an update is written at its staging path and later moved to its target:
/// replaces then names the target, which must be replaceable as path is for a plain download.
class ProductFileSink final : public TransferSink {
public:
    ProductFileSink(std::string_view path, std::int64_t fileTime, std::string_view replaces = {});

    /// Appends bytes to the new content; false with Error() set when the file cannot be made or
    /// written.
    bool Accept(const std::uint8_t* bytes, std::size_t count) override;
    /// Throws the bytes so far away with their temporary file.
    bool Restart() override;

    /// Puts the new content in place (an empty file when no bytes came). Returns ERROR_SUCCESS
    /// or the Windows error code of the failure, also that of an earlier failed Accept.
    DWORD Commit();

    /// The Windows error code of the first failure, ERROR_SUCCESS while there is none.
    DWORD Error() const { return error_; }

private:
    bool Open();
    bool Fail(DWORD error);

    std::string path_;
    std::int64_t fileTime_;
    std::string replaces_;
    std::optional<tl::AtomicFile> file_;
    std::array<std::uint8_t, 18> head_{}; // enough of the start to tell an ELF program
    std::size_t headSize_ = 0;
    DWORD error_ = 0;
};
