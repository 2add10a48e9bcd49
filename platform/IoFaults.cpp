#include "platform/IoFaults.h"

#include <mutex>

namespace tl {

namespace {
std::mutex hookMutex;
WriteFaultHook currentHook;
} // namespace

void SetWriteFaultHook(WriteFaultHook hook) {
    std::lock_guard lock(hookMutex);
    currentHook = std::move(hook);
}

int WriteFaultFor(const std::filesystem::path& target) {
    std::lock_guard lock(hookMutex);
    return currentHook ? currentHook(target) : 0;
}

} // namespace tl
