// Which messages open a file list's popup from the keyboard on the Win32
// toolkit: a context menu asked for at the point (-1, -1), however the
// system widens it, and the Menu key as it is let go; nothing else.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls.h"
#include "layouts.h"
#include "shared_toolkit.h"

namespace rastrex::win32 {
namespace {

// A key-up message's flags: the key was down before, and is now released.
const LPARAM kKeyUpFlags = static_cast<LPARAM>(0xC0000000u);

constexpr ControlLayout kControls[] = {
    {.name = "Files", .kind = ControlKind::FileList, .container = "", .left = 60, .top = 60, .width = 2000,
     .height = 1500, .tab = 0, .caption = "", .tooltip = "", .pattern = "*.xwd"},
};
constexpr FormLayout kLayout{"KeysForm", "keyboard popup test", 2200, 1700, 600, 600, WindowBorder::FixedSingle,
                             true, kControls, {}, {}};

TEST(Win32FileListKeysTest, OnlyTheKeyboardsAsksOpenThePopupAndEachOnce)
{
    Win32Toolkit& toolkit = sharedToolkit();
    auto window = toolkit.buildWindow(kLayout, WindowRole::Secondary);
    window->show();
    toolkit.pumpPending();
    int presses = 0;
    window->fileList("Files")->mouseDown = [&](int button, int, int, int) {
        if (button == kRightButton)
            ++presses;
    };
    const HWND list = FindWindowExW(static_cast<HWND>(window->nativeHandle()), nullptr, L"LISTBOX", nullptr);
    ASSERT_NE(list, nullptr);
    const auto self = reinterpret_cast<WPARAM>(list);
    struct Case {
        const char* what;
        UINT message;
        WPARAM wp;
        LPARAM lp;
        int presses;
    };
    const Case cases[] = {
        {"context menu at (-1, -1) widened with the sign", WM_CONTEXTMENU, self, -1, 1},
        {"context menu at (-1, -1) in 32 bits", WM_CONTEXTMENU, self, static_cast<LPARAM>(0xFFFFFFFFu), 1},
        {"context menu at a point", WM_CONTEXTMENU, self, MAKELPARAM(5, 5), 0},
        {"context menu at x -1 only", WM_CONTEXTMENU, self, MAKELPARAM(0xFFFF, 5), 0},
        {"context menu at y -1 only", WM_CONTEXTMENU, self, MAKELPARAM(5, 0xFFFF), 0},
        {"Menu key down", WM_KEYDOWN, VK_APPS, 0, 0},
        {"Menu key up", WM_KEYUP, VK_APPS, kKeyUpFlags, 1},
        {"another key up", WM_KEYUP, 'X', kKeyUpFlags, 0},
    };
    for (const Case& c : cases) {
        presses = 0;
        SetFocus(list);
        SendMessageW(list, c.message, c.wp, c.lp);
        toolkit.pumpPending();
        EXPECT_EQ(presses, c.presses) << c.what;
    }
    window.reset();
    toolkit.pumpPending();
}

}  // namespace
}  // namespace rastrex::win32
