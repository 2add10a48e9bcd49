#include "attorneys/CAttorneyInfoDialog.h"

#include "app/UserInterface.h"
#include "attorneys/CEcfLoginDialog.h"
#include "attorneys/RequiredField.h"
#include "attorneys/RosterWidgets.h"
#include "attorneys/ShowSourceError.h"
#include "db/CDBException.h"
#include "platform/Format.h"
#include "platform/WinTypes.h"
#include "tables/Lookups.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr char kSource[] = "AttorneyInfoDialog";

// The list box sorts its items by their text without regard to case.
class LoginItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

void ReportDatabaseFailure(const CDBException& e, int line) {
    ShowSourceError(e.GetErrorMessage(kMaxSourceErrorText), win::MB_ICONINFORMATION, 0, kSource, line);
}

// What the login list shows for a district: the court lookup's description of it.
QString CourtNameOf(const std::string& district) {
    try {
        return FromAnsi(LookupDistrictDescription(district));
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return {};
    }
}

// The zip code up to its first "-".
std::string FiveDigitsOf(const QString& zip) {
    return ToAnsi(zip.section('-', 0, 0));
}

// A field that Save requires, with the label its message names.
struct RequiredEdit {
    QLineEdit* edit;
    const char* label;
};

bool LoginsDiffer(const EcfLogin& a, const EcfLogin& b) {
    return a.District != b.District || a.UserName != b.UserName || a.Password.str() != b.Password.str() ||
           a.BarNumber != b.BarNumber;
}

QLabel* AddLabel(QGridLayout* grid, QWidget* parent, const char* text, QWidget* buddy, int row, int column) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setBuddy(buddy);
    grid->addWidget(label, row, column);
    return label;
}

} // namespace

CAttorneyInfoDialog::CAttorneyInfoDialog(AttorneyInfo* info, EcfLoginList* logins,
                                         tl::SecretString* nationalDataCenterKey, QWidget* parent)
    : CEditDialog(parent), info_(info), callerLogins_(logins), callerKey_(nationalDataCenterKey),
      logins_(*logins), name_(AddEdit("nameEdit", RosterFieldLimits::Name)),
      firm_(AddEdit("firmEdit", RosterFieldLimits::Firm)),
      address1_(AddEdit("address1Edit", RosterFieldLimits::Address)),
      address2_(AddEdit("address2Edit", RosterFieldLimits::Address)),
      zip_(AddEdit("zipEdit", RosterFieldLimits::Zipcode)),
      city_(AddEdit("cityEdit", RosterFieldLimits::City)),
      state_(AddEdit("stateEdit", RosterFieldLimits::State)),
      email_(AddEdit("emailEdit", RosterFieldLimits::email)),
      phone_(AddEdit("phoneEdit", RosterFieldLimits::Telephone)),
      fax_(AddEdit("faxEdit", RosterFieldLimits::Fax)),
      initials_(AddEdit("initialsEdit", RosterFieldLimits::Initials)),
      pacerId_(AddEdit("pacerIdEdit", RosterFieldLimits::PacerId)),
      password_(AddEdit("passwordEdit", RosterFieldLimits::Password)),
      key_(AddEdit("ndcKeyEdit", RosterFieldLimits::NationalDataCenterKey)),
      loginList_(new QListWidget(this)), addLogin_(new QPushButton(QStringLiteral("&Add..."), this)),
      editLogin_(new QPushButton(QStringLiteral("&Edit..."), this)),
      deleteLogin_(new QPushButton(QStringLiteral("&Delete"), this)),
      default_(new QCheckBox(QStringLiteral("Default attorne&y for new cases"), this)) {
    setObjectName("CAttorneyInfoDialog");
    setWindowTitle(QString::fromLatin1(kFormName));
    loginList_->setObjectName("loginList");
    loginList_->setSortingEnabled(true);
    addLogin_->setObjectName("addLoginButton");
    editLogin_->setObjectName("editLoginButton");
    deleteLogin_->setObjectName("deleteLoginButton");
    default_->setObjectName("defaultCheck");
    for (QPushButton* button : {addLogin_, editLogin_, deleteLogin_})
        button->setAutoDefault(false);

    auto* loginLabel = new QLabel(QStringLiteral("Electronic Filin&g:"), this);
    loginLabel->setBuddy(loginList_);
    BuildLayout(loginLabel);

    MarkModifiedOnEdit({name_, firm_, address1_, address2_, zip_, city_, state_, email_, phone_, fax_,
                        initials_, pacerId_, password_, key_});
    connect(zip_, &QLineEdit::textEdited, this, &CAttorneyInfoDialog::OnZipEdited);
    zip_->installEventFilter(this);
    connect(default_, &QCheckBox::clicked, this, [this] { SetModified(true); });
    connect(addLogin_, &QPushButton::clicked, this, &CAttorneyInfoDialog::OnAddLogin);
    connect(editLogin_, &QPushButton::clicked, this, &CAttorneyInfoDialog::OnEditLogin);
    connect(deleteLogin_, &QPushButton::clicked, this, &CAttorneyInfoDialog::OnDeleteLogin);
    connect(loginList_, &QListWidget::itemDoubleClicked, this, &CAttorneyInfoDialog::OnEditLogin);
    connect(loginList_, &QListWidget::currentRowChanged, this, &CAttorneyInfoDialog::UpdateLoginButtons);
}

