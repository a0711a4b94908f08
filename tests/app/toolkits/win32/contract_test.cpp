// The contract of controls.h on the Win32 toolkit, and what a screen reader
// reads of the program's two windows through the accessibility runtime.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "controls_contract.h"
#include "form_geometry.h"
#include "layouts.h"
#include "reachable_controls.h"
#include "shared_toolkit.h"
#include "win32_window.h"
#include "windows_system.h"

namespace rastrex::win32 {
namespace {

// A key-up message's flags: the key was down before, and is now released.
const LPARAM kKeyUpFlags = static_cast<LPARAM>(0xC0000000u);

using test::reachable;

// What the control shows as its value; "" for a control that has none.
std::string valueOf(Window& w, const ControlLayout& c)
{
    if (DriveList* d = w.driveList(c.name))
        return d->drive();
    if (DirList* d = w.dirList(c.name))
        return d->path();
    if (TextBox* t = w.textBox(c.name))
        return t->text();
    return {};
}

// Why this system's accessibility runtime does not honour a name given by
// dynamic annotation, tried on a scratch static control; "" when it does.
std::string annotationsRefused()
{
    constexpr CLSID kServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    constexpr IID kIServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    constexpr GUID kName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
    const auto code = [](HRESULT hr) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(hr));
        return std::string(text);
    };
    HWND scratch = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (scratch == nullptr)
        return "no scratch control";
    IAccPropServices* services = nullptr;
    std::string refused;
    if (const HRESULT made = CoCreateInstance(kServices, nullptr, CLSCTX_INPROC_SERVER, kIServices,
                                              reinterpret_cast<void**>(&services));
        FAILED(made)) {
        refused = "the annotation service cannot be made: " + code(made);
    } else {
        const HRESULT set = services->SetHwndPropStr(scratch, static_cast<DWORD>(OBJID_CLIENT),
                                                     static_cast<DWORD>(CHILDID_SELF), kName, L"probe");
        if (FAILED(set))
            refused = "SetHwndPropStr fails with " + code(set);
        else if (const std::string read = readAccessibleName(scratch); read != "probe")
            refused = "a name given by annotation reads back as \"" + read + "\"";
        services->ClearHwndProps(scratch, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(CHILDID_SELF),
                                 &kName, 1);
        services->Release();
    }
    DestroyWindow(scratch);
    return refused;
}

TEST(Win32AccessibilityTest, EveryControlOfBothWindowsHasANameThatIsNotItsValue)
{
    Win32Toolkit& toolkit = sharedToolkit();
    if (const std::string refused = annotationsRefused(); !refused.empty())
        GTEST_SKIP() << "this system's accessibility runtime does not honour names given by annotation: " << refused;
    int walked = 0;
    for (const FormLayout* layout : {&mainFormLayout(), &aboutFormLayout()}) {
        auto window = toolkit.buildWindow(*layout, WindowRole::Secondary);
        for (const ControlLayout& c : layout->controls) {
            Control* control = reachable(*window, c);
            if (control == nullptr)
                continue;
            ++walked;
            const std::string name = control->accessibleName();
            EXPECT_FALSE(name.empty()) << c.name;
            EXPECT_EQ(name, accessibleNameOf(c)) << c.name;
            EXPECT_NE(name, valueOf(*window, c)) << c.name;
        }
        window.reset();
        toolkit.pumpPending();
    }
    EXPECT_EQ(walked, 14 + 2);
}

TEST(Win32AccessibilityTest, ANameGoesWithTheControlsWindow)
{
    sharedToolkit();
    if (const std::string refused = annotationsRefused(); !refused.empty())
        GTEST_SKIP() << "this system's accessibility runtime does not honour names given by annotation: " << refused;
    HWND scratch = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(scratch, nullptr);
    annotateName(scratch, "named");
    EXPECT_EQ(readAccessibleName(scratch), "named");
    // The last message the system sends a window it destroys, sent while
    // the handle can still be asked for its name.
    SendMessageW(scratch, WM_NCDESTROY, 0, 0);
    EXPECT_EQ(readAccessibleName(scratch), "");
    DestroyWindow(scratch);
}

}  // namespace
}  // namespace rastrex::win32

