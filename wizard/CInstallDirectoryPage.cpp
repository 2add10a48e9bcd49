#include "wizard/CInstallDirectoryPage.h"

#include "app/CSetupSheet.h"
#include "app/UserInterface.h"
#include "install/InstallDirectoryCheck.h"
#include "platform/WinTypes.h"
#include "update/PreviousInstallDirectory.h"
#include "wizard/CFolderBrowser.h"
#include "wizard/PageWidgets.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CInstallDirectoryPage::CInstallDirectoryPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_UPDATE_INSTALL_DIR_TITLE, IDS_UPDATE_INSTALL_DIR_SUBTITLE,
                 IDS_UPDATE_WIZARD),
      path_(new QLineEdit(this)), browse_(new QPushButton(QStringLiteral("B&rowse..."), this)) {
    setObjectName("CInstallDirectoryPage");
    SetCancelConfirmationId(IDS_CONFIRM_EXIT_UPDATE);
    path_->setObjectName("pathEdit");
    browse_->setObjectName("browseButton");
    connect(browse_, &QPushButton::clicked, this, &CInstallDirectoryPage::OnBrowse);
    auto* row = new QHBoxLayout;
    row->addWidget(path_, 1);
    row->addWidget(browse_);
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(MakeText(this, "promptLabel",
                               QStringLiteral("Select the folder where you installed the Tallymar "
                                              "executable files, the folder that holds Tallymar.exe.")));
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->addStretch(1);
}

void CInstallDirectoryPage::OnInitDialog() {
    path_->setText(QString::fromStdString(DefaultInstallDirectory()));
}

void CInstallDirectoryPage::OnBrowse() {
    const auto chosen = CFolderBrowser::Browse(this, CFolderBrowser::Root::MyComputer,
                                               QStringLiteral("Tallymar Installation Directory"),
                                               path_->text().toStdString());
    if (chosen)
        path_->setText(QString::fromStdString(*chosen));
}

int CInstallDirectoryPage::OnWizardNext() {
    const std::string path = path_->text().toStdString();
    if (!HoldsTallymarProgram(path)) {
        AppMessageBox(tl::LoadString(IDS_NO_EXECUTABLES), win::MB_ICONERROR);
        return -1;
    }
    Sheet().installDirectory = path;
    return CSetupPage::OnWizardNext();
}