CAttorneyInfoDialog::~CAttorneyInfoDialog() {
    WipeEdit(password_);
    WipeEdit(key_);
}

QLineEdit* CAttorneyInfoDialog::AddEdit(const char* objectName, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    SetupRosterEdit(edit, maxLength);
    return edit;
}

void CAttorneyInfoDialog::BuildLayout(QLabel* loginLabel) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    AddLabel(grid, this, "&Name", name_, 0, 0);
    grid->addWidget(name_, 0, 1, 1, 3);
    AddLabel(grid, this, "&Firm name:", firm_, 1, 0);
    grid->addWidget(firm_, 1, 1, 1, 3);
    AddLabel(grid, this, "Add&ress:", address1_, 2, 0);
    grid->addWidget(address1_, 2, 1, 1, 3);
    grid->addWidget(address2_, 3, 1, 1, 3);
    AddLabel(grid, this, "&Zip:", zip_, 4, 0);
    grid->addWidget(zip_, 4, 1);
    AddLabel(grid, this, "&City:", city_, 4, 2);
    grid->addWidget(city_, 4, 3);
    AddLabel(grid, this, "&State:", state_, 5, 0);
    grid->addWidget(state_, 5, 1);
    AddLabel(grid, this, "&Initials:", initials_, 5, 2);
    grid->addWidget(initials_, 5, 3);
    AddLabel(grid, this, "P&hone:", phone_, 6, 0);
    grid->addWidget(phone_, 6, 1);
    AddLabel(grid, this, "Fa&x:", fax_, 6, 2);
    grid->addWidget(fax_, 6, 3);
    AddLabel(grid, this, "E-&mail:", email_, 7, 0);
    grid->addWidget(email_, 7, 1, 1, 3);
    AddLabel(grid, this, "&PACER Id:", pacerId_, 8, 0);
    grid->addWidget(pacerId_, 8, 1);
    AddLabel(grid, this, "Pass&word:", password_, 8, 2);
    grid->addWidget(password_, 8, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    // The key's long label gets a row of its own, so that it does not widen the labels above.
    auto* keyRow = new QHBoxLayout;
    auto* keyLabel = new QLabel(QStringLiteral("National Data Center API &key:"), this);
    keyLabel->setBuddy(key_);
    keyRow->addWidget(keyLabel);
    keyRow->addWidget(key_, 1);

    auto* loginButtons = new QVBoxLayout;
    loginButtons->addWidget(addLogin_);
    loginButtons->addWidget(editLogin_);
    loginButtons->addWidget(deleteLogin_);
    loginButtons->addStretch(1);
    auto* logins = new QHBoxLayout;
    loginList_->setFixedHeight(loginList_->fontMetrics().height() * 5 + 8);
    logins->addWidget(loginList_, 1);
    logins->addLayout(loginButtons);

    auto* buttons = new QDialogButtonBox(this);
    auto* save = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
    auto* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    save->setObjectName("saveButton");
    close->setObjectName("closeButton");
    SetDialogButtons(save, close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(keyRow);
    layout->addSpacing(8);
    layout->addWidget(loginLabel);
    layout->addLayout(logins);
    layout->addWidget(default_);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    resize(520, sizeHint().height());
}

void CAttorneyInfoDialog::OnInitDialog() {
    name_->setText(FromAnsi(info_->Name));
    firm_->setText(FromAnsi(info_->Firm));
    address1_->setText(FromAnsi(info_->Address1));
    address2_->setText(FromAnsi(info_->Address2));
    zip_->setText(FromAnsi(info_->Zipcode));
    city_->setText(FromAnsi(info_->City));
    state_->setText(FromAnsi(info_->State));
    email_->setText(FromAnsi(info_->email));
    phone_->setText(FromAnsi(info_->Telephone));
    fax_->setText(FromAnsi(info_->Fax));
    initials_->setText(FromAnsi(info_->Initials));
    pacerId_->setText(FromAnsi(info_->PacerId));
    password_->setText(FromAnsi(info_->Password.str()));
    key_->setText(FromAnsi(callerKey_->str()));
    default_->setChecked(info_->Default);
    CEditDialog::OnInitDialog();
    SetAsteriskMask(password_);
    for (std::size_t i = 0; i < logins_.size(); ++i)
        AddLoginItem(static_cast<int>(i), false);
    loginList_->setCurrentRow(loginList_->count() > 0 ? 0 : -1);
    UpdateLoginButtons();
}

bool CAttorneyInfoDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == zip_ && event->type() == QEvent::FocusOut)
        OnZipFocusOut();
    return CEditDialog::eventFilter(watched, event);
}

