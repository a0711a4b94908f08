// A window built from its layout: its controls in the focus order, its
// tooltips, and the procedure that hands its messages to them.
#include "win32_window.h"

#include <algorithm>
#include <stdexcept>

#include "placement.h"
#include "win32_controls.h"
#include "win32_fonts.h"

namespace rastrex::win32 {

namespace {

// The widest a tooltip grows before it wraps.
constexpr int kTooltipWidthPixels = 400;

// Moves the window `w`, whose client area was made at the stored origin
// `origin`, wholly into the work area of the screen that holds that origin
// (the nearest screen when none does).
void placeOnScreen(HWND w, POINT origin)
{
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    RECT outer{};
    if (!GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTONEAREST), &screen) || !GetWindowRect(w, &outer))
        return;
    const RECT& work = screen.rcWork;
    const ScreenPoint at =
        placeInside({outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top},
                    {work.left, work.top, work.right - work.left, work.bottom - work.top});
    if (at.x != outer.left || at.y != outer.top)
        SetWindowPos(w, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

W32Window::W32Window(Win32Toolkit::State& state, const FormLayout& layout, WindowRole role)
    : state_(state), layout_(layout), role_(role)
{
    const bool dialog = layout.border == WindowBorder::FixedDialog;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | (dialog ? 0 : WS_MINIMIZEBOX);
    const DWORD exStyle = dialog ? WS_EX_DLGMODALFRAME : 0;
    const bool hasMenu = std::any_of(layout.menus.begin(), layout.menus.end(), [](const MenuLayout& m) { return !m.popupOnly; });

    RECT r{px(layout.left), px(layout.top), px(layout.left + layout.clientWidth),
           px(layout.top + layout.clientHeight)};
    AdjustWindowRectEx(&r, style, hasMenu ? TRUE : FALSE, exStyle);
    hwnd_ = CreateWindowExW(exStyle, kFormClass, widen(std::string(layout.caption)).c_str(), style, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, state.instance, this);
    if (hwnd_ == nullptr)
        throw std::runtime_error("CreateWindowEx failed for " + std::string(layout.name));
    createMenus();
    if (menuBar_ != nullptr) {
        SetMenu(hwnd_, menuBar_);
        // The menu bar may take more than one line: the client area keeps
        // its laid-out size below it.
        RECT client{};
        GetClientRect(hwnd_, &client);
        const int missing = px(layout.clientHeight) - (client.bottom - client.top);
        if (missing != 0) {
            RECT outer{};
            GetWindowRect(hwnd_, &outer);
            SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + missing,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    // Its outer size is final now: it opens wholly on the screen.
    placeOnScreen(hwnd_, POINT{px(layout.left), px(layout.top)});
    chooseFonts();
    createControls();
    createTooltips();
    state_.loaded.push_back(this);
    if (role == WindowRole::Main)
        state_.main = this;
}

W32Window::~W32Window()
{
    if (hwnd_ != nullptr) {
        for (auto& c : controls_)
            if (c->hwnd != nullptr)
                c->destroying();
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        state_.windowGone(this);
    }
    if (accel_ != nullptr)
        DestroyAcceleratorTable(accel_);
    popups_.clear();
    controls_.clear();
    if (font_ != nullptr)
        DeleteObject(font_);
}

Dispatch* W32Window::byId(int id)
{
    const int i = id - kFirstControlId;
    return i >= 0 && static_cast<std::size_t>(i) < controls_.size() ? controls_[static_cast<std::size_t>(i)].get()
                                                                     : nullptr;
}

RECT W32Window::placeOf(const ControlLayout& c) const
{
    const PixelRect r = clientRect(layout_, c, state_.dpi);
    return RECT{r.left, r.top, r.left + r.width, r.top + r.height};
}

std::unique_ptr<Dispatch> W32Window::makeControl(const ControlLayout& c)
{
    switch (c.kind) {
    case ControlKind::CommandButton: return makeCommandButton(*this, c);
    case ControlKind::CheckBox: return makeCheckBox(*this, c);
    case ControlKind::StatusBar: return makeStatusBar(*this, c);
    case ControlKind::ProgressBar: return makeProgressBar(*this, c);
    case ControlKind::DriveList: return makeDriveList(*this, c);
    case ControlKind::FileList: return makeFileList(*this, c);
    case ControlKind::DirList: return makeDirList(*this, c);
    case ControlKind::Frame: return makeFrame(*this, c);
    case ControlKind::Label: return makeLabel(*this, c);
    case ControlKind::Picture: return makePicture(*this, c);
    case ControlKind::TextBox: return makeTextBox(*this, c);
    case ControlKind::Line: break;
    }
    // Drawn by the window itself (paintLines).
    auto line = std::make_unique<Dispatch>();
    line->layout = &c;
    return line;
}

void W32Window::createControls()
{
    // Creation order is the focus order: the dialog manager walks the
    // controls in the order they were made.
    HDC dc = GetDC(hwnd_);
    for (const ControlLayout* c : creationOrder(layout_)) {
        std::unique_ptr<Dispatch> control = makeControl(*c);
        control->id = kFirstControlId + static_cast<int>(controls_.size());
        if (control->native.windowClass != nullptr) {
            placeControl(*control, dc);
            createNative(*control);
            control->created();
            if (c->isDefault)
                defaultId_ = control->id;
            if (!c->accessibleName.empty())
                annotateName(control->hwnd, std::string(c->accessibleName));
        }
        controls_.push_back(std::move(control));
    }
    ReleaseDC(hwnd_, dc);
    stackControls();
}

void W32Window::placeControl(Dispatch& control, HDC dc)
{
    const ControlLayout& c = *control.layout;
    PixelRect r = clientRect(layout_, c, state_.dpi);
    if (c.autoSize && control.native.showsCaption && !c.caption.empty()) {
        const SIZE need = textSize(dc, fontOf(control), widen(std::string(c.caption)));
        r = fittedToText(r, c, {need.cx, need.cy});
    }
    control.place = RECT{r.left, r.top, r.left + r.width, r.top + r.height + control.native.extraHeight};
}

void W32Window::createNative(Dispatch& control, DWORD extraStyle)
{
    const ControlLayout& c = *control.layout;
    const NativeLook& look = control.native;
    const std::wstring text = look.showsCaption ? widen(std::string(c.caption)) : std::wstring();
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.hidden ? 0 : WS_VISIBLE) | look.style | extraStyle;
    const RECT& r = control.place;
    control.hwnd = CreateWindowExW(look.exStyle, look.windowClass, text.c_str(), style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, hwnd_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), state_.instance, nullptr);
    if (control.hwnd == nullptr)
        throw std::runtime_error("cannot create control " + std::string(c.name));
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control)), FALSE);
}

