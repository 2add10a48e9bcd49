#include "wizard/CFolderBrowser.h"

#include "platform/NetEnum.h"
#include "platform/ShellNamespace.h"
#include "platform/TextUtil.h"
#include "platform/WindowsPath.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr char kPlaceholder[] = "placeholder";

QString DriveLabel(const tl::DriveEntry& drive) {
    const QString letter = QString::fromStdString(drive.root.substr(0, 2));
    switch (drive.type) {
    case win::DRIVE_FIXED:
        return QStringLiteral("Local Disk (%1)").arg(letter);
    case win::DRIVE_REMOTE:
        return QStringLiteral("Network Drive (%1)").arg(letter);
    case win::DRIVE_REMOVABLE:
        return QStringLiteral("Removable Disk (%1)").arg(letter);
    case win::DRIVE_CDROM:
        return QStringLiteral("CD Drive (%1)").arg(letter);
    case win::DRIVE_RAMDISK:
        return QStringLiteral("RAM Disk (%1)").arg(letter);
    default:
        return QStringLiteral("Drive (%1)").arg(letter);
    }
}

std::string PathOf(const QTreeWidgetItem* item) {
    return item == nullptr ? std::string() : item->data(0, CFolderBrowser::PathRole).toString().toStdString();
}

// A full Windows path as typed in the edit box: a drive with its root, or a UNC path.
bool IsFullPath(const std::string& text) {
    const auto parsed = tl::ParseWindowsPath(text);
    if (!parsed)
        return false;
    return parsed->kind == tl::WindowsPath::Kind::Unc || (text.size() >= 3 && text[2] == '\\');
}

// The tree item path that leads to a folder: the drive root ("C:\") or the share ("\\PC\Share"),
// then each folder below it.
std::vector<std::string> ItemPathsTo(const std::string& folder) {
    std::vector<std::string> steps;
    const auto parsed = tl::ParseWindowsPath(folder);
    if (!parsed)
        return steps;
    std::string current;
    if (parsed->kind == tl::WindowsPath::Kind::Drive) {
        current = std::string(1, parsed->drive) + ":\\";
    } else {
        steps.push_back("\\\\" + tl::ToUpper(parsed->server));
        current = "\\\\" + parsed->server + "\\" + parsed->share;
    }
    steps.push_back(current);
    for (const std::string& component : parsed->components) {
        current = tl::JoinPath(current, component);
        steps.push_back(current);
    }
    return steps;
}

} // namespace

CFolderBrowser::CFolderBrowser(QWidget* parent, Root root, const QString& title)
    : QDialog(parent), root_(root), tree_(new QTreeWidget(this)), edit_(new QLineEdit(this)), ok_(nullptr) {
    setObjectName("CFolderBrowser");
    setWindowTitle(QStringLiteral("Browse For Folder"));
    resize(380, 420);
    auto* titleLabel = new QLabel(title, this);
    titleLabel->setObjectName("browseTitle");
    titleLabel->setWordWrap(true);
    tree_->setObjectName("folderTree");
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    edit_->setObjectName("folderEdit");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderBrowser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderBrowser::reject);
    connect(tree_, &QTreeWidget::itemExpanded, this, &CFolderBrowser::Populate);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &CFolderBrowser::OnSelectionChanged);
    connect(edit_, &QLineEdit::textChanged, this, &CFolderBrowser::UpdateOk);

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(new QLabel(QStringLiteral("Folder:"), this));
    editRow->addWidget(edit_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel);
    layout->addWidget(tree_, 1);
    layout->addLayout(editRow);
    layout->addWidget(buttons);

    const bool network = root == Root::ComputersNearMe;
    QTreeWidgetItem* top =
        AddItem(nullptr, network ? QStringLiteral("Computers Near Me") : QStringLiteral("My Computer"), {},
                RootItem, true);
    top->setExpanded(true);
    UpdateOk();
}

QTreeWidgetItem* CFolderBrowser::AddItem(QTreeWidgetItem* parent, const QString& text,
                                         const std::string& path, Kind kind, bool expandable) {
    auto* item = parent == nullptr ? new QTreeWidgetItem(tree_) : new QTreeWidgetItem(parent);
    item->setText(0, text);
    item->setData(0, PathRole, QString::fromStdString(path));
    item->setData(0, KindRole, kind);
    if (expandable) {
        // Children are listed when the item is first expanded.
        auto* placeholder = new QTreeWidgetItem(item);
        placeholder->setData(0, KindRole, QString::fromLatin1(kPlaceholder));
    }
    return item;
}

