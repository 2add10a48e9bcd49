#include "platform/RunState.h"

namespace tl {

RunState& RunState::Process() {
    static RunState state;
    return state;
}

void RunState::Save() {
    RunState& state = Process();
    std::lock_guard lock(state.mutex_);
    for (const auto& slot : state.slots_)
        slot->Save();
    ++state.depth_;
}

void RunState::Restore() {
    RunState& state = Process();
    std::lock_guard lock(state.mutex_);
    if (state.depth_ == 0)
        return;
    for (const auto& slot : state.slots_)
        slot->Restore();
    --state.depth_;
}

} // namespace tl
