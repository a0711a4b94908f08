// The drive, directory and file lists (qt_lists.cpp; their drops in
// qt_drops.cpp).
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <functional>
#include <string>
#include <vector>

#include "volumes.h"

class QMimeData;

#include "qt_controls.h"

namespace rastrex::qt {

// Drive list: the mounted volumes, each item's drive text being the
// volume's root path (shown with its label where it has one).
class DriveList final : public Bound<QComboBox, rastrex::DriveList> {
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Replaces the items without raising change; the current drive becomes
    // the volume holding `current` (or the first one).
    void setVolumes(const std::vector<Volume>& volumes, const std::string& current);

    std::string drive() const override;
    void setDrive(const std::string& path) override;
    void showDriveOf(const std::string& path) override;
    std::string rootOf(const std::string& path) const override;

    // Where the volumes come from; when set, the list is read again each
    // time it drops down, so that a volume mounted meanwhile can be chosen.
    std::function<std::vector<Volume>()> volumes;

    void showPopup() override;

private:
    int indexHolding(const std::string& path) const;
    void userChose(int index);

    int shown_ = -1;  // the index whose change was last announced
};

// Whether a focused list shows its focus on itself rather than on an item:
// it has no current item, or that item is scrolled out of sight.
bool focusOnTheList(const QListWidget& list);
// Draws the focus frame inside the list's viewport.
void paintListFocus(QListWidget& list);

// A list that is hidden while it is re-read: hiding it while it has the
// focus hands the focus back when it is shown again. While it has the focus
// and no item in sight shows it, the list draws the focus frame itself.
template <typename Interface>
class PaneList : public Bound<QListWidget, Interface> {
public:
    using Bound<QListWidget, Interface>::Bound;
    void setVisible(bool visible) override
    {
        if (!visible && this->hasFocus())
            refocus_ = true;
        QListWidget::setVisible(visible);
        if (visible && refocus_) {
            refocus_ = false;
            this->setFocus();
        }
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QListWidget::paintEvent(event);
        if (this->hasFocus() && focusOnTheList(*this))
            paintListFocus(*this);
    }
    // The frame spans the viewport: it is drawn whole again whenever the
    // focus or the view moves.
    void focusInEvent(QFocusEvent* event) override
    {
        QListWidget::focusInEvent(event);
        this->viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QListWidget::focusOutEvent(event);
        this->viewport()->update();
    }
    void scrollContentsBy(int dx, int dy) override
    {
        QListWidget::scrollContentsBy(dx, dy);
        this->viewport()->update();
    }

private:
    bool refocus_ = false;
};

// Directory list in the classic shape: the ancestors of the current folder
// down to it, then its subfolders sorted by name. A double-click or Enter on
// an item opens that folder.
class DirList final : public PaneList<rastrex::DirList> {
public:
    explicit DirList(QWidget* parent = nullptr);

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    // Sets the path without raising change (building the window); an
    // unreadable folder gives the root.
    void initPath(const std::string& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool showFolder(const std::string& path);
    void open(QListWidgetItem* item);

    std::string path_;
};

// File list: the files of one folder whose names match a pattern, names
// only, sorted by name ignoring case, with extended multi-selection.
class FileList final : public PaneList<rastrex::FileList> {
public:
    explicit FileList(QWidget* parent = nullptr);

    std::string path() const override { return folder_; }
    void setPath(const std::string& folder) override;
    std::string pattern() const override { return pattern_; }
    void setPattern(const std::string& pattern) override;
    void refresh() override;
    // Sets the folder and the pattern without reading (building the window).
    void initState(const std::string& folder, const std::string& pattern);

    ItemIndex listCount() const override;
    std::string list(ItemIndex i) const override;
    bool selected(ItemIndex i) const override;
    void setSelected(ItemIndex i, bool on) override;
    void selectAll() override;
    ItemIndex listIndex() const override;

    // Whether files dragged from other programs may be dropped here.
    void setAcceptsFileDrops(bool on);

protected:
    // Shift+F10 and the Menu key do what a right press does, at the
    // current item.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int askDragOver(const QMimeData* data, QPoint at, DragState state);
    void pressFromKeyboard();

    std::string folder_;
    std::string pattern_ = "*.*";
    std::vector<std::string> names_;  // the items' names, in the list's order
};

// The makers: a control of `layout` in `parent`, placed by `window`
// (QtWindow::place) and set up from its layout.
DriveList* makeDriveList(QtWindow& window, const ControlLayout& layout, QWidget* parent);
DirList* makeDirList(QtWindow& window, const ControlLayout& layout, QWidget* parent);
FileList* makeFileList(QtWindow& window, const ControlLayout& layout, QWidget* parent);

}  // namespace rastrex::qt
