#pragma once

#include <ctime>
#include <optional>

namespace tl {

/// The current calendar time. Tests fix it with SetNowForTesting so that time stamps are exact.
std::time_t Now();

/// Fixes the clock at a given time (nullopt returns to the system clock).
void SetNowForTesting(std::optional<std::time_t> fixed);

} // namespace tl
