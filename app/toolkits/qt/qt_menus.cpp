// The menu bar, popup menus and the menus' shortcut keys.
#include <QAction>
#include <QCursor>
#include <QMenuBar>
#include <optional>

#include "qt_menus.h"
#include "qt_window.h"

namespace rastrex::qt {

MenuItem::MenuItem(std::string name, QAction* action) : name_(std::move(name)), action_(action)
{
    QObject::connect(action, &QAction::triggered, action, [this] {
        if (click)
            click();
    }, Qt::DirectConnection);
}

namespace {

std::optional<QPoint> anchor;  // set by a PopupAnchor

}  // namespace

PopupAnchor::PopupAnchor(QPoint global)
{
    anchor = global;
}

PopupAnchor::~PopupAnchor()
{
    anchor.reset();
}

void PopupMenu::popup()
{
    shownAt_ = anchor ? *anchor : QCursor::pos();
    if (show)
        show(*menu_);
    else
        menu_->exec(shownAt_);
}

void QtWindow::buildMenus()
{
    for (const MenuLayout& m : layout_.menus) {
        // Top-level menus kept out of the menu bar are only ever popups.
        QMenu* menu = m.popupOnly ? new QMenu(shown(m.caption), widget_) : widget_->menuBar()->addMenu(shown(m.caption));
        menu->setObjectName(shown(m.name));
        // A menu opens as a window of its own, which does not inherit the
        // window's font.
        menu->setFont(widget_->font());
        for (const MenuItemLayout& i : m.items) {
            QAction* action = menu->addAction(shown(i.caption));
            action->setObjectName(shown(i.name));
            if (!i.shortcut.empty())
                action->setShortcut(QKeySequence(shown(i.shortcut), QKeySequence::PortableText));
            if (m.popupOnly)
                action->setShortcutContext(Qt::WidgetShortcut);
            items_.emplace(std::string(i.name), std::make_unique<MenuItem>(std::string(i.name), action));
        }
        if (m.popupOnly)
            popups_.emplace(std::string(m.name), std::make_unique<PopupMenu>(std::string(m.name), menu));
    }
}

}  // namespace rastrex::qt
