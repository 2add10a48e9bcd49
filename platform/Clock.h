#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <optional>

namespace tl {

/// The current calendar time. Tests fix it with SetNowForTesting so that time stamps are exact.
std::time_t Now();

/// Fixes the clock at a given time (nullopt returns to the system clock).
void SetNowForTesting(std::optional<std::time_t> fixed);

/// Waits for a while, as between two attempts of a transfer. Tests replace the wait with
/// SetSleepForTesting, so that they can see the pauses without waiting through them.
void SleepFor(std::chrono::milliseconds duration);

/// Replaces the wait of SleepFor (an empty function returns to waiting for real).
void SetSleepForTesting(std::function<void(std::chrono::milliseconds)> sleep);

} // namespace tl
