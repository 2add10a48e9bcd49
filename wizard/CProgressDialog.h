#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

/// The small always-on-top window that tells the user the work goes on: a caption, one line of
/// text and a bar that does not measure anything but sweeps across, one step of 10 (range 0 to
/// 100) every 500 ms, wrapping to the start when it passes the end.
class CProgressDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 500;
    static constexpr int kStep = 10;

    /// Created hidden, without a parent.
    CProgressDialog();

    /// Sets caption and text, restarts the bar at 0, centres the window on its screen and shows it.
    void ShowProgress(const QString& caption, const QString& text);
    void SetProgressText(const QString& text);

    /// One step of the bar (PBM_STEPIT): past the maximum the position wraps round to the start.
    void StepIt();
    int Position() const;
    QString Text() const;

private:
    void CenterOnScreen();

    QLabel* text_;
    QProgressBar* bar_;
    QTimer* timer_;
};
