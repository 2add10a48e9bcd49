#include "tools/uninstall/UninstallWindow.h"

#include "tools/uninstall/UninstallNames.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tl::uninstall {

namespace {

QLabel* WrappedLabel(const QString& text, const char* objectName) {
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    return label;
}

// Engine progress, handed to the window's thread.
class WindowProgress : public UninstallProgress {
public:
    explicit WindowProgress(std::function<void(QString, int, int)> show) : show_(std::move(show)) {}
    void Step(const std::string& text, int done, int total) override {
        show_(QString::fromStdString(text), done, total);
    }

private:
    std::function<void(QString, int, int)> show_;
};

} // namespace

UninstallWindow::UninstallWindow(Uninstaller& uninstaller, bool removeData, QWidget* parent)
    : QDialog(parent), uninstaller_(uninstaller) {
    setObjectName("uninstallWindow");
    setWindowTitle(QString("Uninstall %1").arg(kDisplayName));
    stages_ = new QStackedWidget(this);
    stages_->addWidget(MakeConfirmation());
    stages_->addWidget(MakeProgress());
    stages_->addWidget(MakeResult());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stages_);
    removeData_->setChecked(removeData);
    setMinimumWidth(460);
}

UninstallWindow::~UninstallWindow() {
    if (worker_.joinable())
        worker_.join();
}

QWidget* UninstallWindow::MakeConfirmation() {
    auto* page = new QWidget;
    page->setObjectName("confirmationPage");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        WrappedLabel(QString("%1 will be removed from this computer: its program files, its shortcuts, "
                             "its settings and its registration.")
                         .arg(kDisplayName),
                     "confirmationText"));
    const HomeDirectory& home = uninstaller_.Home();
    QString dataText;
    if (home.IsHere())
        dataText =
            QString("The firm's databases and case files in %1 stay on this computer unless you tick the box "
                    "below.")
                .arg(QString::fromStdString(home.localPath));
    else if (!home.named.empty())
        dataText =
            QString(
                "The firm's databases and case files are kept on another computer (%1) and are not touched.")
                .arg(QString::fromStdString(home.named));
    else
        dataText = "The firm's databases and case files stay on this computer unless you tick the box below.";
    layout->addWidget(WrappedLabel(dataText, "dataText"));
    removeData_ = new QCheckBox("Also delete the firm's databases and case files");
    removeData_->setObjectName("removeDataCheckBox");
    removeData_->setEnabled(home.IsHere() || home.named.empty());
    layout->addWidget(removeData_);
    layout->addStretch();
    auto* buttons = new QDialogButtonBox;
    QPushButton* uninstall = buttons->addButton("Uninstall", QDialogButtonBox::AcceptRole);
    uninstall->setObjectName("uninstallButton");
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("cancelButton");
    cancel->setDefault(true);
    connect(uninstall, &QPushButton::clicked, this, &UninstallWindow::StartUninstall);
    connect(cancel, &QPushButton::clicked, this, &UninstallWindow::reject);
    layout->addWidget(buttons);
    return page;
}

QWidget* UninstallWindow::MakeProgress() {
    auto* page = new QWidget;
    page->setObjectName("progressPage");
    auto* layout = new QVBoxLayout(page);
    progressText_ = WrappedLabel("", "progressText");
    layout->addWidget(progressText_);
    progressBar_ = new QProgressBar;
    progressBar_->setObjectName("progressBar");
    layout->addWidget(progressBar_);
    layout->addStretch();
    return page;
}

QWidget* UninstallWindow::MakeResult() {
    auto* page = new QWidget;
    page->setObjectName("resultPage");
    auto* layout = new QVBoxLayout(page);
    resultText_ = WrappedLabel("", "resultText");
    layout->addWidget(resultText_);
    layout->addStretch();
    auto* buttons = new QDialogButtonBox;
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    return page;
}

void UninstallWindow::StartUninstall() {
    if (running_ || stages_->currentIndex() != 0)
        return;
    running_ = true;
    stages_->setCurrentIndex(1);
    const bool removeData = removeData_->isChecked();
    worker_ = std::thread([this, removeData] {
        WindowProgress progress([this](QString text, int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, text, done, total] { ShowStep(text, done, total); }, Qt::QueuedConnection);
        });
        const UninstallResult result = uninstaller_.Run(removeData, &progress);
        QMetaObject::invokeMethod(
            this, [this, result] { ShowResult(result); }, Qt::QueuedConnection);
    });
}

void UninstallWindow::ShowStep(const QString& text, int done, int total) {
    progressText_->setText(text);
    progressBar_->setRange(0, total);
    progressBar_->setValue(done);
}

void UninstallWindow::ShowResult(const UninstallResult& result) {
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    exitCode_ = result.exitCode;
    QStringList lines;
    for (const std::string& line : result.summary)
        lines << QString::fromStdString(line);
    resultText_->setText(lines.join("\n\n"));
    stages_->setCurrentIndex(2);
}

void UninstallWindow::reject() {
    // The work cannot stop half-way; once it is done, closing the window is the same as Close.
    if (running_)
        return;
    if (stages_->currentIndex() == 2) {
        accept();
        return;
    }
    exitCode_ = kExitCancelled;
    QDialog::reject();
}

} // namespace tl::uninstall
