#include "toolkit.h"

#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <cmath>

namespace rastrex {

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

namespace {

// A folder path in one spelling: absolute, no "." or "..", no trailing "/"
// (the root keeps its "/").
QString cleanFolder(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool canList(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

}  // namespace

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::stateChanged, this, &CheckBox::raiseClick, Qt::DirectConnection);
}

int CheckBox::value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return On;
    case Qt::PartiallyChecked:
        return Greyed;
    case Qt::Unchecked:
        break;
    }
    return Off;
}

void CheckBox::setValue(int value)
{
    switch (value) {
    case Off:
        setCheckState(Qt::Unchecked);
        break;
    case On:
        setCheckState(Qt::Checked);
        break;
    case Greyed:
        setCheckState(Qt::PartiallyChecked);
        break;
    default:
        break;  // not a value of a check box: nothing changes
    }
}

// A click turns an unchecked box on and a checked or greyed one off; only a
// program sets the greyed value.
void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

void CheckBox::raiseClick()
{
    if (click)
        click();
}

// ----------------------------------------------------------- CommandButton

CommandButton::CommandButton(QWidget* parent) : QPushButton(parent)
{
    // Enter presses the button that has the focus, as on the platform the
    // window comes from; the window presses its default button otherwise.
    setAutoDefault(true);
}

// --------------------------------------------------------------- DriveList

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::userChose, Qt::DirectConnection);
}

void DriveList::setVolumes(const QList<Entry>& volumes, const QString& current)
{
    const QSignalBlocker quiet(this);
    clear();
    for (const Entry& v : volumes) {
        const QString shown = v.label.isEmpty() ? v.root : QStringLiteral("%1 (%2)").arg(v.root, v.label);
        addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), shown, v.root);
    }
    const int index = indexHolding(current);
    setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
    shown_ = currentIndex();
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::setDrive(const QString& path)
{
    const int index = indexHolding(path);
    if (index < 0)
        return;
    setCurrentIndex(index);  // raises Change through userChose when it differs
}

void DriveList::showDriveOf(const QString& path)
{
    const int index = indexHolding(path);
    if (index < 0 || index == currentIndex())
        return;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    shown_ = index;
}

void DriveList::showPopup()
{
    if (volumes)
        setVolumes(volumes(), drive());
    QComboBox::showPopup();
}

int DriveList::indexHolding(const QString& path) const
{
    if (path.isEmpty())
        return -1;
    const QString clean = cleanFolder(path);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        const bool holds = root == QLatin1String("/")
                               ? true
                               : (clean == root || clean.startsWith(root + QLatin1Char('/')));
        if (holds && root.size() > bestLength) {
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

QString DirList::path() const
{
    return path_;
}

void DirList::setPath(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString clean = cleanFolder(path);
    if (clean == path_)
        return;
    if (!showFolder(clean))
        return;  // unreadable: the list stays where it was
    path_ = clean;
    if (change)
        change();
}

void DirList::initPath(const QString& path)
{
    const QString clean = cleanFolder(path);
    if (showFolder(clean))
        path_ = clean;
    else if (showFolder(QDir::rootPath()))
        path_ = QDir::rootPath();
}

bool DirList::showFolder(const QString& folder)
{
    if (!canList(folder))
        return false;
    const QStringList subfolders = QDir(folder).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);

    // The ancestors from the root down to the folder itself.
    QStringList chain;
    for (QString p = folder;; p = QFileInfo(p).path()) {
        chain.prepend(p);
        if (QDir(p).isRoot() || p == QFileInfo(p).path())
            break;
    }

    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    clear();
    int depth = 0;
    for (const QString& p : chain) {
        const QString name = QDir(p).isRoot() ? p : QFileInfo(p).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, p);
        ++depth;
    }
    const int currentRow = count() - 1;
    const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, prefix + name);
    }
    setCurrentRow(currentRow);
    return true;
}

void DirList::open(QListWidgetItem* item)
{
    if (item)
        setPath(item->data(Qt::UserRole).toString());
}

void PaneList::setVisible(bool visible)
{
    if (!visible && hasFocus())
        refocus_ = true;
    QListWidget::setVisible(visible);
    if (visible && refocus_) {
        refocus_ = false;
        setFocus();
    }
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
    setUniformItemSizes(true);
}

void FileList::setFolder(const QString& folder)
{
    folder_ = folder.isEmpty() ? QString() : cleanFolder(folder);
    refresh();
}

