#pragma once

#include <QHash>
#include <QTreeWidget>
#include <functional>

/// A tree whose items carry check boxes. It keeps the number of checked items, toggles an item
/// when its check box (not its text) is clicked or when the space bar is pressed on the selected
/// item, and tells its owner before a toggle, which may refuse it, and after it. Items cannot be
/// dragged.
class CCheckTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    /// Parent notifications: WM_APP + 0x401 before a toggle, WM_APP + 0x402 after it.
    static constexpr unsigned kBeforeToggle = 0x8401;
    static constexpr unsigned kAfterToggle = 0x8402;

    explicit CCheckTreeCtrl(QWidget* parent = nullptr, int controlId = 0);

    int ControlId() const { return controlId_; }

    /// Inserts an unchecked item with the text under parent (the root when null) after insertAfter
    /// (last when null), sets its item data and records data -> item.
    QTreeWidgetItem* InsertItem(const QString& text, quintptr itemData = 0, QTreeWidgetItem* parent = nullptr,
                                QTreeWidgetItem* insertAfter = nullptr);
    /// The item last inserted with that data, or null.
    QTreeWidgetItem* FindItem(quintptr itemData) const { return byData_.value(itemData, nullptr); }
    quintptr ItemData(const QTreeWidgetItem* item) const;

    /// The item's check state; while a toggle of that item is being reported, the state it is
    /// about to take.
    bool IsChecked(const QTreeWidgetItem* item) const;
    /// Sets the state, adjusting the count when it changes. Sends no notification.
    void SetCheck(QTreeWidgetItem* item, bool check);
    int CheckedCount() const { return checkedCount_; }

    /// Toggles an item as a click on its check box does: asks beforeToggle (a non-zero reply
    /// stops the toggle and is returned), adjusts the count, reports afterToggle and flips the
    /// state. Returns 0 when the item was toggled.
    int Toggle(QTreeWidgetItem* item);

    /// The check box of an item, in viewport coordinates.
    QRect CheckBoxRect(const QTreeWidgetItem* item) const;

    /// The owner's answers to the notifications, called with the control id and the item.
    std::function<int(int, QTreeWidgetItem*)> beforeToggle;
    std::function<void(int, QTreeWidgetItem*)> afterToggle;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static bool StoredCheck(const QTreeWidgetItem* item);

    int controlId_;
    QHash<quintptr, QTreeWidgetItem*> byData_;
    int checkedCount_ = 0;
    const QTreeWidgetItem* toggling_ = nullptr;
};
