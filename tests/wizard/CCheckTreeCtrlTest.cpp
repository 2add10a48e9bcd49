#include "wizard/CCheckTreeCtrl.h"

#include "tests/wizard/GuiTestSupport.h"

#include <QTest>

namespace {

class CheckTree : public ::testing::Test {
protected:
    CheckTree() : tree(nullptr, 1027) {
        tree.resize(240, 200);
        for (const char* state : {"AZ", "CA", "TX"})
            items.push_back(tree.InsertItem(state, 0));
        tree.show();
        tree.beforeToggle = [this](int id, QTreeWidgetItem* item) {
            log.push_back("before:" + std::to_string(id) + ":" + item->text(0).toStdString() + ":" +
                          (tree.IsChecked(item) ? "on" : "off"));
            return veto;
        };
        tree.afterToggle = [this](int, QTreeWidgetItem* item) {
            log.push_back("after:" + item->text(0).toStdString() + ":" +
                          (tree.IsChecked(item) ? "on" : "off") + ":" + std::to_string(tree.CheckedCount()));
        };
    }

    void ClickAt(const QPoint& point) { QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, point); }

    CCheckTreeCtrl tree;
    std::vector<QTreeWidgetItem*> items;
    std::vector<std::string> log;
    int veto = 0;
};

} // namespace

TEST_F(CheckTree, ClickOnTheCheckBoxTogglesButClickOnTheTextDoesNot) {
    const QRect box = tree.CheckBoxRect(items[1]);
    ASSERT_TRUE(box.isValid());
    ASSERT_TRUE(tree.visualItemRect(items[1]).contains(box.center()));
    const QPoint onText(box.right() + 30, box.center().y());
    ASSERT_EQ(tree.itemAt(onText), items[1]);

    ClickAt(onText);
    EXPECT_FALSE(tree.IsChecked(items[1]));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(items[1]->isSelected()) << "the text click selects";

    ClickAt(box.center());
    EXPECT_TRUE(tree.IsChecked(items[1]));
    EXPECT_EQ(tree.CheckedCount(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"before:1027:CA:off", "after:CA:on:1"}));
    ClickAt(box.center());
    EXPECT_FALSE(tree.IsChecked(items[1]));
    EXPECT_EQ(tree.CheckedCount(), 0);
}

TEST_F(CheckTree, SpaceBarTogglesTheSelectedItemOnce) {
    tree.setCurrentItem(items[2]);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_TRUE(tree.IsChecked(items[2]));
    EXPECT_FALSE(tree.IsChecked(items[0]));
    EXPECT_EQ(tree.CheckedCount(), 1);
    EXPECT_EQ(log.size(), 2u);
    QTest::keyClick(&tree, Qt::Key_Down); // other keys move as usual
    EXPECT_EQ(tree.currentItem(), items[2]) << "already the last";
    QTest::keyClick(&tree, Qt::Key_Up);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_TRUE(tree.IsChecked(items[1]));
    EXPECT_EQ(tree.CheckedCount(), 2);
}

TEST_F(CheckTree, AVetoKeepsTheStateAndTheCount) {
    tree.SetCheck(items[0], true);
    veto = 1;
    EXPECT_EQ(tree.Toggle(items[0]), 1);
    ClickAt(tree.CheckBoxRect(items[0]).center());
    tree.setCurrentItem(items[0]);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_TRUE(tree.IsChecked(items[0]));
    EXPECT_EQ(tree.CheckedCount(), 1);
    EXPECT_EQ(log, (std::vector<std::string>(3, "before:1027:AZ:on")));
}

TEST_F(CheckTree, SetCheckCountsOnlyChangesAndItemsCannotBeDragged) {
    tree.SetCheck(items[0], true);
    tree.SetCheck(items[0], true);
    tree.SetCheck(items[2], true);
    tree.SetCheck(items[1], false);
    EXPECT_EQ(tree.CheckedCount(), 2);
    EXPECT_TRUE(log.empty()) << "setting a state is no toggle";
    EXPECT_FALSE(tree.dragEnabled());
    EXPECT_EQ(tree.dragDropMode(), QAbstractItemView::NoDragDrop);
    EXPECT_FALSE(items[0]->flags().testFlag(Qt::ItemIsDragEnabled));
    EXPECT_FALSE(items[0]->flags().testFlag(Qt::ItemIsUserCheckable)) << "only the control toggles";
    QTreeWidgetItem* child = tree.InsertItem("child", 42, items[0]);
    EXPECT_EQ(tree.FindItem(42), child);
    EXPECT_EQ(tree.ItemData(child), 42u);
    EXPECT_EQ(items[0]->child(0), child);
    QTreeWidgetItem* between = tree.InsertItem("BB", 7, nullptr, items[0]);
    EXPECT_EQ(tree.indexOfTopLevelItem(between), 1);
}
