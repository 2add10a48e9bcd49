#include "wizard/CInstallDirPage.h"

#include "app/CSetupSheet.h"
#include "wizard/CFolderBrowser.h"
#include "wizard/PageWidgets.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CInstallDirPage::CInstallDirPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_INSTALL_DIR_TITLE, IDS_INSTALL_DIR_SUBTITLE),
      prompt_(MakeText(this, "promptLabel", {})), path_(new QLineEdit(this)),
      browse_(new QPushButton(QStringLiteral("B&rowse..."), this)) {
    setObjectName("CInstallDirPage");
    path_->setObjectName("pathEdit");
    browse_->setObjectName("browseButton");
    connect(path_, &QLineEdit::textChanged, this, [this] { check_.ForgetConfirmation(); });
    connect(browse_, &QPushButton::clicked, this, &CInstallDirPage::OnBrowse);
    auto* row = new QHBoxLayout;
    row->addWidget(path_, 1);
    row->addWidget(browse_);
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(prompt_);
    layout->addSpacing(8);
    layout->addLayout(row);
    layout->addStretch(1);
}

void CInstallDirPage::OnInitDialog() {
    path_->setText(QString::fromStdString(DefaultInstallDirectory()));
}

bool CInstallDirPage::OnSetActive() {
    CSetupPage::OnSetActive();
    prompt_->setText(QString::fromStdString(tl::LoadString(IDS_INSTALL_DIR_PROMPT)));
    return true;
}

void CInstallDirPage::OnBrowse() {
    const auto chosen = CFolderBrowser::Browse(this, CFolderBrowser::Root::MyComputer,
                                               QStringLiteral("Tallymar Installation Directory"),
                                               path_->text().toStdString());
    if (!chosen)
        return;
    path_->setText(QString::fromStdString(*chosen));
    check_.ForgetConfirmation();
}

int CInstallDirPage::OnWizardNext() {
    const std::string path = path_->text().toStdString();
    if (!check_.Run(path))
        return -1;
    Sheet().installDirectory = path;
    return CSetupPage::OnWizardNext();
}
