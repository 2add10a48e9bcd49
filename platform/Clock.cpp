#include "platform/Clock.h"

#include <atomic>

namespace tl {

namespace {
std::atomic<bool> isFixed{false};
std::atomic<std::time_t> fixedTime{0};
} // namespace

std::time_t Now() {
    return isFixed ? fixedTime.load() : std::time(nullptr);
}

void SetNowForTesting(std::optional<std::time_t> fixed) {
    fixedTime = fixed.value_or(0);
    isFixed = fixed.has_value();
}

} // namespace tl
