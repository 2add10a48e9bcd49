#include "platform/Clock.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace tl {

namespace {
std::atomic<bool> isFixed{false};
std::atomic<std::time_t> fixedTime{0};

std::mutex sleepMutex;
std::function<void(std::chrono::milliseconds)>& SleepForTesting() {
    static std::function<void(std::chrono::milliseconds)> sleep;
    return sleep;
}
} // namespace

std::time_t Now() {
    return isFixed ? fixedTime.load() : std::time(nullptr);
}

void SetNowForTesting(std::optional<std::time_t> fixed) {
    fixedTime = fixed.value_or(0);
    isFixed = fixed.has_value();
}

void SleepFor(std::chrono::milliseconds duration) {
    std::function<void(std::chrono::milliseconds)> sleep;
    {
        std::lock_guard lock(sleepMutex);
        sleep = SleepForTesting();
    }
    if (sleep)
        sleep(duration);
    else
        std::this_thread::sleep_for(duration);
}

void SetSleepForTesting(std::function<void(std::chrono::milliseconds)> sleep) {
    std::lock_guard lock(sleepMutex);
    SleepForTesting() = std::move(sleep);
}

} // namespace tl