void W32Window::stackControls()
{
    for (auto& c : controls_) {
        if (c->hwnd == nullptr)
            continue;
        switch (stackingOf(c->layout->kind)) {
        case Stacking::Bottom:
            SetWindowPos(c->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case Stacking::Top:
            SetWindowPos(c->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case Stacking::AsMade:
            break;
        }
    }
}

void W32Window::createTooltips()
{
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                state_.instance, nullptr);
    if (tooltips_ == nullptr)
        return;
    SendMessageW(tooltips_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, kTooltipWidthPixels);
    for (auto& c : controls_) {
        if (c->hwnd == nullptr || c->layout->tooltip.empty())
            continue;
        std::wstring text = widen(std::string(c->layout->tooltip));
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd_;
        info.uId = reinterpret_cast<UINT_PTR>(c->hwnd);
        info.lpszText = text.data();
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void W32Window::show()
{
    if (hwnd_ == nullptr)
        return;
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (!shownOnce_) {
        shownOnce_ = true;
        // The first control of the focus order that can take it.
        if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE))
            SetFocus(first);
    }
    UpdateWindow(hwnd_);
}

void W32Window::unloadFor(UnloadCause cause)
{
    if (hwnd_ == nullptr)
        return;
    bool cancel = false;
    if (queryUnload)
        queryUnload(cancel, cause);
    if (cancel || hwnd_ == nullptr)
        return;
    for (auto& c : controls_)
        if (c->hwnd != nullptr)
            c->destroying();
    HWND h = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    DestroyWindow(h);
    for (auto& c : controls_)
        c->hwnd = nullptr;
    tooltips_ = nullptr;
    menuBar_ = nullptr;
    state_.windowGone(this);
}

void W32Window::buttonFocus(HWND focused)
{
    // The focused push button shows the default frame; without one, the
    // window's default button does.
    for (auto& c : controls_) {
        if (c->hwnd == nullptr || c->layout->kind != ControlKind::CommandButton)
            continue;
        const bool isDefault = focused != nullptr ? c->hwnd == focused : c->id == defaultId_;
        SendMessageW(c->hwnd, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void W32Window::paintLines(HDC dc)
{
    for (const ControlLayout& c : layout_.controls) {
        if (c.kind != ControlKind::Line)
            continue;
        const RECT place = placeOf(c);
        RECT r{place.left, place.top, place.right, place.top + 1};
        const int colour = c.colour == SystemColour::ButtonHighlight ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW;
        FillRect(dc, &r, GetSysColorBrush(colour));
    }
}

LRESULT CALLBACK W32Window::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<W32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr || (self->hwnd_ != nullptr && self->hwnd_ != hwnd))
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (self->hwnd_ == nullptr)
        self->hwnd_ = hwnd;  // during CreateWindowEx
    return self->handle(msg, wp, lp);
}

LRESULT W32Window::handle(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        if (lp != 0) {
            if (Dispatch* c = byId(id))
                c->command(HIWORD(wp));
        } else if (HIWORD(wp) == 0 || HIWORD(wp) == 1) {
            runMenu(id);  // a menu choice or a shortcut key
        }
        return 0;
    }
    case DM_GETDEFID:
        return defaultId_ != 0 ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL: {
        HWND next = lp != 0 ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hwnd_, GetFocus(), wp != 0);
        if (next != nullptr)
            SetFocus(next);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        if (Dispatch* c = byId(GetDlgCtrlID(reinterpret_cast<HWND>(lp))))
            if (HBRUSH brush = c->colours(reinterpret_cast<HDC>(wp)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_DRAWITEM:
        if (Dispatch* c = byId(static_cast<int>(wp))) {
            c->drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        paintLines(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(hwnd_, focus))
                savedFocus_ = focus;
        } else if (savedFocus_ != nullptr && IsWindow(savedFocus_)) {
            SetFocus(savedFocus_);
            return 0;
        }
        break;
    case WM_SIZE:
        if (resize)
            resize();
        return 0;
    case WM_CLOSE:
        // During a batch the close box of the main window is the batch's to
        // act on once it has stopped; the other windows stay.
        if (state_.inBatch) {
            if (state_.main == this)
                state_.closeAsked = true;
            return 0;
        }
        unloadFor(UnloadCause::ControlMenu);
        return 0;
    case WM_QUERYENDSESSION: {
        bool cancel = false;
        if (queryUnload)
            queryUnload(cancel, UnloadCause::AppWindows);
        return cancel ? FALSE : TRUE;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace rastrex::win32
