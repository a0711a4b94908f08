// The toolkit's controls over Qt widgets: each widget class implements one
// control interface of the window's logic, with the guarantees it states,
// and each family has a maker that sets a control up from its layout where
// it is made: buttons and check boxes (qt_buttons.cpp), the drive, directory
// and file lists (qt_lists.cpp, their drops in qt_drops.cpp), the bars
// (qt_bars.cpp), the text box, labels, frames and lines (qt_text.cpp),
// pictures (qt_pictures.cpp) and menus (qt_menus.cpp).
//
// Every change notification is delivered through a direct call: setting a
// value that changes it runs the change handler to its end before the set
// returns. Names and paths are kept as the bytes the file system holds;
// bytes that are not valid UTF-8 are shown as U+FFFD.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "controls.h"
#include "qt_accessible.h"
#include "layouts.h"
#include "volumes.h"

class QMimeData;

namespace rastrex::qt {

class QtWindow;

// Twips to device-independent pixels, rounded.
int twipsToPixels(int twips);

// Bytes as shown: valid UTF-8 decoded, other bytes as U+FFFD.
QString shown(const std::string& bytes);
QString shown(std::string_view text);
std::string bytesOf(const QString& text);

// The place of a control of a layout in its container, in pixels: right and
// bottom edges are rounded as the left and top are, so that neighbours that
// touch in twips touch in pixels; at least one pixel each way.
QRect pixelRect(const ControlLayout& c);

// The palette role that draws a layout's system colour.
QPalette::ColorRole roleOf(SystemColour colour);

// The logic's codes of a mouse button and of the shift keys held.
int buttonCode(Qt::MouseButton button);
int shiftCode(Qt::KeyboardModifiers modifiers);

// What every control shares: its layout name, and enabled and visible
// states read as the logic means them (hidden by the program, whatever the
// window's own state).
template <typename Widget, typename Interface>
class Bound : public Widget, public Interface {
public:
    using Widget::Widget;
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& name() const override { return name_; }
    void setEnabled(bool on) override { Widget::setEnabled(on); }
    bool enabled() const override { return Widget::isEnabled(); }
    void setVisible(bool on) override { Widget::setVisible(on); }
    bool visible() const override { return !Widget::isHidden(); }
    std::string accessibleName() const override { return bytesOf(accessibleNameOf(this)); }

private:
    std::string name_;
};

// Check box with the values 0 (off), 1 (on) and 2 (greyed). A user click and
// a setValue that changes the value both raise click before they return.
class CheckBox final : public Bound<QCheckBox, rastrex::CheckBox> {
public:
    explicit CheckBox(QWidget* parent = nullptr);
    int value() const override;
    void setValue(int value) override;

protected:
    void nextCheckState() override;
};

class CommandButton final : public Bound<QPushButton, rastrex::CommandButton> {
public:
    explicit CommandButton(QWidget* parent = nullptr);
};

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

class ProgressBar final : public Bound<QProgressBar, rastrex::ProgressBar> {
public:
    explicit ProgressBar(QWidget* parent = nullptr);
    void setMin(ItemIndex value) override;
    void setMax(ItemIndex value) override;
    void setValue(ItemIndex value) override;
    ItemIndex min() const override { return min_; }
    ItemIndex max() const override { return max_; }
    ItemIndex value() const override { return value_; }
    int pixelWidth() const override { return width(); }
    void paintNow() override { repaint(); }

private:
    // QProgressBar holds int; counts beyond it are shown scaled.
    void apply();
    ItemIndex min_ = 0, max_ = 100, value_ = 0;
};

// Status bar with text panels numbered from 1.
class StatusBar final : public Bound<QFrame, rastrex::StatusBar> {
public:
    // Panel widths in twips, left to right; the last one takes the rest.
    StatusBar(const std::vector<int>& panelWidthsTwips, QWidget* parent = nullptr);

    int panelCount() const override { return static_cast<int>(panels_.size()); }
    std::string panelText(int n) const override;
    void setPanelText(int n, const std::string& text) override;
    void paintNow(int n) override;
    QLabel* panel(int n) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QLabel*> panels_;
    QList<std::string> texts_;
    std::vector<int> widths_;
};

// A read-only text box: the keyboard moves through it and selects, Tab
// leaves it, and Enter stays in it without pressing the default button.
class TextBox final : public Bound<QPlainTextEdit, rastrex::TextBox> {
public:
    explicit TextBox(QWidget* parent = nullptr);
    std::string text() const override { return bytesOf(toPlainText()); }
    void setText(const std::string& text) override { setPlainText(shown(text)); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A label; a frame's caption is read through the same interface.
class Label final : public Bound<QLabel, rastrex::Label> {
public:
    using Bound::Bound;
    std::string caption() const override { return bytesOf(text()); }
};

class Frame final : public Bound<QGroupBox, rastrex::Label> {
public:
    using Bound::Bound;
    std::string caption() const override { return bytesOf(title()); }
};

// A line drawn in one palette colour.
class Line final : public QWidget {
public:
    Line(QPalette::ColorRole role, QWidget* parent = nullptr);
    QPalette::ColorRole role() const { return role_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPalette::ColorRole role_;
};

class MenuItem final : public rastrex::MenuItem {
public:
    MenuItem(std::string name, class QAction* action);
    const std::string& name() const override { return name_; }
    class QAction* action() const { return action_; }

private:
    std::string name_;
    class QAction* action_;
};

// A top-level menu kept out of the menu bar and shown only as a popup.
class PopupMenu final : public rastrex::PopupMenu {
public:
    PopupMenu(std::string name, QMenu* menu) : name_(std::move(name)), menu_(menu) {}
    const std::string& name() const override { return name_; }
    void popup() override;
    QMenu* menu() const { return menu_; }
    // Where the menu was last opened, in global coordinates.
    QPoint shownAt() const { return shownAt_; }

    // Tests replace how the menu is shown, to observe it without blocking.
    std::function<void(QMenu&)> show;

private:
    std::string name_;
    QMenu* menu_;
    QPoint shownAt_;
};

// While one lives, popups open at `global` instead of at the mouse pointer:
// the keyboard asked for them.
class PopupAnchor {
public:
    explicit PopupAnchor(QPoint global);
    ~PopupAnchor();
    PopupAnchor(const PopupAnchor&) = delete;
    PopupAnchor& operator=(const PopupAnchor&) = delete;
};

// The makers of each family: a control of `layout` in `parent`, placed by
// `window` (QtWindow::place) and set up from its layout.
CommandButton* makeCommandButton(QtWindow& window, const ControlLayout& layout, QWidget* parent);
CheckBox* makeCheckBox(QtWindow& window, const ControlLayout& layout, QWidget* parent);
DriveList* makeDriveList(QtWindow& window, const ControlLayout& layout, QWidget* parent);
DirList* makeDirList(QtWindow& window, const ControlLayout& layout, QWidget* parent);
FileList* makeFileList(QtWindow& window, const ControlLayout& layout, QWidget* parent);
ProgressBar* makeProgressBar(QtWindow& window, const ControlLayout& layout, QWidget* parent);
StatusBar* makeStatusBar(QtWindow& window, const ControlLayout& layout, QWidget* parent);
TextBox* makeTextBox(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Label* makeLabel(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Frame* makeFrame(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Line* makeLine(QtWindow& window, const ControlLayout& layout, QWidget* parent);
Label* makePicture(QtWindow& window, const ControlLayout& layout, QWidget* parent);  // qt_pictures.cpp

}  // namespace rastrex::qt
