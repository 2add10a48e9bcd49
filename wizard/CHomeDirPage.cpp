#include "wizard/CHomeDirPage.h"

#include "app/CSetupSheet.h"
#include "install/FindMasterComputer.h"
#include "install/InstallType.h"
#include "platform/WinTypes.h"
#include "wizard/CFolderBrowser.h"
#include "wizard/CSetupSheetWindow.h"
#include "wizard/PageWidgets.h"
#include "wizard/ServeEventsWhile.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CHomeDirPage::CHomeDirPage(CSetupSheetWindow& sheet)
    : CSetupPage(sheet, kTemplateId, IDS_HOME_DIR_TITLE, IDS_HOME_DIR_SUBTITLE),
      prompt_(MakeText(this, "promptLabel", {})), path_(new QLineEdit(this)),
      browse_(new QPushButton(QStringLiteral("B&rowse..."), this)),
      shareLabel_(new QLabel(QStringLiteral("&Share name:"), this)),
      shareName_(new QLineEdit(QString::fromLatin1(kDefaultShareName), this)),
      shareExplanation_(
          MakeText(this, "shareExplanation",
                   QStringLiteral("Other computers in your office reach the home directory under "
                                  "this network share name."))),
      userLabel_(new QLabel(QStringLiteral("Network &user:"), this)),
      userName_(new QLineEdit(QString::fromLatin1(kDefaultNetworkUserName), this)),
      userExplanation_(MakeText(this, "userExplanation",
                                QStringLiteral("Setup creates a network user of this name and gives it full "
                                               "control over the home directory."))) {
    setObjectName("CHomeDirPage");
    path_->setObjectName("pathEdit");
    browse_->setObjectName("browseButton");
    shareLabel_->setObjectName("shareLabel");
    shareLabel_->setBuddy(shareName_);
    shareName_->setObjectName("shareNameEdit");
    userLabel_->setObjectName("userLabel");
    userLabel_->setBuddy(userName_);
    userName_->setObjectName("userNameEdit");

    // Typing a path counts as choosing one; the questions asked for another value are asked again.
    connect(path_, &QLineEdit::textEdited, this, [this] {
        pickedByHand_ = true;
        check_.PathEdited();
        UpdateButtons();
    });
    connect(shareName_, &QLineEdit::textEdited, this, [this] {
        check_.SharingEdited();
        UpdateButtons();
    });
    connect(userName_, &QLineEdit::textEdited, this, [this] {
        check_.SharingEdited();
        UpdateButtons();
    });
    connect(browse_, &QPushButton::clicked, this, &CHomeDirPage::OnBrowse);

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(browse_);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->addWidget(shareLabel_, 0, 0);
    grid->addWidget(shareName_, 0, 1);
    grid->addWidget(shareExplanation_, 1, 1);
    grid->addWidget(userLabel_, 2, 0);
    grid->addWidget(userName_, 2, 1);
    grid->addWidget(userExplanation_, 3, 1);
    auto* layout = new QVBoxLayout(this);
    SetInteriorMargins(layout);
    layout->addWidget(prompt_);
    layout->addSpacing(6);
    layout->addLayout(pathRow);
    layout->addSpacing(10);
    layout->addLayout(grid);
    layout->addStretch(1);
}

int CHomeDirPage::InstallType() const {
    return InstallTypeFromChoices(Sheet());
}

void CHomeDirPage::ProposePath() {
    std::string path = path_->text().toStdString();
    bool sharedFilesHere = sharedFilesHere_;
    const CSetupSheet& sheet = Sheet();
    ServeEventsWhile([&] { FindMasterComputer(sheet, path, sharedFilesHere); });
    sharedFilesHere_ = sharedFilesHere;
    path_->setText(QString::fromStdString(path));
}

void CHomeDirPage::OnInitDialog() {
    ProposePath();
}

bool CHomeDirPage::OnSetActive() {
    CSetupPage::OnSetActive();
    const int installType = InstallType();
    const unsigned promptId = installType == kInstallSharedFilesElsewhere ? IDS_HOME_DIR_PROMPT_REMOTE
                              : installType == kInstallSharedFilesHere    ? IDS_HOME_DIR_PROMPT_SHARED
                                                                          : IDS_HOME_DIR_PROMPT_LOCAL;
    prompt_->setText(QString::fromStdString(tl::LoadString(promptId)));
    const bool sharedFilesHere = installType != kInstallSharedFilesElsewhere;
    if (sharedFilesHere != sharedFilesHere_ && !pickedByHand_)
        ProposePath();
    for (QWidget* control : {static_cast<QWidget*>(shareLabel_), static_cast<QWidget*>(shareName_),
                             static_cast<QWidget*>(shareExplanation_), static_cast<QWidget*>(userLabel_),
                             static_cast<QWidget*>(userName_), static_cast<QWidget*>(userExplanation_)})
        control->setVisible(sharedFilesHere);
    UpdateButtons();
    return true;
}

void CHomeDirPage::UpdateButtons() {
    if (SheetWindow().GetActivePage() != this)
        return;
    const HomeDirectoryAnswers answers{path_->text().toStdString(), shareName_->text().toStdString(),
                                       userName_->text().toStdString(), InstallType()};
    SetWizardButtons(win::PSWIZB_BACK | (IsComplete(answers) ? win::PSWIZB_NEXT : 0));
}

void CHomeDirPage::OnBrowse() {
    const auto root = InstallType() == kInstallSharedFilesElsewhere ? CFolderBrowser::Root::ComputersNearMe
                                                                    : CFolderBrowser::Root::MyComputer;
    const auto chosen = CFolderBrowser::Browse(this, root, QStringLiteral("Tallymar Home Directory"),
                                               path_->text().toStdString());
    if (!chosen)
        return;
    path_->setText(QString::fromStdString(*chosen));
    pickedByHand_ = true;
    check_.PathEdited();
    UpdateButtons();
}

int CHomeDirPage::OnWizardNext() {
    const HomeDirectoryAnswers answers{path_->text().toStdString(), shareName_->text().toStdString(),
                                       userName_->text().toStdString(), InstallType()};
    if (!check_.Run(answers))
        return -1;
    Sheet().homeDirectory = answers.path;
    Sheet().shareName = answers.shareName;
    Sheet().networkUserName = answers.userName;
    return CSetupPage::OnWizardNext();
}
