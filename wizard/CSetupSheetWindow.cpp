#include "wizard/CSetupSheetWindow.h"

#include "app/CSetupSheet.h"
#include "platform/WinTypes.h"
#include "resources/ResourceBundle.h"
#include "resources/StringTable.h"
#include "wizard/CSetupPage.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSheetWidth = 620;
constexpr int kSheetHeight = 440;
constexpr int kHeaderHeight = 64;
constexpr int kButtonAreaHeight = 50; // the rule above the buttons and the button row

QFrame* EtchedRule(QWidget* parent) {
    auto* rule = new QFrame(parent);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

void PaintWhite(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

CSetupSheetWindow::CSetupSheetWindow(CSetupSheet& sheet, QWidget* parent)
    : QDialog(parent), sheet_(sheet), result_(win::IDCANCEL), header_(new QWidget(this)),
      headerTitle_(new QLabel(header_)), headerSubtitle_(new QLabel(header_)), headerRule_(EtchedRule(this)),
      body_(new QWidget(this)), watermark_(new QLabel(body_)), stack_(new QStackedWidget(body_)),
      back_(new QPushButton(QStringLiteral("< &Back"), this)),
      next_(new QPushButton(QStringLiteral("&Next >"), this)),
      finish_(new QPushButton(QStringLiteral("Finish"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName("CSetupSheetWindow");
    setWindowTitle(QString::fromStdString(tl::LoadString(sheet.CaptionId())));
    setModal(true);
    setFixedSize(kSheetWidth, kSheetHeight);

    // Header band of interior pages: title and subtitle on white, the header picture on the right.
    header_->setObjectName("headerBand");
    PaintWhite(header_);
    header_->setFixedHeight(kHeaderHeight);
    headerTitle_->setObjectName("headerTitle");
    headerSubtitle_->setObjectName("headerSubtitle");
    QFont titleFont = headerTitle_->font();
    titleFont.setBold(true);
    headerTitle_->setFont(titleFont);
    headerSubtitle_->setWordWrap(true);
    auto* headerPicture = new QLabel(header_);
    headerPicture->setObjectName("headerPicture");
    headerPicture->setPixmap(LoadBitmapResource(IDB_HEADER));
    auto* headerTexts = new QVBoxLayout;
    headerTexts->setSpacing(2);
    headerTexts->addWidget(headerTitle_);
    auto* subtitleRow = new QHBoxLayout;
    subtitleRow->addSpacing(16);
    subtitleRow->addWidget(headerSubtitle_, 1);
    headerTexts->addLayout(subtitleRow);
    auto* headerLayout = new QHBoxLayout(header_);
    headerLayout->setContentsMargins(22, 6, 8, 6);
    headerLayout->addLayout(headerTexts, 1);
    headerLayout->addWidget(headerPicture, 0, Qt::AlignVCenter);

    // Body: the watermark (exterior pages only) and the pages.
    watermark_->setObjectName("watermark");
    watermark_->setPixmap(LoadBitmapResource(IDB_WATERMARK));
    watermark_->setScaledContents(true);
    stack_->setObjectName("pageStack");
    auto* bodyLayout = new QHBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    bodyLayout->addWidget(watermark_);
    bodyLayout->addWidget(stack_, 1);

    back_->setObjectName("backButton");
    next_->setObjectName("nextButton");
    finish_->setObjectName("finishButton");
    cancel_->setObjectName("cancelButton");
    for (QPushButton* button : {back_, next_, finish_, cancel_})
        button->setMinimumWidth(88);
    connect(back_, &QPushButton::clicked, this, &CSetupSheetWindow::OnBack);
    connect(next_, &QPushButton::clicked, this, &CSetupSheetWindow::OnNext);
    connect(finish_, &QPushButton::clicked, this, &CSetupSheetWindow::OnFinish);
    connect(cancel_, &QPushButton::clicked, this, &CSetupSheetWindow::OnCancel);
    finish_->hide();
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(11, 9, 11, 11);
    buttons->addStretch(1);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(finish_);
    buttons->addSpacing(8);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    layout->addWidget(headerRule_);
    layout->addWidget(body_, 1);
    layout->addWidget(EtchedRule(this));
    layout->addLayout(buttons);
}

CSetupSheetWindow::~CSetupSheetWindow() = default;

void CSetupSheetWindow::AddPage(CSetupPage* page) {
    pages_.push_back(page);
    stack_->addWidget(page);
}

int CSetupSheetWindow::GetPageIndex(const CSetupPage* page) const {
    for (std::size_t index = 0; index < pages_.size(); ++index) {
        if (pages_[index] == page)
            return static_cast<int>(index);
    }
    return -1;
}

bool CSetupSheetWindow::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount())
        return false;
    CSetupPage* page = GetPage(index);
    page->EnsureInitialised();
    active_ = index;
    stack_->setCurrentWidget(page);
    ShowHeaderFor(*page);
    setWindowTitle(QString::fromStdString(tl::LoadString(page->CaptionId())));
    page->OnSetActive();
    return true;
}

void CSetupSheetWindow::ShowHeaderFor(const CSetupPage& page) {
    const bool exterior = page.HidesHeader();
    header_->setVisible(!exterior);
    headerRule_->setVisible(!exterior);
    watermark_->setVisible(exterior);
    if (exterior) {
        // The picture fills the body's height and keeps its proportions.
        const QPixmap& picture = watermark_->pixmap();
        const int height = kSheetHeight - kButtonAreaHeight;
        if (!picture.isNull())
            watermark_->setFixedSize(picture.width() * height / picture.height(), height);
        PaintWhite(body_);
        return;
    }
    body_->setAutoFillBackground(false);
    headerTitle_->setText(QString::fromStdString(tl::LoadString(page.HeaderTitleId())));
    headerSubtitle_->setText(QString::fromStdString(tl::LoadString(page.HeaderSubtitleId())));
}

void CSetupSheetWindow::SetWizardButtons(unsigned flags) {
    back_->setEnabled((flags & win::PSWIZB_BACK) != 0);
    const bool finishShown = (flags & (win::PSWIZB_FINISH | win::PSWIZB_DISABLEDFINISH)) != 0;
    next_->setVisible(!finishShown);
    finish_->setVisible(finishShown);
    next_->setEnabled((flags & win::PSWIZB_NEXT) != 0);
    finish_->setEnabled((flags & win::PSWIZB_FINISH) != 0);
    next_->setDefault(!finishShown);
    finish_->setDefault(finishShown);
}

QPushButton* CSetupSheetWindow::ButtonFor(int button) const {
    switch (button) {
    case PSBTN_BACK:
        return back_;
    case PSBTN_NEXT:
        return next_;
    case PSBTN_FINISH:
        return finish_;
    case PSBTN_CANCEL:
        return cancel_;
    default:
        return nullptr;
    }
}

void CSetupSheetWindow::PressButton(int button) {
    QMetaObject::invokeMethod(
        this,
        [this, button] {
            QPushButton* target = ButtonFor(button);
            if (target != nullptr && target->isEnabled() && !target->isHidden())
                target->click();
        },
        Qt::QueuedConnection);
}

int CSetupSheetWindow::DoModal() {
    result_ = win::IDCANCEL;
    if (GetPageCount() == 0)
        return result_;
    SetActivePage(0);
    exec();
    return result_;
}

void CSetupSheetWindow::OnBack() {
    if (CSetupPage* page = GetActivePage(); page != nullptr && page->OnWizardBack() == 0)
        SetActivePage(active_ - 1);
}

void CSetupSheetWindow::OnNext() {
    if (CSetupPage* page = GetActivePage(); page != nullptr && page->OnWizardNext() == 0)
        SetActivePage(active_ + 1);
}

void CSetupSheetWindow::OnFinish() {
    CSetupPage* page = GetActivePage();
    if (page == nullptr || !page->OnWizardFinish())
        return;
    result_ = win::ID_WIZFINISH;
    done(win::ID_WIZFINISH);
}

void CSetupSheetWindow::OnCancel() {
    CSetupPage* page = GetActivePage();
    if (page != nullptr && !page->OnQueryCancel())
        return;
    result_ = win::IDCANCEL;
    QDialog::reject();
}

void CSetupSheetWindow::reject() {
    OnCancel();
}
