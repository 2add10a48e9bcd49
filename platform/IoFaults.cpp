#include "platform/IoFaults.h"

#include <algorithm>
#include <mutex>

namespace tl {

namespace {
std::mutex hookMutex;
IoFaultHook currentHook;
std::optional<std::uint64_t> diskSpace;
} // namespace

void SetWriteFaultHook(WriteFaultHook hook) {
    if (!hook) {
        SetIoFaultHook(nullptr);
        return;
    }
    SetIoFaultHook([hook = std::move(hook)](const std::filesystem::path& target, IoStep step) {
        return step == IoStep::Write ? hook(target) : 0;
    });
}

void SetIoFaultHook(IoFaultHook hook) {
    std::lock_guard lock(hookMutex);
    currentHook = std::move(hook);
}

int WriteFaultFor(const std::filesystem::path& target) {
    return IoFaultFor(target, IoStep::Write);
}

int IoFaultFor(const std::filesystem::path& target, IoStep step) {
    IoFaultHook hook;
    {
        std::lock_guard lock(hookMutex);
        hook = currentHook;
    }
    // Called outside the lock: a hook may block (a test stopping a writer half-way) or write.
    return hook ? hook(target, step) : 0;
}

void SetDiskSpaceForTesting(std::optional<std::uint64_t> bytes) {
    std::lock_guard lock(hookMutex);
    diskSpace = bytes;
}

std::size_t DiskSpaceFor(std::size_t length) {
    std::lock_guard lock(hookMutex);
    if (!diskSpace)
        return length;
    return static_cast<std::size_t>(std::min<std::uint64_t>(length, *diskSpace));
}

void UseDiskSpace(std::size_t bytes) {
    std::lock_guard lock(hookMutex);
    if (diskSpace)
        *diskSpace -= std::min<std::uint64_t>(bytes, *diskSpace);
}

} // namespace tl
