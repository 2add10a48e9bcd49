#include "wizard/QtUserInterface.h"

#include "app/AppConstants.h"
#include "attorneys/CAttorneysDialog.h"
#include "platform/WinTypes.h"
#include "wizard/CProgressThread.h"
#include "wizard/InstallWizard.h"
#include "wizard/UpdateWizard.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon IconFor(unsigned style) {
    switch (style & win::MB_ICONMASK) {
    case win::MB_ICONSTOP:
        return QMessageBox::Critical;
    case win::MB_ICONQUESTION:
        return QMessageBox::Question;
    case win::MB_ICONWARNING:
        return QMessageBox::Warning;
    case win::MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsFor(unsigned style) {
    switch (style & win::MB_TYPEMASK) {
    case win::MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case win::MB_ABORTRETRYIGNORE:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case win::MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case win::MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    case win::MB_RETRYCANCEL:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

int AnswerFor(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return win::IDCANCEL;
    case QMessageBox::Abort:
        return win::IDABORT;
    case QMessageBox::Retry:
        return win::IDRETRY;
    case QMessageBox::Ignore:
        return win::IDIGNORE;
    case QMessageBox::Yes:
        return win::IDYES;
    case QMessageBox::No:
        return win::IDNO;
    default:
        return win::IDOK;
    }
}

} // namespace

int ShowQtMessageBox(const std::string& text, const std::string& caption, unsigned style) {
    QWidget* parent = QApplication::activeModalWidget();
    QMessageBox box(IconFor(style), QString::fromStdString(caption.empty() ? std::string(kAppName) : caption),
                    QString::fromStdString(text), ButtonsFor(style), parent);
    box.setObjectName("CMessageBox");
    const QList<QAbstractButton*> buttons = box.buttons();
    const int defaultIndex = (style & win::MB_DEFBUTTON2) != 0 ? 1 : 0;
    // buttons() follows the platform's order; the default is the n-th in Windows order.
    const QMessageBox::StandardButton order[] = {QMessageBox::Ok,    QMessageBox::Yes,   QMessageBox::No,
                                                 QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore,
                                                 QMessageBox::Cancel};
    int seen = 0;
    for (const QMessageBox::StandardButton candidate : order) {
        if (box.button(candidate) != nullptr && seen++ == defaultIndex)
            box.setDefaultButton(candidate);
    }
    return AnswerFor(box.exec());
}

QtUserInterface::QtUserInterface() : dispatcher_(QCoreApplication::instance()) {}

QtUserInterface::~QtUserInterface() {
    if (progress_)
        progress_->StopProgressThread();
}

int QtUserInterface::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    return dispatcher_.Call([&] { return ShowQtMessageBox(text, caption, style); }, win::IDCANCEL);
}

void QtUserInterface::StartProgressThread() {
    if (progress_)
        return;
    progress_ = std::make_unique<CProgressThread>(dispatcher_);
    progress_->CreateThread();
}

void QtUserInterface::ShowProgress(const std::string& caption, const std::string& text) {
    StartProgressThread();
    progress_->ShowProgress(QString::fromStdString(caption), QString::fromStdString(text));
}

void QtUserInterface::SetProgressText(const std::string& text) {
    if (progress_)
        progress_->SetProgressText(QString::fromStdString(text));
}

void QtUserInterface::HideProgress() {
    if (progress_)
        progress_->HideProgress();
}

void QtUserInterface::StopProgressThread() {
    if (!progress_)
        return;
    progress_->StopProgressThread();
    progress_.reset();
}

void QtUserInterface::BeginWaitCursor() {
    dispatcher_.Run([] { QApplication::setOverrideCursor(Qt::WaitCursor); });
}

void QtUserInterface::EndWaitCursor() {
    dispatcher_.Run([] { QApplication::restoreOverrideCursor(); });
}

int QtUserInterface::RunInstallWizard(CSetupSheet& sheet) {
    return dispatcher_.Call([&] { return RunInstallWizardWindow(sheet); }, win::IDCANCEL);
}

int QtUserInterface::RunUpdateWizard(CSetupSheet& sheet) {
    return dispatcher_.Call([&] { return RunUpdateWizardWindow(sheet); }, win::IDCANCEL);
}

void QtUserInterface::RunAttorneyRoster(CSetupSheet& sheet) {
    dispatcher_.Run([&] { RunAttorneyRosterDialog(&sheet); });
}
