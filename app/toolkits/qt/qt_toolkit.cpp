#include "qt_toolkit.h"
#include "qt_accessible.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace rastrex::qt {

namespace {

// Reads the program's events between two files of a batch: the user's
// input is eaten, Escape and the main window's close box are noted, and
// repaints may be held back for the next look.
class BatchFilter final : public QObject {
public:
    BatchFilter(QWidget* main, bool holdPaints) : main_(main), holdPaints_(holdPaints) {}

    BatchRequest request = BatchRequest::Continue;
    std::vector<QPointer<QObject>> heldPaints;

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            // Seen by the window first, where it is eaten.
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && request == BatchRequest::Continue)
                request = BatchRequest::Stop;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        case QEvent::Close:
            // Only the close box's request is noted; every window stays open.
            if (main_ && (target == main_ || target == main_->windowHandle()))
                request = BatchRequest::Close;
            event->ignore();
            return true;
        case QEvent::UpdateRequest:
            if (!holdPaints_ || !target->isWidgetType())
                return false;
            if (std::find(heldPaints.begin(), heldPaints.end(), target) == heldPaints.end())
                heldPaints.emplace_back(target);
            return true;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> main_;
    bool holdPaints_;
};

}  // namespace

std::string programFolder()
{
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

// --------------------------------------------------------------- QtToolkit

QtToolkit::QtToolkit() : font_(chooseInterfaceFont())
{
    useJapaneseStandardButtons();
    installAccessibleInterfaces();
    QApplication::setQuitOnLastWindowClosed(false);
}

std::unique_ptr<Window> QtToolkit::buildWindow(const FormLayout& layout, WindowRole role)
{
    auto window = std::make_unique<QtWindow>(*this, layout, font_);
    if (role == WindowRole::Main) {
        boxes_.setOwner(window->widget());
        main_ = window->widget();
    }
    return window;
}

int QtToolkit::run()
{
    if (loaded_ == 0)
        return 0;
    return QApplication::exec();
}

BatchRequest QtToolkit::betweenFiles()
{
    // The batch paints its progress at its own pace; what else changed is
    // painted no more often than that.
    const bool paint = batchPaints_.due(clock_->now());
    BatchFilter filter(main_, !paint);
    QCoreApplication::instance()->installEventFilter(&filter);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(&filter);
    for (const QPointer<QObject>& target : filter.heldPaints)
        if (target)
            QCoreApplication::postEvent(target, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
    return filter.request;
}

void QtToolkit::loadedCountChanged(int delta)
{
    loaded_ += delta;
    if (delta < 0 && loaded_ == 0)
        QCoreApplication::quit();
}

}  // namespace rastrex::qt
