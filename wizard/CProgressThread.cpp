#include "wizard/CProgressThread.h"

#include "wizard/CProgressDialog.h"
#include "wizard/GuiDispatcher.h"

CProgressThread::CProgressThread(GuiDispatcher& dispatcher)
    : dispatcher_(dispatcher), shared_(std::make_shared<Shared>()) {}

CProgressThread::~CProgressThread() {
    if (!stopped_)
        StopProgressThread();
}

bool CProgressThread::CreateThread() {
    return dispatcher_.Call(
        [shared = shared_] {
            if (!shared->dialog)
                shared->dialog = new CProgressDialog();
            return true;
        },
        false);
}

void CProgressThread::ShowProgress(const QString& caption, const QString& text) {
    dispatcher_.Run([shared = shared_, caption, text] {
        if (shared->dialog)
            shared->dialog->ShowProgress(caption, text);
    });
}

void CProgressThread::SetProgressText(const QString& text) {
    dispatcher_.Run([shared = shared_, text] {
        if (shared->dialog)
            shared->dialog->SetProgressText(text);
    });
}

void CProgressThread::HideProgress() {
    dispatcher_.Run([shared = shared_] {
        if (shared->dialog)
            shared->dialog->hide();
    });
}

void CProgressThread::ExitInstance(Shared& shared) {
    delete shared.dialog.data();
    std::lock_guard lock(shared.mutex);
    shared.stopSignalled = true;
    shared.stopped.notify_all();
}

void CProgressThread::StopProgressThread() {
    stopped_ = true;
    if (dispatcher_.OnGuiThread()) {
        ExitInstance(*shared_);
    } else {
        // Posted, not sent: the wait below is bounded even when the GUI thread never gets to it.
        QMetaObject::invokeMethod(
            dispatcher_.Context(), [shared = shared_] { ExitInstance(*shared); }, Qt::QueuedConnection);
    }
    std::unique_lock lock(shared_->mutex);
    shared_->stopped.wait_for(lock, kStopWait, [this] { return shared_->stopSignalled; });
    shared_->stopSignalled = false;
}

CProgressDialog* CProgressThread::Dialog() const {
    return shared_->dialog.data();
}
