#include "crypto/MasterKey.h"

#include "platform/RunState.h"

namespace {

struct MasterKeyRunState {
    std::unique_ptr<CBlowfish> masterKey;
};

} // namespace

std::unique_ptr<CBlowfish>& theMasterKey = tl::RunState::Part<MasterKeyRunState>().masterKey;
