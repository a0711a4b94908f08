// The parts of the Win32 toolkit that its files share: the toolkit's
// state, what the window's procedure asks of a control, the base of every
// control and the window built from a layout. Private to the toolkit.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls.h"
#include "form_geometry.h"
#include "layouts.h"
#include "progress_painter.h"
#include "win32_toolkit.h"
#include "windows_system.h"

namespace rastrex::win32 {

// The Windows services the controls are filled from.
using windows::absoluteFolder;
using windows::canList;
using windows::Drive;
using windows::listFiles;
using windows::listSubfolders;
using windows::narrow;
using windows::systemDrives;
using windows::widen;

inline constexpr wchar_t kFormClass[] = L"RastrexForm";

// Control and menu command identifiers of a window; the dialog manager's
// IDOK (1) and IDCANCEL (2) are below both, so Escape reaches nothing.
inline constexpr int kFirstControlId = 100;
inline constexpr int kFirstMenuId = 1000;

class SteadyClock final : public Clock {
public:
    std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
};

// The shift keys held, as the mouse events' `wParam` gives them, in the
// masks of the window's handlers.
inline int keyState(WPARAM keys)
{
    int shift = 0;
    if (keys & MK_SHIFT)
        shift |= kShiftMask;
    if (keys & MK_CONTROL)
        shift |= kCtrlMask;
    if (GetKeyState(VK_MENU) < 0)
        shift |= kAltMask;
    return shift;
}

class W32Window;

// Names `control` for assistive technology by dynamic annotation; the
// name is taken off again as the control's window is destroyed
// (win32_accessible.cpp).
void annotateName(HWND control, const std::string& name);
// The name a screen reader reads for `control`; "" when it has none.
std::string readAccessibleName(HWND control);

// ------------------------------------------------------------------- state

struct Win32Toolkit::State {
    HINSTANCE instance = nullptr;
    int dpi = 96;
    std::wstring face;
    bool oleReady = false;
    std::vector<W32Window*> loaded;
    W32Window* main = nullptr;
    SteadyClock steady;
    Clock* clock = &steady;  // another one for tests (Win32Toolkit::setClock)
    std::unique_ptr<MessageBoxes> boxes;
    // While a batch reads its messages: the main window's close box is
    // noted in closeAsked instead of closing it.
    bool inBatch = false;
    bool closeAsked = false;
    // How often a batch lets the windows repaint.
    PaintPacing batchPaints;

    void windowGone(W32Window* w);
    bool preTranslate(MSG& msg);
    // Whether a batch lets through an input message: only moving,
    // minimising and closing by the frame; notes Escape in `request`.
    static bool batchLetsThrough(const MSG& msg, BatchRequest& request);
};

// ---------------------------------------------------------------- controls

// The native control a family's maker asks the window for: its window
// class (none for what the window draws itself), its styles beyond those of
// a child window, and whether the layout's caption is its text.
struct NativeLook {
    const wchar_t* windowClass = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool showsCaption = true;
    int extraHeight = 0;  // pixels below the laid-out height: a drop-down part
};

// What the window's procedure asks of any of its controls.
class Dispatch {
public:
    Dispatch() = default;
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;
    virtual ~Dispatch()
    {
        if (ownFont != nullptr)
            DeleteObject(ownFont);
    }
    virtual void command(int /*code*/) {}
    virtual void drawItem(const DRAWITEMSTRUCT&) {}
    // Colours for a static-like control; null for the defaults.
    virtual HBRUSH colours(HDC) { return nullptr; }
    virtual void created() {}
    virtual void destroying() {}

    const ControlLayout* layout = nullptr;
    HWND hwnd = nullptr;
    int id = 0;
    NativeLook native;
    // Its place in the window's client area, once created.
    RECT place{};
    // A font of its own, which it deletes; null for the window's font.
    HFONT ownFont = nullptr;
};

template <class I>
class W32Control : public I, public Dispatch {
public:
    W32Control(W32Window& window, const ControlLayout& l) : window_(window), name_(l.name)
    {
        layout = &l;
        visible_ = !l.hidden;
    }

