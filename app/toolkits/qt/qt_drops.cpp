// Files dragged from the desktop onto a file list: the list's drag events
// and what the drag offers, as the logic reads them.
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include "qt_lists.h"
#include "qt_drops.h"

namespace rastrex::qt {

void FileList::setAcceptsFileDrops(bool on)
{
    setAcceptDrops(on);
    viewport()->setAcceptDrops(on);
    setDragDropMode(on ? QAbstractItemView::DropOnly : QAbstractItemView::NoDragDrop);
}

int FileList::askDragOver(const QMimeData* mime, QPoint at, DragState state)
{
    int effect = kDropEffectNone;
    if (oleDragOver) {
        const MimeDragData drag(mime);
        oleDragOver(drag, effect, kLeftButton, shiftCode(QGuiApplication::keyboardModifiers()), at.x(), at.y(),
                    state);
    }
    return effect;
}

void FileList::dragEnterEvent(QDragEnterEvent* event)
{
    if (askDragOver(event->mimeData(), event->position().toPoint(), DragState::Enter) == kDropEffectCopy) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileList::dragMoveEvent(QDragMoveEvent* event)
{
    if (askDragOver(event->mimeData(), event->position().toPoint(), DragState::Over) == kDropEffectCopy) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileList::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void FileList::dropEvent(QDropEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (oleDragDrop) {
        const MimeDragData drag(event->mimeData());
        int effect = kDropEffectCopy;
        const QPoint at = event->position().toPoint();
        oleDragDrop(drag, effect, kLeftButton, shiftCode(event->modifiers()), at.x(), at.y());
    }
}

// ------------------------------------------------------------ MimeDragData

MimeDragData::MimeDragData(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files_.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
}

bool MimeDragData::getFormat(int format) const
{
    return format == kClipboardFormatFiles && !files_.empty();
}

std::vector<std::string> MimeDragData::files() const
{
    return files_;
}

}  // namespace rastrex::qt
