#pragma once

#include "platform/UniqueFd.h"

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace tl {

/// Writes the whole new content of a file so that readers, and a crash at any moment, see the old
/// content or the new one and never a part. The bytes go to a temporary file beside the target,
/// ".<name>.tl.tmp.XXXXXX", opened close-on-exec and locked for as long as it is being written;
/// Commit flushes it to disk, renames it over the target and flushes the folder. An AtomicFile
/// that goes away without a Commit removes its temporary file.
///
/// The temporary file of a process that died on the way keeps its name but loses its lock: the
/// first Create of a process in a folder removes such files (RemoveStaleTemporaries).
///
/// Every failure throws CFileException with the Windows error code of the errno and a text that
/// names the step, the file and the errno's text. Each step (create, write, flush, rename) asks
/// the write-fault seam (platform/IoFaults.h) first.
class AtomicFile {
public:
    /// Creates the temporary file for target, with the permissions of the file it replaces (0644
    /// for a new file). Throws CFileException when it cannot be made.
    static AtomicFile Create(const std::filesystem::path& target);

    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    /// Removes the temporary file unless it was committed.
    ~AtomicFile();

    /// Appends bytes to the new content. Throws CFileException (a full disk, ...).
    void Write(std::string_view bytes);
    /// Flushes the new content to disk and puts it in place of the target. Throws CFileException;
    /// a failure before the rename leaves the target as it was, a failure after it (flushing the
    /// folder, closing) leaves the new content in place but not known to be on disk.
    void Commit();

    /// The descriptor of the temporary file, for its metadata (mode, file times) before Commit.
    int fd() const { return fd_.get(); }
    const std::filesystem::path& TempPath() const { return temp_; }

    /// True when a file name is that of one of our temporary files.
    static bool IsTemporaryName(std::string_view fileName);
    /// Removes the temporary files in folder that no process is writing any more; returns how
    /// many it removed. Never throws.
    static std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder);

private:
    AtomicFile(std::filesystem::path target, std::filesystem::path temp, UniqueFd fd);
    void Discard() noexcept;

    std::filesystem::path target_;
    std::filesystem::path temp_;
    UniqueFd fd_;
};

} // namespace tl
