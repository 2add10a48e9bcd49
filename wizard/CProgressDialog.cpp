#include "wizard/CProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

CProgressDialog::CProgressDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      text_(new QLabel(this)), bar_(new QProgressBar(this)), timer_(new QTimer(this)) {
    setObjectName("CProgressDialog");
    setModal(false);
    text_->setObjectName("progressText");
    bar_->setObjectName("progressBar");
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    text_->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 14);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    setFixedSize(sizeHint());

    // The framework's initialisation: centred, the timer running, the bar one step in.
    CenterOnScreen();
    connect(timer_, &QTimer::timeout, this, &CProgressDialog::StepIt);
    timer_->start(kTimerMs);
    StepIt();
}

void CProgressDialog::ShowProgress(const QString& caption, const QString& text) {
    setWindowTitle(caption);
    text_->setText(text);
    bar_->setValue(0);
    CenterOnScreen();
    show();
    raise();
}

void CProgressDialog::SetProgressText(const QString& text) {
    text_->setText(text);
}

void CProgressDialog::StepIt() {
    const int span = bar_->maximum() - bar_->minimum();
    int next = bar_->value() + kStep;
    if (next > bar_->maximum())
        next = bar_->minimum() + (next - bar_->minimum()) % span;
    bar_->setValue(next);
}

int CProgressDialog::Position() const {
    return bar_->value();
}

QString CProgressDialog::Text() const {
    return text_->text();
}

void CProgressDialog::CenterOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
