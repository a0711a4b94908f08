#include "qt_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include "form_geometry.h"
#include "placement.h"
#include "qt_bars.h"
#include "qt_buttons.h"
#include "qt_fonts.h"
#include "qt_lists.h"
#include "qt_pictures.h"
#include "qt_text.h"
#include "qt_toolkit.h"

namespace rastrex::qt {

QString shown(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string bytesOf(const QString& text)
{
    return text.toStdString();
}

QString shown(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect pixelRect(const ControlLayout& c)
{
    const PixelRect r = containerRect(c);
    return QRect(r.left, r.top, r.width, r.height);
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

namespace {

// Gives a label sized to its text the room its font needs.
void fitToText(QWidget* label, const ControlLayout& c)
{
    const QSize needed = label->sizeHint();
    const PixelRect r = fittedToText(containerRect(c), c, {needed.width(), needed.height()});
    label->setGeometry(r.left, r.top, r.width, r.height);
}

}  // namespace

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
    // F10 takes the keyboard to the menu bar, its first menu opened. (A
    // window without menus has no bar, and asking for one would add it.)
    auto* bar = qobject_cast<QMenuBar*>(menuWidget());
    if (event->key() == Qt::Key_F10 && plain && bar != nullptr && !bar->actions().isEmpty()) {
        bar->setActiveAction(bar->actions().constFirst());
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- QtWindow

QtWindow::QtWindow(QtToolkit& toolkit, const FormLayout& layout, const QFont& font)
    : toolkit_(toolkit), layout_(layout), font_(font), start_(QFile::encodeName(QDir::currentPath()).toStdString())
{
    const Qt::WindowFlags flags =
        layout.border == WindowBorder::FixedSingle
            ? Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint
            : Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    widget_ = new FormWidget(*this, flags);
    build();
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

rastrex::CheckBox* QtWindow::checkBox(std::string_view name) { return find<CheckBox>(name); }
rastrex::CommandButton* QtWindow::commandButton(std::string_view name) { return find<CommandButton>(name); }
rastrex::DriveList* QtWindow::driveList(std::string_view name) { return find<DriveList>(name); }
rastrex::DirList* QtWindow::dirList(std::string_view name) { return find<DirList>(name); }
rastrex::FileList* QtWindow::fileList(std::string_view name) { return find<FileList>(name); }
rastrex::ProgressBar* QtWindow::progressBar(std::string_view name) { return find<ProgressBar>(name); }
rastrex::StatusBar* QtWindow::statusBar(std::string_view name) { return find<StatusBar>(name); }
rastrex::TextBox* QtWindow::textBox(std::string_view name) { return find<TextBox>(name); }

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

void QtWindow::placeControl(QWidget& made, const ControlLayout& c) const
{
    made.setObjectName(shown(c.name));
    made.setGeometry(pixelRect(c));
    made.setFont(controlFont(c, font_));
    if (!c.tooltip.empty())
        made.setToolTip(shown(c.tooltip));
    if (!c.accessibleName.empty())
        made.setAccessibleName(shown(c.accessibleName));
}

QWidget* QtWindow::make(const ControlLayout& c, QWidget* container)
{
    switch (c.kind) {
    case ControlKind::CommandButton: return makeCommandButton(*this, c, container);
    case ControlKind::CheckBox: return makeCheckBox(*this, c, container);
    case ControlKind::StatusBar: return makeStatusBar(*this, c, container);
    case ControlKind::ProgressBar: return makeProgressBar(*this, c, container);
    case ControlKind::DriveList: return makeDriveList(*this, c, container);
    case ControlKind::FileList: return makeFileList(*this, c, container);
    case ControlKind::DirList: return makeDirList(*this, c, container);
    case ControlKind::Frame: return makeFrame(*this, c, container);
    case ControlKind::Label: return makeLabel(*this, c, container);
    case ControlKind::Picture: return makePicture(*this, c, container);
    case ControlKind::Line: return makeLine(*this, c, container);
    case ControlKind::TextBox: return makeTextBox(*this, c, container);
    }
    return place(new QWidget(container), c);
}

void QtWindow::build()
{
    FormWidget& w = *widget_;
    w.setObjectName(shown(layout_.name));
    w.setWindowTitle(shown(layout_.caption));
    w.setWindowIcon(programIcon());
    w.setFont(font_);

    auto* client = new QWidget(&w);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(layout_.clientWidth), twipsToPixels(layout_.clientHeight));
    w.setCentralWidget(client);

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
        if (c->hidden)
            made->setVisible(false);
        controls_.emplace(std::string(c->name), made);
    }
    for (const ControlLayout& c : layout_.controls) {
        QWidget* made = control(c.name);
        if (c.autoSize)
            fitToText(made, c);
        if (stackingOf(c.kind) == Stacking::Bottom)
            made->lower();
        if (stackingOf(c.kind) == Stacking::Top)
            made->raise();
    }

    // The focus order of the table, among the controls that can take focus.
    QWidget* previous = nullptr;
    for (const ControlLayout* c : focusOrder(layout_)) {
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
    for (const ControlLayout* c : focusOrder(layout_)) {
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

}  // namespace rastrex::qt