namespace rastrex::contract {

struct Win32Harness {
    static constexpr const char* kName = "Win32";
    win32::Win32Toolkit& toolkit = win32::sharedToolkit();
    void pump() { toolkit.pumpPending(); }
    // The contract's window has one control of each class pressed here: the
    // text box is its one EDIT, the file list its first LISTBOX.
    bool press(Window& w, std::string_view name, Key key)
    {
        const HWND root = static_cast<HWND>(w.nativeHandle());
        const HWND control = FindWindowExW(root, nullptr, name == "Text" ? L"EDIT" : L"LISTBOX", nullptr);
        SetFocus(control);
        const auto post = [&](UINT message, WPARAM wp, LPARAM lp) { PostMessageW(control, message, wp, lp); };
        switch (key) {
        case Key::Letter:
            post(WM_KEYDOWN, 'X', 0);
            post(WM_CHAR, L'x', 0);
            post(WM_KEYUP, 'X', win32::kKeyUpFlags);
            break;
        case Key::Enter:
            post(WM_KEYDOWN, VK_RETURN, 0);
            post(WM_KEYUP, VK_RETURN, win32::kKeyUpFlags);
            break;
        case Key::Tab:
            post(WM_KEYDOWN, VK_TAB, 0);
            post(WM_KEYUP, VK_TAB, win32::kKeyUpFlags);
            break;
        case Key::ShiftF10:
            // What the system makes of Shift+F10: a context menu asked for
            // at the point (-1, -1), here in 32 bits not widened with the
            // sign (the Menu key's goes through the system's own handling).
            post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), static_cast<LPARAM>(0xFFFFFFFFu));
            break;
        case Key::MenuKey:
            post(WM_KEYDOWN, VK_APPS, 0);
            post(WM_KEYUP, VK_APPS, win32::kKeyUpFlags);
            break;
        }
        pump();
        return GetFocus() == control;
    }
    // The native control of `name`: the window numbers its controls in the
    // order it makes them.
    static HWND native(Window& w, std::string_view name)
    {
        int id = win32::kFirstControlId;
        for (const ControlLayout* c : creationOrder(kLayout)) {
            if (c->name == name)
                break;
            ++id;
        }
        return GetDlgItem(static_cast<HWND>(w.nativeHandle()), id);
    }
    void click(Window& w, std::string_view name)
    {
        const HWND control = native(w, name);
        if (IsWindowEnabled(control))  // the system gives a disabled window no input
            SendMessageW(control, BM_CLICK, 0, 0);
        pump();
    }
    void pressMouse(Window& w, std::string_view name, int button, int x, int y)
    {
        const HWND control = native(w, name);
        const LPARAM at = MAKELPARAM(x, y);
        switch (button) {
        case kLeftButton:
            SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(control, WM_LBUTTONUP, 0, at);
            break;
        case kRightButton: SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, at); break;
        default: SendMessageW(control, WM_MBUTTONDOWN, MK_MBUTTON, at); break;
        }
        pump();
    }
    // Menu items are numbered in the layout's order of menus and items.
    void chooseMenuItem(Window& w, std::string_view item)
    {
        int id = win32::kFirstMenuId;
        for (const MenuLayout& m : kLayout.menus)
            for (const MenuItemLayout& i : m.items) {
                if (i.name == item)
                    SendMessageW(static_cast<HWND>(w.nativeHandle()), WM_COMMAND, MAKEWPARAM(id, 0), 0);
                ++id;
            }
    }
    // The keys wait in the queue for the menu's own loop.
    void popupChoosing(Window& w, std::string_view popup, int choice)
    {
        const HWND root = static_cast<HWND>(w.nativeHandle());
        const auto key = [&](WPARAM k) {
            PostMessageW(root, WM_KEYDOWN, k, 0);
            PostMessageW(root, WM_KEYUP, k, win32::kKeyUpFlags);
        };
        for (int i = 0; i <= choice; ++i)
            key(VK_DOWN);
        key(choice >= 0 ? VK_RETURN : VK_ESCAPE);
        w.popupMenu(popup)->popup();
    }
    // Posted, as the system's input arrives; the batch's looks come at a
    // clock that leaps, so each one reads all that waits.
    void queueForBatch(Window& w, BatchInput input)
    {
        toolkit.setClock(&leaping);
        const HWND root = static_cast<HWND>(w.nativeHandle());
        switch (input) {
        case BatchInput::Escape:
            PostMessageW(root, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(root, WM_KEYUP, VK_ESCAPE, win32::kKeyUpFlags);
            break;
        case BatchInput::CloseBox: PostMessageW(root, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case BatchInput::ClickGo:
            PostMessageW(native(w, "Go"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(native(w, "Go"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            break;
        }
    }
    ~Win32Harness() { toolkit.setClock(nullptr); }
    struct LeapingClock final : Clock {
        std::chrono::steady_clock::time_point t{};
        std::chrono::steady_clock::time_point now() override { return t += std::chrono::hours(1); }
    } leaping;
    // A hook on this thread's windows sees the box as the system activates
    // it, keeps its text (its one static control with text) and posts the
    // button's command, which the box's own loop takes.
    void answerNextBox(MessageBoxes::Answer press, std::string& seen)
    {
        boxAnswer = press == MessageBoxes::Answer::Yes ? IDYES : IDNO;
        boxText = &seen;
        boxHook = SetWindowsHookExW(WH_CBT, onActivate, nullptr, GetCurrentThreadId());
    }
    static LRESULT CALLBACK onActivate(int code, WPARAM wp, LPARAM lp)
    {
        const HWND box = reinterpret_cast<HWND>(wp);
        wchar_t cls[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameW(box, cls, 16) > 0 && std::wstring_view(cls) == L"#32770") {
            EnumChildWindows(box, keepText, 0);
            const int id = GetDlgItem(box, IDYES) != nullptr ? boxAnswer : IDOK;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
            UnhookWindowsHookEx(boxHook);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    // The box's first static control with text holds its text.
    static BOOL CALLBACK keepText(HWND child, LPARAM)
    {
        wchar_t cls[16] = {}, text[256] = {};
        GetClassNameW(child, cls, 16);
        if (_wcsicmp(cls, L"STATIC") == 0 && GetWindowTextW(child, text, 256) > 0) {
            boxText->assign(windows::narrow(text));
            return FALSE;
        }
        return TRUE;
    }
    static inline HHOOK boxHook = nullptr;
    static inline int boxAnswer = IDNO;
    static inline std::string* boxText = nullptr;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Toolkit, ControlsContract, Win32Harness, HarnessName);

}  // namespace rastrex::contract
