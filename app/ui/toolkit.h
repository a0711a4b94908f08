// The toolkit layer: small classes over Qt widgets that give the window's
// handlers exactly the operations they call, with the guarantees they rely on.
//
// Every change notification is delivered through a direct call: setting a
// value that changes it runs the change handler to its end before the set
// returns, so handlers nest (the drive list's change sets the directory
// list's path, whose change re-points the file lists, and so on).
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QMimeData;

namespace rastrex {

// Twips are 1/1440 inch; 15 of them make one device-independent pixel.
constexpr int kTwipsPerPixel = 15;
int twipsToPixels(int twips);

// Mouse buttons as the MouseDown handlers receive them.
enum MouseButtonCode { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
// Key state bits as the MouseDown handlers receive them.
enum ShiftCode { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };
// Drop effects reported by a drag-over handler.
enum DropEffect { kDropEffectNone = 0, kDropEffectCopy = 1 };

// Check box with the values 0 (off), 1 (on) and 2 (greyed). A user click and
// a setValue that changes the value both raise Click (the `click` callback)
// before they return.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    enum Value { Off = 0, On = 1, Greyed = 2 };

    explicit CheckBox(QWidget* parent = nullptr);

    int value() const;
    void setValue(int value);

    std::function<void()> click;

protected:
    void nextCheckState() override;

private:
    void raiseClick();
};

// Command button; the window decides which one is its default button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(QWidget* parent = nullptr);
};

// Drive list: the mounted volumes, each item's drive text being the volume's
// root path (shown with its label where it has one).
class DriveList : public QComboBox {
    Q_OBJECT
public:
    struct Entry {
        QString root;
        QString label;
    };

    explicit DriveList(QWidget* parent = nullptr);

    // Replaces the items without raising Change; the current drive becomes
    // the volume holding `current` (or the first one).
    void setVolumes(const QList<Entry>& volumes, const QString& current);

    // The current drive text (the volume's root path); empty without volumes.
    QString drive() const;
    // Makes the volume holding `path` current (a volume root path names
    // itself). When that changes the current drive, Change runs before the
    // call returns. A path on no listed volume changes nothing.
    void setDrive(const QString& path);
    // Shows the volume holding `path` as current without raising Change.
    void showDriveOf(const QString& path);

    std::function<void()> change;
    // Where the volumes come from; when set, the list is read again each
    // time it drops down, so that a volume mounted meanwhile can be chosen.
    std::function<QList<Entry>()> volumes;

    void showPopup() override;

private:
    int indexHolding(const QString& path) const;
    void userChose(int index);

    int shown_ = -1;  // the index whose change was last announced
};

// A list that is hidden while it is re-read: hiding it while it has the
// focus hands the focus back when it is shown again, so that a re-read keeps
// the user's place.
class PaneList : public QListWidget {
public:
    using QListWidget::QListWidget;
    void setVisible(bool visible) override;

private:
    bool refocus_ = false;
};

// Directory list in the classic shape: the ancestors of the current folder
// down to it, then its subfolders sorted by name. A double-click or Enter on
// an item opens that folder.
class DirList : public PaneList {
    Q_OBJECT
public:
    explicit DirList(QWidget* parent = nullptr);

    QString path() const;
    // Moves the list to `path` (a drive text opens that volume's root). When
    // the path changes, Change runs before the call returns. A folder that
    // cannot be read leaves the list on its current folder.
    void setPath(const QString& path);
    // Sets the path without raising Change (building the window).
    void initPath(const QString& path);

    std::function<void()> change;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool showFolder(const QString& path);
    void open(QListWidgetItem* item);

    QString path_;
};

// File list: the files of one folder whose names match a pattern, names
// only, sorted by name, with extended multi-selection.
class FileList : public PaneList {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString folder() const { return folder_; }
    QString pattern() const { return pattern_; }
    // Setting the folder or the pattern re-reads the list.
    void setFolder(const QString& folder);
    void setPattern(const QString& pattern);
    // Re-reads the folder. A folder that cannot be read gives an empty list.
    void refresh();

    int itemCount() const;
    // The name of item i; empty for an index outside the list (-1 included).
    QString itemText(int i) const;
    bool selected(int i) const;
    void setSelected(int i, bool on);
    // The item holding the focus mark, -1 when there is none.
    int currentIndex() const;

    // Events. mouseDown gets the button code, the key state bits and the
    // position; dragOver sets the effect (kDropEffectCopy accepts).
    std::function<void()> dblClick;
    std::function<void(int button, int shift, int x, int y)> mouseDown;
    std::function<void(const QMimeData* data, int& effect)> dragOver;
    std::function<void(const QMimeData* data)> dragDrop;

    // Whether a file name matches a pattern of the platform's file search:
    // "*" and "?" wildcards, letter case ignored, "*.*" matching every name.
    static bool matches(const QString& name, const QString& pattern);

    // Whether files dragged from other programs may be dropped here.
    void setAcceptsFileDrops(bool on);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int askDragOver(const QMimeData* data);

    QString folder_;
    QString pattern_ = QStringLiteral("*.*");
};

// Progress bar; a maximum equal to the minimum is accepted.
class ProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent = nullptr);
};

// Status bar with text panels numbered from 1.
class StatusBar : public QFrame {
    Q_OBJECT
public:
    // Panel widths in twips, left to right.
    StatusBar(const QList<int>& panelWidthsTwips, QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(panels_.size()); }
    QString panelText(int n) const;
    // Replaces the text of panel n; a panel number outside 1..count does nothing.
    void setPanelText(int n, const QString& text);
    QLabel* panel(int n) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QLabel*> panels_;
};

// A line drawn in one palette colour.
class Line : public QWidget {
    Q_OBJECT
public:
    Line(QPalette::ColorRole role, QWidget* parent = nullptr);
    QPalette::ColorRole role() const { return role_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPalette::ColorRole role_;
};

// A top-level menu kept out of the menu bar and shown only as a popup.
class PopupMenu : public QMenu {
    Q_OBJECT
public:
    PopupMenu(const QString& title, QWidget* parent);
    // Shows the menu at the mouse pointer; the chosen item's handler runs
    // before this returns, and dismissing the menu does nothing.
    void popupAtPointer();
};

}  // namespace rastrex
