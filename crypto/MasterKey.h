#pragma once

#include "crypto/CBlowfish.h"

#include <memory>

/// The cipher keyed with the firm's master password, which encrypts every secret the program
/// stores. The full install makes it once the wizard has its answers; empty until then. Part of
/// the process's run state (platform/RunState.h).
extern std::unique_ptr<CBlowfish>& theMasterKey;
