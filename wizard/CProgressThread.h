#pragma once

#include <QPointer>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

class CProgressDialog;
class GuiDispatcher;

/// Owner of the progress window. The window lives on the GUI thread, which keeps it painted and
/// its bar moving while the engine thread works; the operations below may be called from either
/// thread and act on the window there. StopProgressThread waits at most a second, so a GUI thread
/// that does not answer cannot hold up the end of the run; the object may be deleted right after.
class CProgressThread {
public:
    static constexpr std::chrono::milliseconds kStopWait{1000};

    explicit CProgressThread(GuiDispatcher& dispatcher);
    CProgressThread(const CProgressThread&) = delete;
    CProgressThread& operator=(const CProgressThread&) = delete;
    ~CProgressThread();

    /// Creates the window, hidden and topmost. False when the GUI thread is gone.
    bool CreateThread();

    void ShowProgress(const QString& caption, const QString& text);
    /// Changes the text only; a hidden window stays hidden.
    void SetProgressText(const QString& text);
    void HideProgress();

    /// Asks the GUI side to close the window and waits up to kStopWait for it to confirm. Later
    /// calls of the operations above do nothing.
    void StopProgressThread();

    /// The window, for the GUI thread only (null before CreateThread and after stopping).
    CProgressDialog* Dialog() const;

private:
    // What the GUI side and the owner share; it outlives the owner when a stop is still queued.
    struct Shared {
        QPointer<CProgressDialog> dialog;
        std::mutex mutex;
        std::condition_variable stopped;
        bool stopSignalled = false; // the stop event, auto-reset by the waiter
    };

    static void ExitInstance(Shared& shared);

    GuiDispatcher& dispatcher_;
    std::shared_ptr<Shared> shared_;
    bool stopped_ = false;
};