void CAttorneyInfoDialog::OnZipEdited() {
    city_->clear();
    state_->clear();
    SetModified(true);
}

void CAttorneyInfoDialog::OnZipFocusOut() {
    if (!city_->text().isEmpty() || !state_->text().isEmpty())
        return;
    std::string city;
    std::string state;
    try {
        if (!LookupZipcode(FiveDigitsOf(zip_->text()), city, state))
            return;
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return;
    }
    city_->setText(FromAnsi(city));
    state_->setText(FromAnsi(state));
}

bool CAttorneyInfoDialog::Save() {
    const RequiredEdit before[] = {{name_, "Name"}, {address1_, "Address"}, {zip_, "Zipcode"}};
    const RequiredEdit after[] = {{city_, "City"}, {state_, "State"}};
    for (const RequiredEdit& field : before) {
        if (!CheckRequiredField(kFormName, this, field.edit->text(), field.label, field.edit))
            return false;
    }
    try {
        if (!IsKnownZipcode(ToAnsi(zip_->text()))) {
            AppMessageBox("You entered an invalid or non-existent zipcode.", win::MB_OK | win::MB_ICONERROR);
            FocusFailedControl(zip_);
            return false;
        }
        for (const RequiredEdit& field : after) {
            if (!CheckRequiredField(kFormName, this, field.edit->text(), field.label, field.edit))
                return false;
        }
        state_->setText(FromAnsi(tl::ToUpper(ToAnsi(state_->text()))));
        if (!IsKnownState(ToAnsi(state_->text()))) {
            AppMessageBox("You entered an unknown state code.", win::MB_OK | win::MB_ICONERROR);
            FocusFailedControl(state_);
            return false;
        }
        if (!CheckAddress())
            return false;
    } catch (const CDBException& e) {
        ReportDatabaseFailure(e, __LINE__);
        return false;
    }
    info_->Name = ToAnsi(name_->text());
    info_->Initials = ToAnsi(initials_->text());
    info_->Address1 = ToAnsi(address1_->text());
    info_->Address2 = ToAnsi(address2_->text());
    info_->City = ToAnsi(city_->text());
    info_->State = ToAnsi(state_->text());
    info_->Zipcode = ToAnsi(zip_->text());
    info_->Telephone = ToAnsi(phone_->text());
    info_->Fax = ToAnsi(fax_->text());
    info_->email = ToAnsi(email_->text());
    info_->Firm = ToAnsi(firm_->text());
    info_->Default = default_->isChecked();
    info_->PacerId = ToAnsi(pacerId_->text());
    ReadSecret(password_, info_->Password);
    ReadSecret(key_, *callerKey_);
    *callerLogins_ = logins_;
    return CEditDialog::Save();
}

