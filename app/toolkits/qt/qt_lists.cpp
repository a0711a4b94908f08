// The drive list (a combo box), the directory list and the file list (list
// widgets), filled from the system's volumes and folders.
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QContextMenuEvent>
#include <algorithm>
#include <limits>

#include "case_fold.h"
#include "folder_listing.h"
#include "wildcard.h"
#include "qt_lists.h"
#include "qt_window.h"

namespace rastrex::qt {

namespace {

// The names in one list sorted as the user reads them, with the texts shown
// for them.
void sortNames(std::vector<std::string>& names, std::vector<QString>& shownNames)
{
    std::vector<std::string> sortedNames;
    std::vector<QString> sortedShown;
    sortedNames.reserve(names.size());
    sortedShown.reserve(names.size());
    for (std::size_t i : readingOrder(names)) {
        sortedNames.push_back(std::move(names[i]));
        sortedShown.push_back(std::move(shownNames[i]));
    }
    names.swap(sortedNames);
    shownNames.swap(sortedShown);
}

// An index of the logic as a row of a Qt list; -1 when outside int.
int rowOf(ItemIndex i)
{
    return i < 0 || i > std::numeric_limits<int>::max() ? -1 : static_cast<int>(i);
}

constexpr int kNameRole = Qt::UserRole;  // the item's name or path, as bytes

std::string itemBytes(const QListWidgetItem* item)
{
    if (item == nullptr)
        return {};
    const QVariant bytes = item->data(kNameRole);
    return bytes.isValid() ? bytes.toByteArray().toStdString() : item->text().toStdString();
}

}  // namespace

// --------------------------------------------------------------- DriveList

DriveList::DriveList(QWidget* parent) : Bound(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::userChose, Qt::DirectConnection);
}

void DriveList::setVolumes(const std::vector<Volume>& list, const std::string& current)
{
    const QSignalBlocker quiet(this);
    clear();
    for (const Volume& v : list) {
        const QString text = v.label.empty() ? shown(v.root) : QStringLiteral("%1 (%2)").arg(shown(v.root), shown(v.label));
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), text, QByteArray::fromStdString(v.root));
    }
    const int index = indexHolding(current);
    setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
    shown_ = currentIndex();
}

std::string DriveList::drive() const
{
    return currentData().toByteArray().toStdString();
}

void DriveList::setDrive(const std::string& path)
{
    const int index = indexHolding(path);
    if (index < 0)
        return;
    setCurrentIndex(index);  // raises change through userChose when it differs
}

void DriveList::showDriveOf(const std::string& path)
{
    const int index = indexHolding(path);
    if (index < 0 || index == currentIndex())
        return;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    shown_ = index;
}

std::string DriveList::rootOf(const std::string& path) const
{
    const int index = indexHolding(path);
    return index < 0 ? std::string() : itemData(index).toByteArray().toStdString();
}

void DriveList::showPopup()
{
    if (volumes)
        setVolumes(volumes(), drive());
    QComboBox::showPopup();
}

int DriveList::indexHolding(const std::string& path) const
{
    if (path.empty())
        return -1;
    const std::string clean = cleanFolderPath(path);
    int best = -1;
    std::size_t bestLength = 0;
    for (int i = 0; i < count(); ++i) {
        const std::string root = itemData(i).toByteArray().toStdString();
        if (folderHolds(root, clean) && (best < 0 || root.size() > bestLength)) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void DriveList::userChose(int index)
{
    if (index < 0 || index == shown_)
        return;
    shown_ = index;
    if (change)
        change();
}

// ----------------------------------------------------------------- DirList

DirList::DirList(QWidget* parent) : PaneList(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void DirList::setPath(const std::string& path)
{
    if (path.empty())
        return;
    const std::string clean = cleanFolderPath(path);
    if (clean == path_)
        return;
    if (!showFolder(clean))
        return;  // unreadable: the list stays where it was
    path_ = clean;
    if (change)
        change();
}

void DirList::initPath(const std::string& path)
{
    const std::string clean = cleanFolderPath(path);
    if (showFolder(clean))
        path_ = clean;
    else if (showFolder(rootFolderOf(clean)))
        path_ = rootFolderOf(clean);
}

bool DirList::showFolder(const std::string& folder)
{
    if (!canListFolder(folder))
        return false;
    std::vector<std::string> names = listFolder(folder, EntryKind::Folders);
    std::vector<QString> shownNames;
    shownNames.reserve(names.size());
    for (const std::string& n : names)
        shownNames.push_back(shown(n));
    sortNames(names, shownNames);

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    int depth = 0;
    for (const std::string& p : folderChain(folder)) {
        const std::string name = p == rootFolderOf(p) ? p : lastName(p);
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + shown(name), this);
        item->setData(kNameRole, QByteArray::fromStdString(p));
        ++depth;
    }
    const int currentRow = count() - 1;
    const std::string prefix = folderPrefix(folder);
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + shownNames[i], this);
        item->setData(kNameRole, QByteArray::fromStdString(prefix + names[i]));
    }
    setCurrentRow(currentRow);
    return true;
}

void DirList::open(QListWidgetItem* item)
{
    if (item)
        setPath(itemBytes(item));
}

void DirList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The list is rebuilt when a folder opens, so the base class, which
    // still refers to the clicked item afterwards, is not called.
    if (event->button() == Qt::LeftButton) {
        open(itemAt(event->position().toPoint()));
        event->accept();
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
}

// ---------------------------------------------------------------- FileList

