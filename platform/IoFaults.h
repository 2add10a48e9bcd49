#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace tl {

/// Failing-I/O seam for tests. While a hook is installed, the file writers of this layer ask it
/// before each step of writing a file; a non-zero errno from the hook fails that step with that
/// error, as a full disk or a pulled cable would.
enum class IoStep {
    Create, ///< making the (temporary) file
    Write,  ///< each write of bytes
    Sync,   ///< flushing the file to disk
    Rename, ///< putting the file in place of the target
    Remove, ///< removing a folder of finished work with all in it (an update's staging folders)
};

/// A hook asked before every write of bytes (IoStep::Write) only.
using WriteFaultHook = std::function<int(const std::filesystem::path& target)>;
/// A hook asked before every step.
using IoFaultHook = std::function<int(const std::filesystem::path& target, IoStep step)>;

void SetWriteFaultHook(WriteFaultHook hook);
void SetIoFaultHook(IoFaultHook hook);

/// errno to fail a write to target with, or 0 to let it go ahead.
int WriteFaultFor(const std::filesystem::path& target);
/// errno to fail a step of writing target with, or 0 to let it go ahead.
int IoFaultFor(const std::filesystem::path& target, IoStep step);

/// Free space seam for tests: with a limit set, writes through this layer may place that many
/// bytes in all before the disk is full. A write that does not fit places what fits (a short
/// write, as write(2) does on a disk that fills up) and the next one fails with ENOSPC.
void SetDiskSpaceForTesting(std::optional<std::uint64_t> bytes);
/// How many of length bytes the next write may place (length when no limit is set).
std::size_t DiskSpaceFor(std::size_t length);
/// Takes bytes that a write placed from the space left.
void UseDiskSpace(std::size_t bytes);

/// Installs a hook for the lifetime of the object.
class ScopedWriteFault {
public:
    explicit ScopedWriteFault(WriteFaultHook hook) { SetWriteFaultHook(std::move(hook)); }
    explicit ScopedWriteFault(IoFaultHook hook) { SetIoFaultHook(std::move(hook)); }
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;
    ~ScopedWriteFault() { SetIoFaultHook(nullptr); }
};

/// Limits the free space for the lifetime of the object.
class ScopedDiskSpace {
public:
    explicit ScopedDiskSpace(std::uint64_t bytes) { SetDiskSpaceForTesting(bytes); }
    ScopedDiskSpace(const ScopedDiskSpace&) = delete;
    ScopedDiskSpace& operator=(const ScopedDiskSpace&) = delete;
    ~ScopedDiskSpace() { SetDiskSpaceForTesting(std::nullopt); }
    /// Makes that much space free from now on.
    void Free(std::uint64_t bytes) { SetDiskSpaceForTesting(bytes); }
};

} // namespace tl
