#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace tl {

/// The run state of the process: the values that the whole run shares, such as the database
/// connections, the master key, the file server's address and the update's work list. Each layer
/// keeps its values in a part, a plain struct that can be made empty and moved, and gives them the
/// program's names as references into that part:
///
///     CDatabase& theMainDb = tl::RunState::Part<DatabaseRunState>().mainDb;
///
/// so the engine reads as the program does. One RunState owns every part for the process; a part
/// stays at one address for the whole run, so the references never dangle. Tests give each test a
/// fresh set with ScopedRunState.
class RunState {
public:
    /// The process's part of type T (default-constructible and movable), made on first use.
    template <class T>
    static T& Part();

    /// Moves every part aside and leaves an empty one (T{}) in its place. Every Save is undone by
    /// one Restore, the last first. Not for use while other threads use the run state.
    static void Save();
    /// Puts back the parts that the last Save moved aside; what they held since is destroyed (an
    /// open connection is closed). Does nothing without a Save.
    static void Restore();

private:
    class Slot {
    public:
        virtual ~Slot() = default;
        virtual void Save() = 0;
        virtual void Restore() = 0;
    };

    template <class T>
    class SlotOf final : public Slot {
    public:
        explicit SlotOf(std::size_t depth) : saved_(depth) {}
        void Save() override {
            saved_.push_back(std::move(live));
            live = T{};
        }
        void Restore() override {
            live = std::move(saved_.back());
            saved_.pop_back();
        }
        T live{};

    private:
        std::vector<T> saved_; // one entry per Save still open, the last on top
    };

    static RunState& Process();

    template <class T>
    T& Adopt() {
        std::lock_guard lock(mutex_);
        // A part first used inside a Save's scope has nothing to restore but an empty value.
        auto slot = std::make_unique<SlotOf<T>>(depth_);
        T& live = slot->live;
        slots_.push_back(std::move(slot));
        return live;
    }

    std::mutex mutex_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::size_t depth_ = 0;
};

template <class T>
T& RunState::Part() {
    static T& part = Process().Adopt<T>();
    return part;
}

/// For tests: an empty run state for the lifetime of the object, the previous one afterwards.
class ScopedRunState {
public:
    ScopedRunState() { RunState::Save(); }
    ScopedRunState(const ScopedRunState&) = delete;
    ScopedRunState& operator=(const ScopedRunState&) = delete;
    ~ScopedRunState() { RunState::Restore(); }
};

} // namespace tl