// The city and state the zip code has, when they differ from the ones entered, are confirmed.
bool CAttorneyInfoDialog::CheckAddress() {
    std::string city;
    std::string state;
    if (!LookupZipcode(FiveDigitsOf(zip_->text()), city, state))
        return true;
    if (tl::EqualsNoCase(city, ToAnsi(city_->text())) && tl::EqualsNoCase(state, ToAnsi(state_->text())))
        return true;
    if (AppMessageBox(
            "The city and/or state you specified doesn't match the zip code. Do you want to use that "
            "city and state anyway?",
            win::MB_YESNO | win::MB_ICONQUESTION) == win::IDYES)
        return true;
    FocusFailedControl(city_);
    return false;
}

void CAttorneyInfoDialog::AddLoginItem(int position, bool select) {
    auto* item = new LoginItem(CourtNameOf(logins_[static_cast<std::size_t>(position)].District));
    item->setData(Qt::UserRole, position);
    loginList_->addItem(item);
    if (select)
        loginList_->setCurrentItem(item);
}

QListWidgetItem* CAttorneyInfoDialog::SelectedLogin() const {
    QListWidgetItem* item = loginList_->currentItem();
    return item != nullptr && item->isSelected() ? item : nullptr;
}

void CAttorneyInfoDialog::UpdateLoginButtons() {
    const bool selected = SelectedLogin() != nullptr;
    editLogin_->setEnabled(selected);
    deleteLogin_->setEnabled(selected);
}

void CAttorneyInfoDialog::OnAddLogin() {
    CEcfLoginDialog dialog(this);
    dialog.heading = tl::Format("Electronic Filing Information for %s", ToAnsi(name_->text()).c_str());
    if (dialog.DoModal() != win::IDOK)
        return;
    EcfLogin& login = logins_.emplace_back();
    login.District = dialog.District;
    login.UserName = dialog.UserName;
    login.Password = dialog.Password;
    login.BarNumber = dialog.BarNumber;
    AddLoginItem(static_cast<int>(logins_.size() - 1), true);
    UpdateLoginButtons();
    SetModified(true);
}

void CAttorneyInfoDialog::OnEditLogin() {
    QListWidgetItem* item = SelectedLogin();
    if (item == nullptr)
        return;
    const int position = item->data(Qt::UserRole).toInt();
    EcfLogin& login = logins_.at(static_cast<std::size_t>(position));
    CEcfLoginDialog dialog(this);
    dialog.heading = tl::Format("Electronic Filing Information for %s", ToAnsi(name_->text()).c_str());
    dialog.District = login.District;
    dialog.UserName = login.UserName;
    dialog.Password = login.Password;
    dialog.BarNumber = login.BarNumber;
    if (dialog.DoModal() != win::IDOK)
        return;
    EcfLogin edited;
    edited.District = dialog.District;
    edited.UserName = dialog.UserName;
    edited.Password = dialog.Password;
    edited.BarNumber = dialog.BarNumber;
    if (LoginsDiffer(edited, login)) {
        const bool districtChanged = edited.District != login.District;
        login = edited;
        if (districtChanged) {
            delete loginList_->takeItem(loginList_->row(item));
            AddLoginItem(position, true);
        }
    }
    UpdateLoginButtons();
    SetModified(true);
}

void CAttorneyInfoDialog::OnDeleteLogin() {
    QListWidgetItem* item = SelectedLogin();
    if (item == nullptr)
        return;
    const int position = item->data(Qt::UserRole).toInt();
    const int row = loginList_->row(item);
    delete loginList_->takeItem(row);
    logins_.erase(logins_.begin() + position);
    // The items after the removed login keep pointing at theirs.
    for (int i = 0; i < loginList_->count(); ++i) {
        QListWidgetItem* other = loginList_->item(i);
        const int itemPosition = other->data(Qt::UserRole).toInt();
        if (itemPosition > position)
            other->setData(Qt::UserRole, itemPosition - 1);
    }
    if (loginList_->count() > 0)
        loginList_->setCurrentRow(row < loginList_->count() ? row : loginList_->count() - 1);
    UpdateLoginButtons();
    SetModified(true);
}
