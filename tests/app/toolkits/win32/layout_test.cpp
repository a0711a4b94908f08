// Both windows as the Win32 toolkit builds them, against their layouts and
// the window's logic: every native control in the creation order, of its
// family's class, at its place in pixels, shown or hidden as laid out.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "form_geometry.h"
#include "layouts.h"
#include "shared_toolkit.h"
#include "win32_window.h"

namespace rastrex::win32 {
namespace {

// The window class a control of `kind` is made of; "" for one the window
// draws itself.
std::wstring classOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
    case ControlKind::Frame: return L"button";
    case ControlKind::StatusBar: return L"msctls_statusbar32";
    case ControlKind::ProgressBar: return L"msctls_progress32";
    case ControlKind::DriveList: return L"combobox";
    case ControlKind::FileList:
    case ControlKind::DirList: return L"listbox";
    case ControlKind::Label:
    case ControlKind::Picture: return L"static";
    case ControlKind::TextBox: return L"edit";
    case ControlKind::Line: return L"";
    }
    return L"";
}

std::wstring lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(towlower(c));
    return text;
}

TEST(Win32LayoutTest, BothWindowsFollowTheirLayouts)
{
    Win32Toolkit& toolkit = sharedToolkit();
    for (const FormLayout* layout : {&mainFormLayout(), &aboutFormLayout()}) {
        SCOPED_TRACE(std::string(layout->name));
        auto window = toolkit.buildWindow(*layout, WindowRole::Secondary);
        auto& built = static_cast<W32Window&>(*window);
        const HWND root = built.hwnd();
        int id = kFirstControlId;
        for (const ControlLayout* c : creationOrder(*layout)) {
            SCOPED_TRACE(std::string(c->name));
            const HWND h = GetDlgItem(root, id++);
            const std::wstring cls = classOf(c->kind);
            if (cls.empty()) {
                EXPECT_EQ(h, nullptr);
                continue;
            }
            ASSERT_NE(h, nullptr);
            wchar_t name[64] = {};
            GetClassNameW(h, name, 64);
            EXPECT_EQ(lower(name), cls);
            EXPECT_EQ((GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0, !c->hidden);

            RECT r{};
            GetWindowRect(h, &r);
            MapWindowPoints(nullptr, root, reinterpret_cast<POINT*>(&r), 2);
            const PixelRect laid = clientRect(*layout, *c, built.dpi());
            EXPECT_EQ(r.top, laid.top);
            if (c->autoSize) {
                // Grown to its text, to the right or about its centre.
                EXPECT_LE(r.left, laid.left);
                EXPECT_GE(r.right, laid.left + laid.width);
                EXPECT_GE(r.bottom - r.top, laid.height);
                if (!c->centred) {
                    EXPECT_EQ(r.left, laid.left);
                }
                continue;
            }
            EXPECT_EQ(r.left, laid.left);
            EXPECT_EQ(r.right - r.left, laid.width);
            // The drive list's height is its edit line's, whatever its layout.
            if (c->kind != ControlKind::DriveList) {
                EXPECT_EQ(r.bottom - r.top, laid.height);
            }
        }
        EXPECT_EQ(GetDlgItem(root, id), nullptr);
        window.reset();
        toolkit.pumpPending();
    }
}

}  // namespace
}  // namespace rastrex::win32
