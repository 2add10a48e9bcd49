#pragma once

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

/// The shell folder browser the pages open: a tree of Windows folders, rooted at My Computer
/// (this computer's drives) or at the computers near me (the computers of the workgroup and
/// their disk shares), with the page's title above it and an edit box below that shows the
/// selected folder and takes a typed one. Only file-system folders can be chosen.
class CFolderBrowser : public QDialog {
    Q_OBJECT
public:
    enum class Root { MyComputer, ComputersNearMe };
    /// Item data roles: the item's Windows path ("" for the root and computers) and its kind.
    enum Role { PathRole = Qt::UserRole, KindRole };
    enum Kind { RootItem, DriveItem, ComputerItem, FolderItem };

    CFolderBrowser(QWidget* parent, Root root, const QString& title);

    /// Pre-selects the longest leading part of path that exists, expanding the tree down to it;
    /// nothing is selected when no part of it exists. Returns what was selected ("" for nothing).
    std::string SetInitialSelection(const std::string& path);

    /// The folder chosen: the edit box's text when it names a full path, the selected folder with
    /// a typed name appended when it names a relative one, else the selected folder. Empty when
    /// nothing usable is chosen.
    std::string ChosenPath() const;

    /// Runs the browser modally, pre-selecting from currentPath; the chosen folder, or nothing
    /// when the user cancelled.
    static std::optional<std::string> Browse(QWidget* parent, Root root, const QString& title,
                                             const std::string& currentPath);

    QTreeWidget* Tree() const { return tree_; }

    void accept() override;

private:
    void Populate(QTreeWidgetItem* item);
    void FillNetwork(QTreeWidgetItem* root);
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const QString& text, const std::string& path, Kind kind,
                             bool expandable);
    QTreeWidgetItem* FindChild(QTreeWidgetItem* parent, const std::string& path);
    void OnSelectionChanged();
    void UpdateOk();

    Root root_;
    QTreeWidget* tree_;
    QLineEdit* edit_;
    QPushButton* ok_;
};
