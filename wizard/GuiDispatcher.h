#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

/// Runs calls on the GUI thread for the engine thread. A call made on the GUI thread runs at once
/// (a blocking queued call from there would wait for itself); a call from another thread is posted
/// to the GUI thread's event loop and waits until it has run. Shutdown releases every caller still
/// waiting and makes later calls return at once, so an engine thread can be joined when the event
/// loop has ended.
class GuiDispatcher {
public:
    /// context: an object living on the GUI thread, which must outlive the dispatcher's calls.
    explicit GuiDispatcher(QObject* context) : context_(context), state_(std::make_shared<State>()) {}
    GuiDispatcher(const GuiDispatcher&) = delete;
    GuiDispatcher& operator=(const GuiDispatcher&) = delete;

    bool OnGuiThread() const { return QThread::currentThread() == context_->thread(); }
    /// The object on the GUI thread that posted work is delivered to.
    QObject* Context() const { return context_; }

    /// Runs work on the GUI thread and returns its result; after Shutdown (or if the GUI thread
    /// never gets to it before Shutdown) returns fallback without running it.
    template <class Work, class Result = std::invoke_result_t<Work&>>
    Result Call(Work work, Result fallback = Result{}) requires(!std::is_void_v<Result>) {
        if (OnGuiThread())
            return work();
        auto result = std::make_shared<std::optional<Result>>();
        if (!Post([work = std::move(work), result]() mutable { result->emplace(work()); }))
            return fallback;
        return std::move(**result);
    }

    /// As Call, for work without a result.
    template <class Work>
    void Run(Work work) {
        if (OnGuiThread()) {
            work();
            return;
        }
        Post(std::move(work));
    }

    /// Releases every waiting caller; later calls from other threads do nothing.
    void Shutdown() {
        std::lock_guard lock(state_->mutex);
        state_->shutdown = true;
        state_->changed.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool shutdown = false;
    };

    // Posts work to the GUI thread and waits; true when it ran (its effects are then visible here),
    // false when the dispatcher was shut down first.
    template <class Work>
    bool Post(Work work) {
        const auto done = std::make_shared<bool>(false);
        {
            std::lock_guard lock(state_->mutex);
            if (state_->shutdown)
                return false;
        }
        auto task = [state = state_, done, work = std::move(work)]() mutable {
            {
                std::lock_guard lock(state->mutex);
                if (state->shutdown)
                    return;
            }
            work();
            std::lock_guard lock(state->mutex);
            *done = true;
            state->changed.notify_all();
        };
        QMetaObject::invokeMethod(context_, std::move(task), Qt::QueuedConnection);
        std::unique_lock lock(state_->mutex);
        state_->changed.wait(lock, [&] { return *done || state_->shutdown; });
        return *done;
    }

    QObject* context_;
    std::shared_ptr<State> state_;
};
