#include "attorneys/CEcfLoginDialog.h"

#include "app/UserInterface.h"
#include "attorneys/RosterWidgets.h"
#include "attorneys/ShowSourceError.h"
#include "db/CDBException.h"
#include "platform/WinTypes.h"
#include "tables/AttorneyInfo.h"
#include "tables/DistrictCache.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The progress window and the wait cursor while the districts are read; gone however it ends.
class DistrictReadingNotice {
public:
    DistrictReadingNotice() {
        TheUserInterface().ShowProgress("Tallymar Attorney Setup", "Getting list of districts");
        TheUserInterface().BeginWaitCursor();
    }
    DistrictReadingNotice(const DistrictReadingNotice&) = delete;
    DistrictReadingNotice& operator=(const DistrictReadingNotice&) = delete;
    ~DistrictReadingNotice() {
        TheUserInterface().EndWaitCursor();
        TheUserInterface().HideProgress();
    }
};

// The platform's select-by-prefix search from the top: the first entry whose text begins with
// prefix, compared without regard to case.
int FindByPrefix(const QComboBox* list, const QString& prefix) {
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

} // namespace

CEcfLoginDialog::CEcfLoginDialog(QWidget* parent)
    : CEditDialog(parent), heading_(new QLabel(this)), district_(new QComboBox(this)),
      userName_(new QLineEdit(this)), password_(new QLineEdit(this)), barNumber_(new QLineEdit(this)) {
    setObjectName("CEcfLoginDialog");
    setWindowTitle(QStringLiteral("Electronic Filing Information"));
    heading_->setObjectName("headingText");
    heading_->setTextFormat(Qt::PlainText); // an attorney's name is never markup
    district_->setObjectName("districtCombo");
    userName_->setObjectName("loginIdEdit");
    password_->setObjectName("passwordEdit");
    barNumber_->setObjectName("barNumberEdit");
    SetupRosterEdit(userName_, RosterFieldLimits::EcfUserName);
    SetupRosterEdit(password_, RosterFieldLimits::EcfPassword);
    SetupRosterEdit(barNumber_, RosterFieldLimits::BarNumber);
    district_->setMinimumContentsLength(28);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Judicial District:"), district_);
    form->addRow(QStringLiteral("ECF Login &ID:"), userName_);
    form->addRow(QStringLiteral("ECF Login &Password:"), password_);
    form->addRow(QStringLiteral("State &Bar Number:"), barNumber_);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName("okButton");
    cancel->setObjectName("cancelButton");
    SetDialogButtons(ok, cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    MarkModifiedOnEdit({userName_, password_, barNumber_});
    connect(district_, &QComboBox::activated, this, [this] { SetModified(true); });
}

CEcfLoginDialog::~CEcfLoginDialog() {
    WipeEdit(password_);
}

void CEcfLoginDialog::OnInitDialog() {
    heading_->setText(FromAnsi(heading));
    userName_->setText(FromAnsi(UserName));
    password_->setText(FromAnsi(Password.str()));
    barNumber_->setText(FromAnsi(BarNumber));
    CEditDialog::OnInitDialog();
    SetAsteriskMask(password_);
    FillDistricts();
}

void CEcfLoginDialog::FillDistricts() {
    if (theDistrictCache.IsEmpty()) {
        try {
            DistrictReadingNotice notice;
            theDistrictCache.Fill();
        } catch (const CDBException& e) {
            ShowSourceError(e.GetErrorMessage(kMaxSourceErrorText), win::MB_ICONINFORMATION, 0,
                            "EcfLoginDialog");
        }
    }
    const std::vector<std::string>& names = theDistrictCache.Names();
    for (std::size_t i = 0; i < names.size(); ++i)
        district_->addItem(FromAnsi(names[i]), static_cast<int>(i));
    // The entry of the login's district, found by its name as the court lookup gives it. A
    // district the court table does not know has no name; it is then left unselected rather than
    // matching the first entry, so that saving cannot silently put the login in another district.
    const int cached = theDistrictCache.Find(District);
    if (District.empty() || cached >= 0) {
        const QString name = cached >= 0 ? FromAnsi(names[static_cast<std::size_t>(cached)]) : QString();
        selectedIndex = FindByPrefix(district_, name);
    } else {
        selectedIndex = -1;
    }
    district_->setCurrentIndex(selectedIndex);
}

bool CEcfLoginDialog::Save() {
    selectedIndex = district_->currentIndex();
    UserName = ToAnsi(userName_->text());
    ReadSecret(password_, Password);
    BarNumber = ToAnsi(barNumber_->text());
    const std::vector<std::string>& codes = theDistrictCache.Codes();
    const int position = selectedIndex >= 0 ? district_->itemData(selectedIndex).toInt() : -1;
    if (position >= 0 && static_cast<std::size_t>(position) < codes.size())
        District = codes[static_cast<std::size_t>(position)];
    return CEditDialog::Save();
}
