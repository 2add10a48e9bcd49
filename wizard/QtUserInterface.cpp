#include "wizard/QtUserInterface.h"

#include "app/AppConstants.h"
#include "platform/WinTypes.h"

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

} // namespace

int QtUserInterface::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    QMessageBox box(IconFor(style), QString::fromStdString(caption.empty() ? std::string(kAppName) : caption),
                    QString::fromLocal8Bit(text.c_str()));
    switch (style & win::MB_TYPEMASK) {
    case win::MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case win::MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case win::MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return win::IDYES;
    case QMessageBox::No:
        return win::IDNO;
    case QMessageBox::Cancel:
        return win::IDCANCEL;
    default:
        return win::IDOK;
    }
}

void QtUserInterface::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtUserInterface::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

int QtUserInterface::RunInstallWizard(CSetupSheet&) { return win::IDCANCEL; }

int QtUserInterface::RunUpdateWizard(CSetupSheet&) { return win::IDCANCEL; }

void QtUserInterface::RunAttorneyRoster(CSetupSheet&) {}
