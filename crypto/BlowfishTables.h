#pragma once

#include <cstdint>

/// The standard initial P-array of the cipher (the first 18 words of pi's fraction).
extern const std::uint32_t kBlowfishInitialP[18];
/// The standard initial S-boxes (the next 1024 words of pi's fraction).
extern const std::uint32_t kBlowfishInitialS[4][256];
