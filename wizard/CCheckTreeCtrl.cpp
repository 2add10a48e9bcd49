#include "wizard/CCheckTreeCtrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

constexpr int kDataRole = Qt::UserRole;

// Gives the control the style options its items are painted with, to find their check boxes.
class CheckTreeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void InitOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
        initStyleOption(option, index);
    }
};

} // namespace

CCheckTreeCtrl::CCheckTreeCtrl(QWidget* parent, int controlId) : QTreeWidget(parent), controlId_(controlId) {
    setItemDelegate(new CheckTreeDelegate(this));
    setHeaderHidden(true);
    setColumnCount(1);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRootIsDecorated(false);
}

QTreeWidgetItem* CCheckTreeCtrl::InsertItem(const QString& text, quintptr itemData, QTreeWidgetItem* parent,
                                            QTreeWidgetItem* insertAfter) {
    QTreeWidgetItem* item = nullptr;
    if (parent == nullptr)
        item = insertAfter == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(this, insertAfter);
    else
        item =
            insertAfter == nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(parent, insertAfter);
    // The check box is drawn from the item's check state; the control toggles it itself, so the
    // item is not user-checkable (which would let the view flip it behind the control's back).
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setText(0, text);
    item->setCheckState(0, Qt::Unchecked);
    item->setData(0, kDataRole, QVariant::fromValue(itemData));
    byData_.insert(itemData, item);
    return item;
}

quintptr CCheckTreeCtrl::ItemData(const QTreeWidgetItem* item) const {
    return item->data(0, kDataRole).value<quintptr>();
}

bool CCheckTreeCtrl::StoredCheck(const QTreeWidgetItem* item) {
    return item->checkState(0) == Qt::Checked;
}

bool CCheckTreeCtrl::IsChecked(const QTreeWidgetItem* item) const {
    return item == toggling_ ? !StoredCheck(item) : StoredCheck(item);
}

void CCheckTreeCtrl::SetCheck(QTreeWidgetItem* item, bool check) {
    if (StoredCheck(item) == check)
        return;
    checkedCount_ += check ? 1 : -1;
    item->setCheckState(0, check ? Qt::Checked : Qt::Unchecked);
}

int CCheckTreeCtrl::Toggle(QTreeWidgetItem* item) {
    const bool wasChecked = StoredCheck(item);
    if (beforeToggle) {
        if (const int reply = beforeToggle(controlId_, item); reply != 0)
            return reply;
    }
    checkedCount_ += wasChecked ? -1 : 1;
    toggling_ = item;
    if (afterToggle)
        afterToggle(controlId_, item);
    toggling_ = nullptr;
    item->setCheckState(0, wasChecked ? Qt::Unchecked : Qt::Checked);
    return 0;
}

QRect CCheckTreeCtrl::CheckBoxRect(const QTreeWidgetItem* item) const {
    const QModelIndex index = indexFromItem(item);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    static_cast<CheckTreeDelegate*>(itemDelegate())->InitOption(&option, index);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CCheckTreeCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(position);
    if (item != nullptr && CheckBoxRect(item).contains(position))
        Toggle(item);
}

void CCheckTreeCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (QTreeWidgetItem* selected = currentItem(); selected != nullptr && selected->isSelected())
            Toggle(selected);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
