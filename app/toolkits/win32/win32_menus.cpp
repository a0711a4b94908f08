// The menu bar, popup menus and the accelerator table of their shortcuts.
#include <algorithm>
#include <cctype>
#include <string>

#include "win32_window.h"

namespace rastrex::win32 {

namespace {

class W32MenuItem final : public MenuItem {
public:
    explicit W32MenuItem(std::string_view name) : name_(name) {}
    const std::string& name() const override { return name_; }

private:
    std::string name_;
};

class W32PopupMenu final : public PopupMenu {
public:
    W32PopupMenu(W32Window& w, std::string_view name, HMENU menu) : window_(w), name_(name), menu_(menu) {}
    ~W32PopupMenu() override { DestroyMenu(menu_); }
    const std::string& name() const override { return name_; }
    void popup() override
    {
        if (!window_.loaded())
            return;
        POINT pt{};
        if (window_.popupAnchor)
            pt = *window_.popupAnchor;
        else
            GetCursorPos(&pt);
        // The chosen command comes back here rather than as a message, so
        // its handler runs before this call returns.
        const int id = static_cast<int>(TrackPopupMenu(menu_, TPM_RETURNCMD, pt.x, pt.y, 0, window_.hwnd(), nullptr));
        if (id != 0)
            window_.runMenu(id);
    }
    HMENU menu() const { return menu_; }

private:
    W32Window& window_;
    std::string name_;
    HMENU menu_;
};

}  // namespace

void W32Window::createMenus()
{
    std::vector<ACCEL> keys;
    for (const MenuLayout& m : layout_.menus) {
        HMENU menu = CreatePopupMenu();
        for (const MenuItemLayout& item : m.items) {
            const int id = kFirstMenuId + static_cast<int>(menuItems_.size());
            std::string caption(item.caption);
            if (!item.shortcut.empty()) {
                caption += '\t';
                caption += item.shortcut;
            }
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), widen(caption).c_str());
            menuItems_.push_back(std::make_unique<W32MenuItem>(item.name));
            menuIds_.push_back(id);
            // "Ctrl+V": Ctrl and one letter or digit.
            constexpr std::string_view ctrl = "Ctrl+";
            if (item.shortcut.size() == ctrl.size() + 1 && item.shortcut.substr(0, ctrl.size()) == ctrl) {
                const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(item.shortcut.back())));
                keys.push_back(ACCEL{FVIRTKEY | FCONTROL, static_cast<WORD>(key), static_cast<WORD>(id)});
            }
        }
        if (m.popupOnly) {
            popups_.push_back(std::make_unique<W32PopupMenu>(*this, m.name, menu));
        } else {
            if (menuBar_ == nullptr)
                menuBar_ = CreateMenu();
            AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), widen(std::string(m.caption)).c_str());
        }
    }
    if (!keys.empty())
        accel_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

MenuItem* W32Window::menuItem(std::string_view name)
{
    for (auto& m : menuItems_)
        if (m->name() == name)
            return m.get();
    return nullptr;
}

PopupMenu* W32Window::popupMenu(std::string_view name)
{
    for (auto& p : popups_)
        if (p->name() == name)
            return p.get();
    return nullptr;
}

void W32Window::runMenu(int id)
{
    const auto at = std::find(menuIds_.begin(), menuIds_.end(), id);
    if (at == menuIds_.end())
        return;
    MenuItem& item = *menuItems_[static_cast<std::size_t>(at - menuIds_.begin())];
    if (item.click)
        item.click();
}

}  // namespace rastrex::win32
