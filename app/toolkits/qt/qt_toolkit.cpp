#include "qt_toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QTextLayout>
#include <QWindow>
#include <algorithm>

#include "pictures.h"
#include "placement.h"
#include "volumes.h"

namespace rastrex::qt {

namespace {

// The layouts were made for a 9-point Japanese font.
constexpr double kLayoutPoints = 9.0;
// Below this the texts grow hard to read; the captions are cut instead.
constexpr double kSmallestPoints = 7.0;
constexpr double kPointStep = 0.5;

// Installed Japanese fonts, the ones that render every text first.
const char* const kJapaneseFamilies[] = {
    "IPAGothic", "IPAPGothic", "Noto Sans CJK JP", "Noto Sans JP", "VL Gothic", "TakaoGothic", "IPAexGothic",
};

QString preferredFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kJapaneseFamilies)
        if (installed.contains(QString::fromUtf8(family)))
            return QString::fromUtf8(family);
    return {};
}

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect pixelRect(const ControlLayout& c)
{
    const int left = twipsToPixels(c.left);
    const int top = twipsToPixels(c.top);
    // Right and bottom edges are rounded as the left and top are, so that
    // neighbours that touch in twips touch in pixels; a control is at least
    // one pixel in each direction.
    const int right = twipsToPixels(c.left + c.width);
    const int bottom = twipsToPixels(c.top + c.height);
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

// Gives a label sized to its text the room its font needs, keeping its top
// and its left edge (or its centre, for a centred label).
void fitToText(QWidget* label, const ControlLayout& c)
{
    if (!c.autoSize)
        return;
    const QRect stored = pixelRect(c);
    const QSize needed = label->sizeHint();
    const int width = std::max(stored.width(), needed.width());
    const int height = std::max(stored.height(), needed.height());
    const int left = c.centred ? stored.left() - (width - stored.width()) / 2 : stored.left();
    label->setGeometry(left, stored.top(), width, height);
}

// Whether every caption of a check box or a button of `layout` fits its
// control in `font`.
bool captionsFit(const FormLayout& layout, const QFont& font)
{
    for (const ControlLayout& c : layout.controls) {
        if (c.caption.empty())
            continue;
        QWidget* probe = nullptr;
        if (c.kind == ControlKind::CheckBox)
            probe = new QCheckBox(text(c.caption));
        else if (c.kind == ControlKind::CommandButton)
            probe = new QPushButton(text(c.caption));
        else
            continue;
        probe->setFont(controlFont(c, font));
        const bool fits = probe->sizeHint().width() <= pixelRect(c).width();
        delete probe;
        if (!fits)
            return false;
    }
    return true;
}

// Whether `box` shows its whole text (line ends at its end aside) in
// `font` without scrolling: its lines laid out as the box lays them out,
// wrapped at its width inside the document's margins, leading included.
bool showsWholeText(const QPlainTextEdit& box, const QFont& font)
{
    QString shownText = box.toPlainText();
    while (shownText.endsWith(QLatin1Char('\n')))
        shownText.chop(1);
    const qreal margin = box.document()->documentMargin();
    const QRect room = box.contentsRect();
    const qreal width = room.width() - 2 * margin;
    qreal height = 2 * margin;
    QTextOption option = box.document()->defaultTextOption();
    option.setWrapMode(box.wordWrapMode());
    for (const QString& paragraph : shownText.split(QLatin1Char('\n'))) {
        QTextLayout lines(paragraph, font);
        lines.setTextOption(option);
        lines.beginLayout();
        for (QTextLine line = lines.createLine(); line.isValid(); line = lines.createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(width);
            height += line.height();
        }
        lines.endLayout();
    }
    return height <= room.height();
}

// Gives the multi-line box the largest size of the window's face, from the
// layout's own down to the smallest readable one, at which its whole text
// shows at its laid-out size; at the smallest, with a scroll bar, when none
// does.
void fitTextBox(QPlainTextEdit& box, const QFont& windowFont)
{
    QFont font = windowFont;
    for (double points = kLayoutPoints; points >= kSmallestPoints; points -= kPointStep) {
        font.setPointSizeF(points);
        if (showsWholeText(box, font)) {
            box.setFont(font);
            return;
        }
    }
    font.setPointSizeF(kSmallestPoints);
    box.setFont(font);
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QPalette::ColorRole roleOf(SystemColour colour)
{
    switch (colour) {
    case SystemColour::ButtonShadow:
        return QPalette::Dark;
    case SystemColour::ButtonHighlight:
        return QPalette::Light;
    case SystemColour::Highlight:
        return QPalette::Highlight;
    case SystemColour::Default:
        break;
    }
    return QPalette::WindowText;
}

// The controls that take part in the focus order, in that order.
std::vector<const ControlLayout*> tabOrder(const FormLayout& layout)
{
    std::vector<const ControlLayout*> tabbed;
    for (const ControlLayout& c : layout.controls)
        if (c.tab >= 0)
            tabbed.push_back(&c);
    std::sort(tabbed.begin(), tabbed.end(),
              [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    return tabbed;
}

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

bool japaneseFontInstalled()
{
    return !preferredFamily().isEmpty();
}

QFont chooseInterfaceFont()
{
    QFont font = QApplication::font();
    const QString family = preferredFamily();
    if (!family.isEmpty())
        font.setFamilies({family});
    for (double points = kLayoutPoints; points >= kSmallestPoints; points -= kPointStep) {
        font.setPointSizeF(points);
        if (captionsFit(mainFormLayout(), font) && captionsFit(aboutFormLayout(), font))
            return font;
    }
    font.setPointSizeF(kSmallestPoints);
    return font;
}

QFont controlFont(const ControlLayout& control, const QFont& windowFont)
{
    if (control.font.points <= 0)
        return windowFont;
    QFont font = windowFont;
    // Tahoma where it is installed; the window's family for what it lacks.
    font.setFamilies(QStringList{QStringLiteral("Tahoma")} + windowFont.families());
    font.setPointSizeF(control.font.points);
    font.setBold(control.font.bold);
    return font;
}

// -------------------------------------------------------------- FormWidget

FormWidget::FormWidget(QtWindow& window, Qt::WindowFlags flags) : QMainWindow(nullptr, flags), window_(window) {}

void FormWidget::closeEvent(QCloseEvent* event)
{
    if (window_.unloading_ || window_.closeBox())
        event->accept();
    else
        event->ignore();
}

void FormWidget::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (window_.resize)
        window_.resize();
}

void FormWidget::keyPressEvent(QKeyEvent* event)
{
    // Enter presses the default button while it is enabled; a focused
    // command button has taken Enter itself before it gets here. There is
    // no cancel button: Escape does nothing.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
        window_.pressDefault();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && window_.layout().escapeDoesNothing) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- QtWindow

QtWindow::QtWindow(QtToolkit& toolkit, const FormLayout& layout, const QFont& font)
    : toolkit_(toolkit), layout_(layout)
{
    const Qt::WindowFlags flags =
        layout.border == WindowBorder::FixedSingle
            ? Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint
            : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    widget_ = new FormWidget(*this, flags);
    build(font);
    toolkit_.loadedCountChanged(+1);
}

QtWindow::~QtWindow()
{
    if (loaded_)
        toolkit_.loadedCountChanged(-1);
    // Popups and items refer to widgets; they go first.
    popups_.clear();
    items_.clear();
    delete widget_.data();
}

QWidget* QtWindow::control(std::string_view name) const
{
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

rastrex::Label* QtWindow::label(std::string_view name)
{
    if (auto* l = find<Label>(name))
        return l;
    return find<Frame>(name);
}

rastrex::MenuItem* QtWindow::menuItem(std::string_view name)
{
    const auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second.get();
}

rastrex::PopupMenu* QtWindow::popupMenu(std::string_view name)
{
    return qtPopup(name);
}

PopupMenu* QtWindow::qtPopup(std::string_view name) const
{
    const auto it = popups_.find(name);
    return it == popups_.end() ? nullptr : it->second.get();
}

QWidget* QtWindow::make(const ControlLayout& c, QWidget* container)
{
    switch (c.kind) {
    case ControlKind::CommandButton:
        return new CommandButton(container);
    case ControlKind::CheckBox:
        return new CheckBox(container);
    case ControlKind::StatusBar: {
        std::vector<int> widths;
        for (const PanelLayout& p : c.panels)
            widths.push_back(p.width);
        return new StatusBar(widths, container);
    }
    case ControlKind::ProgressBar:
        return new ProgressBar(container);
    case ControlKind::DriveList:
        return new DriveList(container);
    case ControlKind::FileList:
        return new FileList(container);
    case ControlKind::DirList:
        return new DirList(container);
    case ControlKind::Frame:
        return new Frame(container);
    case ControlKind::Label:
    case ControlKind::Picture:
        return new Label(container);
    case ControlKind::Line:
        return new Line(roleOf(c.colour), container);
    case ControlKind::TextBox:
        return new TextBox(container);
    }
    return new QWidget(container);
}

void QtWindow::build(const QFont& font)
{
    FormWidget& w = *widget_;
    w.setObjectName(text(layout_.name));
    w.setWindowTitle(text(layout_.caption));
    w.setWindowIcon(programIcon());
    w.setFont(font);

    auto* client = new QWidget(&w);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(layout_.clientWidth), twipsToPixels(layout_.clientHeight));
    w.setCentralWidget(client);

    const std::string start = QFile::encodeName(QDir::currentPath()).toStdString();

    // Containers first, so that the controls inside them have their parent.
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& c : layout_.controls)
        if (c.kind == ControlKind::Frame)
            order.push_back(&c);
    for (const ControlLayout& c : layout_.controls)
        if (c.kind != ControlKind::Frame)
            order.push_back(&c);

    for (const ControlLayout* c : order) {
        QWidget* parent = c->container.empty() ? client : control(c->container);
        if (parent == nullptr)
            parent = client;
        QWidget* made = make(*c, parent);
        made->setObjectName(text(c->name));
        made->setGeometry(pixelRect(*c));
        made->setFont(controlFont(*c, font));
        const QString caption = text(c->caption);
        if (!c->tooltip.empty())
            made->setToolTip(text(c->tooltip));
        if (auto* b = dynamic_cast<QAbstractButton*>(made))
            b->setText(caption);
        if (auto* l = dynamic_cast<Label*>(made)) {
            l->setText(caption);
            l->setAlignment(c->centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
            if (c->colour != SystemColour::Default) {
                QPalette p = l->palette();
                p.setColor(QPalette::WindowText, p.color(roleOf(c->colour)));
                l->setPalette(p);
            }
            switch (c->picture) {
            case Picture::Arrow:
                l->setPixmap(arrowPicture());
                break;
            case Picture::AboutIcon:
                l->setPixmap(aboutIcon().pixmap(32, 32));
                l->setScaledContents(true);
                break;
            case Picture::Banner:
                l->setPixmap(bannerPicture());
                break;
            case Picture::None:
                break;
            }
        }
        if (auto* f = dynamic_cast<Frame*>(made))
            f->setTitle(caption);
        if (auto* t = dynamic_cast<TextBox*>(made)) {
            t->setPlainText(QString(caption).replace(QLatin1String("\r\n"), QLatin1String("\n")));
            t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            // The box is drawn in the scheme's Active Border colour, as on
            // Windows. A palette has no such role; in the scheme the
            // layout was made in, Active Border is the colour of the 3D
            // face, which a palette holds as Button, with ButtonText on it.
            QPalette p = t->palette();
            p.setColor(QPalette::Base, p.color(QPalette::Button));
            p.setColor(QPalette::Text, p.color(QPalette::ButtonText));
            t->setPalette(p);
            fitTextBox(*t, font);
        }
        if (auto* b = dynamic_cast<CommandButton*>(made); b && c->isDefault) {
            b->setDefault(true);
            default_ = b;
        }
        if (auto* f = dynamic_cast<FileList*>(made)) {
            f->setAcceptsFileDrops(c->acceptsDrops);
            // Read first by the Load handler, which sets both again.
            f->initState(start, c->pattern.empty() ? std::string("*.*") : std::string(c->pattern));
        }
        if (auto* p = dynamic_cast<ProgressBar*>(made)) {
            p->setMin(c->rangeMin);
            p->setMax(c->rangeMax);
        }
        if (auto* d = dynamic_cast<DriveList*>(made)) {
            d->volumes = [] {
                QList<DriveList::Entry> drives;
                for (const Volume& v : systemVolumes())
                    drives.append({v.root, v.label});
                return drives;
            };
            d->setVolumes(d->volumes(), QDir::currentPath());
        }
        if (auto* d = dynamic_cast<DirList*>(made))
            d->initPath(start);
        if (c->hidden)
            made->setVisible(false);
        controls_.emplace(std::string(c->name), made);
    }
    for (const ControlLayout& c : layout_.controls) {
        QWidget* made = control(c.name);
        if (c.autoSize)
            fitToText(made, c);
        // Frames lie beneath everything else; the progress bar lies over the
        // status bar.
        if (c.kind == ControlKind::Frame)
            made->lower();
        if (c.kind == ControlKind::ProgressBar)
            made->raise();
    }

    // The focus order of the table, among the controls that can take focus.
    QWidget* previous = nullptr;
    for (const ControlLayout* c : tabOrder(layout_)) {
        QWidget* made = control(c->name);
        if (made->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, made);
        previous = made;
    }

    buildMenus();

    // The window cannot be resized: its client area is fixed and the frame
    // follows the menu bar and the client area.
    w.layout()->setSizeConstraint(QLayout::SetFixedSize);
    w.layout()->activate();
    placeOnScreen();
}

void QtWindow::placeOnScreen()
{
    // At the stored origin when the window fits there, wholly inside the
    // work area of the screen that holds that origin (the primary screen
    // when none does) when it does not: at any scale, since the screen's
    // geometry and the window's are in the same device-independent pixels.
    // The frame counts where the window system has told its size.
    FormWidget& w = *widget_;
    const QPoint stored(twipsToPixels(layout_.left), twipsToPixels(layout_.top));
    QScreen* screen = QGuiApplication::screenAt(stored);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        w.move(stored);
        return;
    }
    const QRect work = screen->availableGeometry();
    const QMargins frame = w.windowHandle() != nullptr ? w.windowHandle()->frameMargins() : QMargins();
    const QSize outer = w.size().grownBy(frame);
    const ScreenPoint at = placeInside({stored.x(), stored.y(), outer.width(), outer.height()},
                                       {work.x(), work.y(), work.width(), work.height()});
    w.move(at.x, at.y);
}

void QtWindow::buildMenus()
{
    for (const MenuLayout& m : layout_.menus) {
        // Top-level menus kept out of the menu bar are only ever popups.
        QMenu* menu = m.popupOnly ? new QMenu(text(m.caption), widget_) : widget_->menuBar()->addMenu(text(m.caption));
        menu->setObjectName(text(m.name));
        // A menu opens as a window of its own, which does not inherit the
        // window's font.
        menu->setFont(widget_->font());
        for (const MenuItemLayout& i : m.items) {
            QAction* action = menu->addAction(text(i.caption));
            action->setObjectName(text(i.name));
            if (!i.shortcut.empty())
                action->setShortcut(QKeySequence(text(i.shortcut), QKeySequence::PortableText));
            if (m.popupOnly)
                action->setShortcutContext(Qt::WidgetShortcut);
            items_.emplace(std::string(i.name), std::make_unique<MenuItem>(std::string(i.name), action));
        }
        if (m.popupOnly)
            popups_.emplace(std::string(m.name), std::make_unique<PopupMenu>(std::string(m.name), menu));
    }
}

void QtWindow::show()
{
    if (!loaded_ || !widget_)
        return;
    const bool first = !widget_->isVisible();
    if (first) {
        // Placed again once it has a window of the window system, which may
        // know the size of the frame around it.
        widget_->winId();
        placeOnScreen();
    }
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
    if (!first)
        return;
    // The focus goes to the first control of the focus order that can take it.
    for (const ControlLayout* c : tabOrder(layout_)) {
        QWidget* made = control(c->name);
        if (made->focusPolicy() != Qt::NoFocus && made->isEnabled() && !made->isHidden()) {
            made->setFocus();
            break;
        }
    }
}

bool QtWindow::closeBox()
{
    if (!loaded_)
        return true;
    bool cancel = false;
    if (queryUnload)
        queryUnload(cancel, UnloadCause::ControlMenu);
    if (cancel)
        return false;
    markUnloaded();
    return true;
}

void QtWindow::unload()
{
    if (!loaded_)
        return;
    bool cancel = false;
    if (queryUnload)
        queryUnload(cancel, UnloadCause::Code);
    if (cancel)
        return;
    unloading_ = true;
    if (widget_)
        widget_->close();
    unloading_ = false;
    markUnloaded();
}

void QtWindow::markUnloaded()
{
    if (!loaded_)
        return;
    loaded_ = false;
    toolkit_.loadedCountChanged(-1);
}

void QtWindow::pressDefault()
{
    if (default_ && default_->isEnabled())
        static_cast<QAbstractButton*>(default_)->click();
}

NativeHandle QtWindow::nativeHandle() const
{
    return loaded_ ? static_cast<QWidget*>(widget_.data()) : nullptr;
}

// --------------------------------------------------------------- QtToolkit

QtToolkit::QtToolkit() : font_(chooseInterfaceFont())
{
    useJapaneseStandardButtons();
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