void FileList::setPattern(const QString& pattern)
{
    pattern_ = pattern;
    refresh();
}

void FileList::refresh()
{
    QStringList names;
    if (!folder_.isEmpty() && canList(folder_)) {
        const QStringList all = QDir(folder_).entryList(
            QDir::Files, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
        for (const QString& name : all)
            if (matches(name, pattern_))
                names.append(name);
    }
    clear();
    addItems(names);
    setCurrentRow(-1);
}

int FileList::itemCount() const
{
    return count();
}

QString FileList::itemText(int i) const
{
    const QListWidgetItem* it = item(i);
    return it ? it->text() : QString();
}

bool FileList::selected(int i) const
{
    const QListWidgetItem* it = item(i);
    return it && it->isSelected();
}

void FileList::setSelected(int i, bool on)
{
    if (QListWidgetItem* it = item(i))
        it->setSelected(on);
}

int FileList::currentIndex() const
{
    return currentRow();
}

bool FileList::matches(const QString& name, const QString& pattern)
{
    // Several patterns may be joined with ";".
    const QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& raw : parts) {
        const QString p = raw.trimmed();
        if (p == QLatin1String("*.*") || p == QLatin1String("*"))
            return true;
        QString rx;
        for (const QChar c : p) {
            if (c == QLatin1Char('*'))
                rx += QLatin1String(".*");
            else if (c == QLatin1Char('?'))
                rx += QLatin1Char('.');
            else
                rx += QRegularExpression::escape(QString(c));
        }
        const QRegularExpression re(QRegularExpression::anchoredPattern(rx),
                                    QRegularExpression::CaseInsensitiveOption |
                                        QRegularExpression::DotMatchesEverythingOption);
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

namespace {

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= kShiftMask;
    if (modifiers & Qt::ControlModifier)
        code |= kCtrlMask;
    if (modifiers & Qt::AltModifier)
        code |= kAltMask;
    return code;
}

}  // namespace

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

void FileList::setAcceptsFileDrops(bool on)
{
    setAcceptDrops(on);
    viewport()->setAcceptDrops(on);
    setDragDropMode(on ? QAbstractItemView::DropOnly : QAbstractItemView::NoDragDrop);
}

int FileList::askDragOver(const QMimeData* data)
{
    int effect = kDropEffectNone;
    if (dragOver)
        dragOver(data, effect);
    return effect;
}

void FileList::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);  // an entering drag is asked like a moving one
}

void FileList::dragMoveEvent(QDragMoveEvent* event)
{
    if (askDragOver(event->mimeData()) == kDropEffectCopy) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileList::dropEvent(QDropEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (dragDrop)
        dragDrop(event->mimeData());
}

// ------------------------------------------------------------- ProgressBar

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
}

// --------------------------------------------------------------- StatusBar

StatusBar::StatusBar(const QList<int>& panelWidthsTwips, QWidget* parent) : QFrame(parent)
{
    int left = 0;
    for (int width : panelWidthsTwips) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setIndent(2);
        const int x = twipsToPixels(left);
        panel->move(x, 0);
        panel->setProperty("panelWidthTwips", width);
        panels_.append(panel);
        left += width;
    }
}

QLabel* StatusBar::panel(int n) const
{
    if (n < 1 || n > panels_.size())
        return nullptr;
    return panels_[n - 1];
}

QString StatusBar::panelText(int n) const
{
    const QLabel* p = panel(n);
    return p ? p->text() : QString();
}

void StatusBar::setPanelText(int n, const QString& text)
{
    if (QLabel* p = panel(n))
        p->setText(text);
}

void StatusBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    for (QLabel* p : panels_) {
        const int right = p == panels_.last()
                              ? width()
                              : p->x() + twipsToPixels(p->property("panelWidthTwips").toInt());
        p->setGeometry(p->x(), 0, right - p->x(), height());
    }
}

// -------------------------------------------------------------------- Line

Line::Line(QPalette::ColorRole role, QWidget* parent) : QWidget(parent), role_(role)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Line::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(role_));
}

// --------------------------------------------------------------- PopupMenu

PopupMenu::PopupMenu(const QString& title, QWidget* parent) : QMenu(title, parent) {}

void PopupMenu::popupAtPointer()
{
    exec(QCursor::pos());
}

}  // namespace rastrex