    const std::string& name() const override { return name_; }
    void setEnabled(bool on) override
    {
        enabled_ = on;
        if (hwnd != nullptr)
            EnableWindow(hwnd, on ? TRUE : FALSE);
    }
    bool enabled() const override { return enabled_; }
    void setVisible(bool on) override
    {
        if (hwnd != nullptr) {
            if (!on && GetFocus() == hwnd)
                refocus_ = true;
            ShowWindow(hwnd, on ? SW_SHOWNA : SW_HIDE);
            if (on && refocus_) {
                refocus_ = false;
                SetFocus(hwnd);
            }
        }
        visible_ = on;
    }
    bool visible() const override { return visible_; }
    std::string accessibleName() const override
    {
        return hwnd != nullptr ? readAccessibleName(hwnd) : accessibleNameOf(*layout);
    }

protected:
    W32Window& window_;
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    bool refocus_ = false;
};

class W32Window final : public Window {
public:
    W32Window(Win32Toolkit::State& state, const FormLayout& layout, WindowRole role);
    ~W32Window() override;

    CheckBox* checkBox(std::string_view name) override { return find<CheckBox>(name); }
    CommandButton* commandButton(std::string_view name) override { return find<CommandButton>(name); }
    DriveList* driveList(std::string_view name) override { return find<DriveList>(name); }
    DirList* dirList(std::string_view name) override { return find<DirList>(name); }
    FileList* fileList(std::string_view name) override { return find<FileList>(name); }
    ProgressBar* progressBar(std::string_view name) override { return find<ProgressBar>(name); }
    StatusBar* statusBar(std::string_view name) override { return find<StatusBar>(name); }
    TextBox* textBox(std::string_view name) override { return find<TextBox>(name); }
    Label* label(std::string_view name) override { return find<Label>(name); }
    MenuItem* menuItem(std::string_view name) override;
    PopupMenu* popupMenu(std::string_view name) override;

    void show() override;
    void unload() override { unloadFor(UnloadCause::Code); }
    bool loaded() const override { return hwnd_ != nullptr; }
    NativeHandle nativeHandle() const override { return hwnd_; }

    void unloadFor(UnloadCause cause);
    HWND hwnd() const { return hwnd_; }
    HACCEL accelerators() const { return accel_; }
    int dpi() const { return state_.dpi; }
    int px(int twips) const { return twipsToPixels(twips, state_.dpi); }
    const std::wstring& face() const { return state_.face; }
    // Creates the native control of `control` at its place, with `extraStyle`
    // beside its own, in its font; throws when the system refuses it.
    void createNative(Dispatch& control, DWORD extraStyle = 0);
    bool oleReady() const { return state_.oleReady; }
    bool inBatch() const { return state_.inBatch; }
    HINSTANCE instance() const { return state_.instance; }
    void runMenu(int id);
    // Where the next popup menu opens, in screen coordinates, while the
    // keyboard asks for one; at the mouse pointer when unset.
    std::optional<POINT> popupAnchor;
    // A push button took or lost the focus: Enter presses the focused one.
    void buttonFocus(HWND focused);

    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    template <class T>
    T* find(std::string_view name)
    {
        for (auto& c : controls_)
            if (c->layout->name == name)
                if (T* t = dynamic_cast<T*>(c.get()))
                    return t;
        return nullptr;
    }
    Dispatch* byId(int id);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void createControls();
    std::unique_ptr<Dispatch> makeControl(const ControlLayout& c);
    void placeControl(Dispatch& control, HDC dc);
    void stackControls();
    void createMenus();
    void createTooltips();
    void chooseFonts();
    RECT placeOf(const ControlLayout& c) const;
    HFONT fontOf(const Dispatch& control) const { return control.ownFont != nullptr ? control.ownFont : font_; }
    void paintLines(HDC dc);

    Win32Toolkit::State& state_;
    const FormLayout& layout_;
    WindowRole role_;
    HWND hwnd_ = nullptr;
    HWND tooltips_ = nullptr;
    HMENU menuBar_ = nullptr;
    HACCEL accel_ = nullptr;
    HFONT font_ = nullptr;  // the window's, which it deletes
    std::vector<std::unique_ptr<Dispatch>> controls_;
    std::vector<std::unique_ptr<MenuItem>> menuItems_;
    std::vector<int> menuIds_;
    std::vector<std::unique_ptr<PopupMenu>> popups_;
    int defaultId_ = 0;
    HWND savedFocus_ = nullptr;
    bool shownOnce_ = false;
};

}  // namespace rastrex::win32
