#pragma once

#include "tools/uninstall/Uninstaller.h"

#include <QDialog>
#include <thread>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace tl::uninstall {

/// The uninstaller's one window, in three stages: the confirmation (with the unticked box that
/// also deletes the firm's data), the progress while the engine runs on a thread of its own, and
/// the result. The dialog's result is the exit code: kExitCancelled when the user declines.
class UninstallWindow : public QDialog {
    Q_OBJECT
public:
    /// uninstaller must have been prepared; it is run from this window's thread.
    UninstallWindow(Uninstaller& uninstaller, bool removeData, QWidget* parent = nullptr);
    ~UninstallWindow() override;

    /// The exit code once the window is done.
    int ExitCode() const { return exitCode_; }

    /// Starts the uninstall, as the Uninstall button does.
    void StartUninstall();

protected:
    void reject() override;

private:
    QWidget* MakeConfirmation();
    QWidget* MakeProgress();
    QWidget* MakeResult();
    void ShowStep(const QString& text, int done, int total);
    void ShowResult(const UninstallResult& result);

    Uninstaller& uninstaller_;
    QStackedWidget* stages_ = nullptr;
    QCheckBox* removeData_ = nullptr;
    QLabel* progressText_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* resultText_ = nullptr;
    std::thread worker_;
    bool running_ = false;
    int exitCode_ = kExitCancelled;
};

} // namespace tl::uninstall
