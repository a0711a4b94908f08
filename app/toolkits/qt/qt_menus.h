// The menu items and the popup menus (qt_menus.cpp).
#pragma once

#include <QPoint>
#include <functional>
#include <string>

class QAction;
class QMenu;

#include "qt_controls.h"

namespace rastrex::qt {

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

}  // namespace rastrex::qt