FileList::FileList(QWidget* parent) : PaneList(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Each row as wide as its name, so a name wider than the list is read
    // whole by scrolling sideways (rows of one size would all take the width
    // of a single row's name and cut the others).
    setUniformItemSizes(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void FileList::setPath(const std::string& folder)
{
    folder_ = folder.empty() ? std::string() : cleanFolderPath(folder);
    refresh();
}

void FileList::initState(const std::string& folder, const std::string& pattern)
{
    folder_ = folder.empty() ? std::string() : cleanFolderPath(folder);
    pattern_ = pattern;
}

void FileList::setPattern(const std::string& pattern)
{
    pattern_ = pattern;
    refresh();
}

void FileList::refresh()
{
    std::vector<std::string> names;
    std::vector<QString> shownNames;
    if (!folder_.empty() && canListFolder(folder_)) {
        for (std::string& name : listFolder(folder_, EntryKind::Files)) {
            if (!matchesPattern(name, pattern_))
                continue;
            QString text = shown(name);
            names.push_back(std::move(name));
            shownNames.push_back(std::move(text));
        }
        sortNames(names, shownNames);
    }
    // The same names as shown now (a re-read of an unchanged folder): only
    // the selection and the mark are reset, as a rebuilt list would have them.
    if (names == names_) {
        clearSelection();
        setCurrentRow(-1);
        return;
    }
    setUpdatesEnabled(false);
    clear();
    // One insertion for all the rows; names_ keeps the bytes of each.
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(shownNames.size()));
    for (QString& text : shownNames)
        texts.append(std::move(text));
    addItems(texts);
    names_ = std::move(names);
    setCurrentRow(-1);
    setUpdatesEnabled(true);
}

ItemIndex FileList::listCount() const
{
    return static_cast<ItemIndex>(names_.size());
}

std::string FileList::list(ItemIndex i) const
{
    return i >= 0 && i < static_cast<ItemIndex>(names_.size()) ? names_[static_cast<std::size_t>(i)] : std::string();
}

bool FileList::selected(ItemIndex i) const
{
    const int row = rowOf(i);
    return row >= 0 && row < count() && selectionModel()->isRowSelected(row, QModelIndex());
}

void FileList::setSelected(ItemIndex i, bool on)
{
    if (QListWidgetItem* it = item(rowOf(i)))
        it->setSelected(on);
}

void FileList::selectAll()
{
    if (count() == 0)
        return;
    // One range from the first to the last item.
    const QItemSelection all(model()->index(0, 0), model()->index(count() - 1, 0));
    selectionModel()->select(all, QItemSelectionModel::Select);
}

ItemIndex FileList::listIndex() const
{
    return currentRow();
}

void FileList::keyPressEvent(QKeyEvent* event)
{
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (shiftF10 || event->key() == Qt::Key_Menu) {
        event->accept();
        pressFromKeyboard();
        return;
    }
    PaneList::keyPressEvent(event);
}

void FileList::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        pressFromKeyboard();
        return;
    }
    PaneList::contextMenuEvent(event);
}

// A right press at the current item (at the list's top when there is
// none), the item brought into sight first, with the popup anchored there.
void FileList::pressFromKeyboard()
{
    QPoint at(0, 0);
    if (QListWidgetItem* item = currentItem()) {
        scrollToItem(item);
        const QRect r = visualItemRect(item);
        at = QPoint(r.left() + r.height() / 2, r.center().y());
    }
    const PopupAnchor anchor(viewport()->mapToGlobal(at));
    if (mouseDown)
        mouseDown(kRightButton, 0, at.x(), at.y());
}

void FileList::mousePressEvent(QMouseEvent* event)
{
    // Only the left button picks items; a right press keeps the selection
    // that its popup menu's commands work on.
    if (event->button() == Qt::LeftButton)
        QListWidget::mousePressEvent(event);
    else
        event->accept();
    if (mouseDown) {
        const QPoint at = event->position().toPoint();
        mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), at.x(), at.y());
    }
}

void FileList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The handler may re-read the list, so the base class, which still
    // refers to the clicked item afterwards, is not called.
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint())) {
        event->accept();
        if (dblClick)
            dblClick();
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
}

// ---------------------------------------------------------- focus frame

bool focusOnTheList(const QListWidget& list)
{
    const QModelIndex current = list.currentIndex();
    return !current.isValid() || !list.viewport()->rect().intersects(list.visualRect(current));
}

void paintListFocus(QListWidget& list)
{
    QPainter painter(list.viewport());
    QStyleOptionFocusRect option;
    option.initFrom(&list);
    option.rect = list.viewport()->rect();
    // Drawn whichever way the focus came, as the items' own focus is.
    option.state |= QStyle::State_KeyboardFocusChange;
    option.backgroundColor = list.palette().color(QPalette::Base);
    list.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, &list);
}

// ------------------------------------------------------------------ makers

DriveList* makeDriveList(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* list = window.place(new DriveList(parent), layout);
    list->volumes = systemVolumes;
    list->setVolumes(list->volumes(), window.startFolder());
    return list;
}

DirList* makeDirList(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* list = window.place(new DirList(parent), layout);
    list->initPath(window.startFolder());
    return list;
}

FileList* makeFileList(QtWindow& window, const ControlLayout& layout, QWidget* parent)
{
    auto* list = window.place(new FileList(parent), layout);
    list->setAcceptsFileDrops(layout.acceptsDrops);
    // Read first by the Load handler, which sets both again.
    list->initState(window.startFolder(), layout.pattern.empty() ? std::string("*.*") : std::string(layout.pattern));
    return list;
}

}  // namespace rastrex::qt