void CFolderBrowser::Populate(QTreeWidgetItem* item) {
    if (item->childCount() != 1 ||
        item->child(0)->data(0, KindRole).toString() != QLatin1String(kPlaceholder))
        return;
    delete item->takeChild(0);
    const int kind = item->data(0, KindRole).toInt();
    if (kind == RootItem && root_ == Root::MyComputer) {
        for (const tl::DriveEntry& drive : tl::ListDrives())
            AddItem(item, DriveLabel(drive), drive.root, DriveItem, true);
        return;
    }
    if (kind == RootItem) {
        FillNetwork(item);
        return;
    }
    if (kind == ComputerItem) {
        std::vector<win::SHARE_INFO_1> shares;
        const std::string computer = item->text(0).toStdString();
        if (win::NetShareEnum(computer, 1, shares) != win::NERR_Success)
            return;
        for (const win::SHARE_INFO_1& share : shares) {
            if (share.shi1_type == win::STYPE_DISKTREE)
                AddItem(item, QString::fromStdString(share.shi1_netname),
                        "\\\\" + computer + "\\" + share.shi1_netname, FolderItem, true);
        }
        return;
    }
    const std::string folder = PathOf(item);
    for (const std::string& name : tl::ListSubfolders(folder))
        AddItem(item, QString::fromStdString(name), tl::JoinPath(folder, name), FolderItem, true);
}

void CFolderBrowser::FillNetwork(QTreeWidgetItem* root) {
    std::vector<win::SERVER_INFO_101> computers;
    if (win::NetServerEnum("", 101, computers, win::SV_TYPE_WORKSTATION, "") != win::NERR_Success)
        return;
    for (const win::SERVER_INFO_101& computer : computers)
        AddItem(root, QString::fromStdString(computer.sv101_name), "\\\\" + computer.sv101_name, ComputerItem,
                true);
}

QTreeWidgetItem* CFolderBrowser::FindChild(QTreeWidgetItem* parent, const std::string& path) {
    Populate(parent);
    for (int index = 0; index < parent->childCount(); ++index) {
        QTreeWidgetItem* child = parent->child(index);
        if (tl::EqualsNoCase(PathOf(child), path))
            return child;
    }
    return nullptr;
}

std::string CFolderBrowser::SetInitialSelection(const std::string& path) {
    const std::string existing = tl::LongestExistingLeadingPath(path);
    if (existing.empty())
        return {};
    QTreeWidgetItem* item = tree_->topLevelItem(0);
    QTreeWidgetItem* selected = nullptr;
    for (const std::string& step : ItemPathsTo(existing)) {
        item->setExpanded(true);
        item = FindChild(item, step);
        if (item == nullptr)
            break;
        selected = item;
    }
    if (selected == nullptr)
        return {};
    tree_->setCurrentItem(selected);
    tree_->scrollToItem(selected);
    return PathOf(selected);
}

void CFolderBrowser::OnSelectionChanged() {
    const QTreeWidgetItem* item = tree_->currentItem();
    const bool isFolder =
        item != nullptr && !PathOf(item).empty() && item->data(0, KindRole).toInt() != ComputerItem;
    edit_->setText(isFolder ? QString::fromStdString(PathOf(item)) : QString());
    UpdateOk();
}

std::string CFolderBrowser::ChosenPath() const {
    const std::string typed = edit_->text().trimmed().toStdString();
    const QTreeWidgetItem* item = tree_->currentItem();
    const bool folderSelected = item != nullptr && item->data(0, KindRole).toInt() != ComputerItem;
    const std::string selected = folderSelected ? PathOf(item) : std::string();
    if (typed.empty())
        return selected;
    if (IsFullPath(typed))
        return typed;
    if (selected.empty() || !tl::ParseWindowsPath(tl::JoinPath(selected, typed)))
        return {};
    return tl::JoinPath(selected, typed);
}

void CFolderBrowser::UpdateOk() {
    ok_->setEnabled(!ChosenPath().empty());
}

void CFolderBrowser::accept() {
    if (ChosenPath().empty())
        return;
    QDialog::accept();
}

std::optional<std::string> CFolderBrowser::Browse(QWidget* parent, Root root, const QString& title,
                                                  const std::string& currentPath) {
    CFolderBrowser browser(parent, root, title);
    browser.SetInitialSelection(currentPath);
    if (browser.exec() != QDialog::Accepted)
        return std::nullopt;
    return browser.ChosenPath();
}
