// The Win32 toolkit's own controls, on a real display under Wine: what the
// window's logic relies on them for, beyond what the scripted toolkit of the
// handler tests can show.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app_files.h"
#include "folder_listing.h"
#include "layouts.h"
#include "wildcard.h"
#include "shared_toolkit.h"
#include "touch_files.h"
#include "win32_toolkit.h"
#include "windows_system.h"

namespace rastrex::win32 {
namespace {

namespace fs = std::filesystem;
// A key-up message's flags: the key was down before, and is now released.
const LPARAM kKeyUpFlags = static_cast<LPARAM>(0xC0000000u);
using namespace rastrex::windows;

constexpr PanelLayout kPanels[] = {{1500}, {3000}};
constexpr ControlLayout kControls[] = {
    {.name = "Go", .kind = ControlKind::CommandButton, .container = "", .left = 60, .top = 60, .width = 1200,
     .height = 350, .tab = 0, .caption = "Go(&G)", .tooltip = "tip", .isDefault = true},
    {.name = "Other", .kind = ControlKind::CommandButton, .container = "", .left = 1300, .top = 60, .width = 1200,
     .height = 350, .tab = 1, .caption = "Other", .tooltip = ""},
    {.name = "Box", .kind = ControlKind::CheckBox, .container = "", .left = 60, .top = 450, .width = 1500,
     .height = 250, .tab = 2, .caption = "Box", .tooltip = ""},
    {.name = "Files", .kind = ControlKind::FileList, .container = "", .left = 60, .top = 750, .width = 2000,
     .height = 1500, .tab = 3, .caption = "", .tooltip = "", .acceptsDrops = true, .pattern = "*.xwd"},
    {.name = "Dir", .kind = ControlKind::DirList, .container = "", .left = 2100, .top = 750, .width = 2000,
     .height = 1500, .tab = 4, .caption = "", .tooltip = ""},
    {.name = "Drive", .kind = ControlKind::DriveList, .container = "", .left = 4200, .top = 750, .width = 1500,
     .height = 300, .tab = 5, .caption = "", .tooltip = ""},
    {.name = "Status", .kind = ControlKind::StatusBar, .container = "", .left = 0, .top = 2700, .width = 6000,
     .height = 285, .tab = 6, .caption = "", .tooltip = "", .panels = kPanels},
    {.name = "Bar", .kind = ControlKind::ProgressBar, .container = "", .left = 45, .top = 2745, .width = 1400,
     .height = 195, .tab = 7, .caption = "", .tooltip = "", .hidden = true, .rangeMin = 0, .rangeMax = 100},
    // A multi-line box far too small for its text at any readable size.
    {.name = "Cramped", .kind = ControlKind::TextBox, .container = "", .left = 4200, .top = 1200, .width = 1500,
     .height = 300, .tab = 8, .caption = "A text of many words that no readable size of any face can show whole "
                                         "in a box of two short lines.\r\n", .tooltip = ""},
};
constexpr MenuItemLayout kBarItems[] = {{"barItem", "Item", "Ctrl+R"}};
constexpr MenuItemLayout kPopupItems[] = {{"first", "First(&F)", ""}, {"second", "Second(&S)", ""}};
constexpr MenuLayout kMenus[] = {
    {"bar", "Bar(&B)", false, kBarItems},
    {"pop", "Pop", true, kPopupItems},
};
constexpr FormLayout kLayout{"TestForm", "toolkit test", 6000, 3000, 600, 600, WindowBorder::FixedSingle, true,
                             kControls, kMenus, {}};

HWND childByClass(HWND parent, const wchar_t* cls, int index = 0)
{
    HWND found = nullptr;
    for (HWND h = FindWindowExW(parent, nullptr, cls, nullptr); h != nullptr;
         h = FindWindowExW(parent, h, cls, nullptr))
        if (index-- == 0) {
            found = h;
            break;
        }
    return found;
}

class Win32ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char buffer[MAX_PATH];
        GetTempPathA(sizeof buffer, buffer);
        dir_ = fs::path(buffer) / ("rastrex-toolkit-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        window_ = toolkit().buildWindow(kLayout, WindowRole::Main);
        window_->show();
        toolkit().pumpPending();
        hwnd_ = static_cast<HWND>(window_->nativeHandle());
    }
    void TearDown() override
    {
        window_.reset();
        toolkit().pumpPending();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    static Win32Toolkit& toolkit() { return sharedToolkit(); }
    void touch(const std::string& name) { test::touchFiles(dir_, {name}); }
    std::string dir() const { return dir_.string(); }
    // Sends a key to the focused control through the toolkit's own loop,
    // as the keyboard would.
    void press(WPARAM key)
    {
        HWND focus = GetFocus();
        PostMessageW(focus != nullptr ? focus : hwnd_, WM_KEYDOWN, key, 0);
        PostMessageW(focus != nullptr ? focus : hwnd_, WM_KEYUP, key, kKeyUpFlags);
        toolkit().pumpPending();
    }

    fs::path dir_;
    std::unique_ptr<Window> window_;
    HWND hwnd_ = nullptr;
};

TEST_F(Win32ToolkitTest, CheckBoxSetRaisesClickOnlyOnChange)
{
    CheckBox& box = *window_->checkBox("Box");
    int clicks = 0;
    box.click = [&] { ++clicks; };
    HWND h = childByClass(hwnd_, L"BUTTON", 2);
    struct Step {
        int set;
        int value;
        int clicks;
        LRESULT shown;
    };
    const Step steps[] = {
        {0, 0, 0, BST_UNCHECKED}, {1, 1, 1, BST_CHECKED},       {1, 1, 1, BST_CHECKED},
        {2, 2, 2, BST_INDETERMINATE}, {5, 2, 2, BST_INDETERMINATE}, {-1, 2, 2, BST_INDETERMINATE},
        {0, 0, 3, BST_UNCHECKED},
    };
    for (const Step& s : steps) {
        box.setValue(s.set);
        EXPECT_EQ(box.value(), s.value) << "set " << s.set;
        EXPECT_EQ(clicks, s.clicks) << "set " << s.set;
        EXPECT_EQ(SendMessageW(h, BM_GETCHECK, 0, 0), s.shown) << "set " << s.set;
    }
}

TEST_F(Win32ToolkitTest, EnterPressesDefaultButtonUnlessAnotherButtonHasFocus)
{
    int go = 0, other = 0;
    window_->commandButton("Go")->click = [&] { ++go; };
    window_->commandButton("Other")->click = [&] { ++other; };
    struct Case {
        const wchar_t* focusClass;
        int focusIndex;
        bool goEnabled;
        WPARAM key;
        int go, other;
    };
    const Case cases[] = {
        {L"LISTBOX", 0, true, VK_RETURN, 1, 0},   // the file list
        {L"BUTTON", 2, true, VK_RETURN, 1, 0},    // the check box
        {L"BUTTON", 1, true, VK_RETURN, 0, 1},    // another command button
        {L"LISTBOX", 0, false, VK_RETURN, 0, 0},  // the default button disabled
        {L"LISTBOX", 0, true, VK_ESCAPE, 0, 0},   // no cancel button
        {L"EDIT", 0, true, VK_RETURN, 0, 0},      // the multi-line box keeps Enter
    };
    for (const Case& c : cases) {
        go = other = 0;
        window_->commandButton("Go")->setEnabled(c.goEnabled);
        SetFocus(childByClass(hwnd_, c.focusClass, c.focusIndex));
        press(c.key);
        EXPECT_EQ(go, c.go) << "focus class index " << c.focusIndex << " key " << c.key;
        EXPECT_EQ(other, c.other) << "focus class index " << c.focusIndex << " key " << c.key;
    }
}

TEST_F(Win32ToolkitTest, ADoubleClickRaisesDblClickOnlyOnAnItem)
{
    for (const char* name : {"a.xwd", "b.xwd"})
        touch(name);
    FileList& list = *window_->fileList("Files");
    list.setPath(dir());
    int raised = 0;
    list.dblClick = [&] { ++raised; };
    HWND h = childByClass(hwnd_, L"LISTBOX", 0);
    RECT item{}, client{};
    SendMessageW(h, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    GetClientRect(h, &client);
    ASSERT_LT(item.bottom + 4, client.bottom);
    struct Case {
        const char* where;
        POINT at;
        int raised;
    };
    const Case cases[] = {
        {"on the second item", {item.left + 4, (item.top + item.bottom) / 2}, 1},
        {"below the items", {item.left + 4, client.bottom - 2}, 0},
        {"on the first item", {item.left + 4, item.top - 2}, 1},
    };
    for (const Case& c : cases) {
        raised = 0;
        const LPARAM at = MAKELPARAM(c.at.x, c.at.y);
        for (const UINT m : {UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}, UINT{WM_LBUTTONDBLCLK}, UINT{WM_LBUTTONUP}})
            SendMessageW(h, m, m == WM_LBUTTONUP ? 0u : static_cast<WPARAM>(MK_LBUTTON), at);
        toolkit().pumpPending();
        EXPECT_EQ(raised, c.raised) << c.where;
    }
}

// Whether the multi-line box shows its last character that is not a line
// end inside its formatting rectangle.
bool showsWholeText(HWND box)
{
    const int length = GetWindowTextLengthW(box);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(box, text.data(), length + 1);
    const LRESULT at = SendMessageW(box, EM_POSFROMCHAR, text.find_last_not_of(L"\r\n", static_cast<std::size_t>(length) - 1), 0);
    RECT format{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    return at != -1 && static_cast<short>(HIWORD(at)) + metrics.tmHeight <= format.bottom;
}

TEST_F(Win32ToolkitTest, TheDescriptionShowsWholeInAReadableSizeAndOnlyACrampedBoxScrolls)
{
    auto about = toolkit().buildWindow(aboutFormLayout(), WindowRole::Secondary);
    about->show();
    toolkit().pumpPending();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    struct Case {
        const char* what;
        HWND box;
        bool whole;
    };
    const Case cases[] = {
        {"Text2", childByClass(static_cast<HWND>(about->nativeHandle()), L"EDIT"), true},
        {"Cramped", childByClass(hwnd_, L"EDIT"), false},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.box, nullptr) << c.what;
        EXPECT_EQ(showsWholeText(c.box), c.whole) << c.what;
        EXPECT_EQ((GetWindowLongW(c.box, GWL_STYLE) & WS_VSCROLL) != 0, !c.whole) << c.what;
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(c.box, WM_GETFONT, 0, 0)), sizeof font, &font);
        const double points = -font.lfHeight * 72.0 / dpi;
        RecordProperty(c.what, std::to_string(points));
        EXPECT_GE(points, 7.4) << c.what;
    }
}

TEST_F(Win32ToolkitTest, FileListListsFolderByPatternIgnoringCase)
{
    for (const char* name : {"b.xwd", "A.XWD", "c.Xwd", "d.bmp", "e.xwdx", "plain", "hidden.xwd"})
        touch(name);
    fs::create_directory(dir_ / "folder.xwd");
    SetFileAttributesA((dir_ / "hidden.xwd").string().c_str(), FILE_ATTRIBUTE_HIDDEN);

    FileList& list = *window_->fileList("Files");
    list.setPath(dir());
    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.xwd", {"A.XWD", "b.xwd", "c.Xwd"}},
        {"*.*", {"A.XWD", "b.xwd", "c.Xwd", "d.bmp", "e.xwdx", "plain"}},
        {"*.bmp;?.XWD", {"A.XWD", "b.xwd", "c.Xwd", "d.bmp"}},
        {"*.gif", {}},
    };
    HWND h = childByClass(hwnd_, L"LISTBOX", 0);
    for (const Case& c : cases) {
        list.setPattern(c.pattern);
        std::vector<std::string> got;
        for (ItemIndex i = 0; i < list.listCount(); ++i)
            got.push_back(list.list(i));
        EXPECT_EQ(got, c.names) << c.pattern;
        EXPECT_EQ(SendMessageW(h, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(c.names.size())) << c.pattern;
        EXPECT_EQ(list.listIndex(), kNoItem) << c.pattern;
    }
}

// A name wider than the list is read whole by scrolling sideways, as far as
// the widest name needs; short names need no scrolling.
TEST_F(Win32ToolkitTest, FileListScrollsSidewaysAsFarAsItsWidestName)
{
    const std::string wide = "gradient-8bit-netpbm-with-a-name-much-wider-than-its-list.xwd";
    touch(wide);
    touch("b.xwd");
    FileList& list = *window_->fileList("Files");
    list.setPath(dir());
    HWND h = childByClass(hwnd_, L"LISTBOX", 0);
    EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & WS_HSCROLL);
    HDC dc = GetDC(h);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(h, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32A(dc, wide.c_str(), static_cast<int>(wide.size()), &text);
    ReleaseDC(h, dc);
    RECT client{};
    GetClientRect(h, &client);
    ASSERT_GT(text.cx, client.right);
    EXPECT_GE(SendMessageW(h, LB_GETHORIZONTALEXTENT, 0, 0), text.cx);

    list.setPattern("b.*");
    EXPECT_LT(SendMessageW(h, LB_GETHORIZONTALEXTENT, 0, 0), client.right);
}

TEST_F(Win32ToolkitTest, DirListRaisesChangeOnlyWhenItMoves)
{
    fs::create_directory(dir_ / "Sub");
    DirList& dirs = *window_->dirList("Dir");
    int changes = 0;
    dirs.change = [&] { ++changes; };
    dirs.setPath(dir());
    EXPECT_EQ(changes, 1);
    const std::string shown = dirs.path();
    EXPECT_NE(shown.back(), '\\');

    struct Case {
        std::string path;
        int changes;
        std::string shown;
    };
    const Case cases[] = {
        {dir() + "\\", 1, shown},                   // the same folder spelled with a separator
        {dir() + "\\missing", 1, shown},            // cannot be read: stays
        {dir() + "\\sub", 2, shown + "\\Sub"},      // a subfolder, any letter case
        {"C:", 3, absoluteFolder("C:")},            // a drive text: that drive's folder
        {"C:\\", absoluteFolder("C:") == "C:\\" ? 3 : 4, "C:\\"},  // a root keeps its separator
    };
    for (const Case& c : cases) {
        dirs.setPath(c.path);
        EXPECT_EQ(changes, c.changes) << c.path;
        if (c.path != dir() + "\\sub") {
            EXPECT_EQ(dirs.path(), c.shown) << c.path;
        }
    }
}

// Past MAX_PATH (260 characters) a folder is opened in the directory list
// and its dumps listed and opened like any other's.
TEST_F(Win32ToolkitTest, FoldersDeeperThanMaxPathAreOpenedAndListed)
{
    test::DeepFolder deep(dir_, 300, "deep.xwd", test::dumpBytes(1, 1));
    DirList& dirs = *window_->dirList("Dir");
    dirs.setPath(deep.path() + "\\");
    EXPECT_EQ(dirs.path(), deep.path());
    FileList& list = *window_->fileList("Files");
    list.setPath(dirs.path());
    EXPECT_EQ(list.listCount(), 1);
    EXPECT_EQ(list.list(0), "deep.xwd");
    EXPECT_EQ(SystemFileSystem().openForReading(deep.file()).kind, FileFailure::None);
}

TEST_F(Win32ToolkitTest, DriveListFollowsDriveLetters)
{
    DriveList& drives = *window_->driveList("Drive");
    int changes = 0;
    drives.change = [&] { ++changes; };
    const std::string current = drives.drive();
    ASSERT_GE(current.size(), 2u);
    EXPECT_EQ(current[1], ':');
    EXPECT_EQ(drives.rootOf("c:\\windows"), "C:\\");
    EXPECT_EQ(drives.rootOf("\\\\server\\share\\a.xwd"), "");

    const std::vector<Drive> all = systemDrives();
    ASSERT_GE(all.size(), 2u) << "Wine gives C: and Z:";
    const std::string other = all[0].root.substr(0, 1) == current.substr(0, 1) ? all[1].root : all[0].root;
    drives.showDriveOf(other);
    EXPECT_EQ(changes, 0);
    drives.setDrive(current.substr(0, 2));
    EXPECT_EQ(changes, 1);
    drives.setDrive(current.substr(0, 2));
    EXPECT_EQ(changes, 1);
}

TEST_F(Win32ToolkitTest, StatusPanelsAndProgressBarAcceptEveryRange)
{
    StatusBar& status = *window_->statusBar("Status");
    HWND bar = childByClass(hwnd_, STATUSCLASSNAMEW);
    EXPECT_EQ(status.panelCount(), 2);
    status.setPanelText(2, "second");
    status.setPanelText(3, "none");
    EXPECT_EQ(status.panelText(2), "second");
    wchar_t text[64] = {};
    SendMessageW(bar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"second");

    ProgressBar& progress = *window_->progressBar("Bar");
    HWND native = childByClass(hwnd_, PROGRESS_CLASSW);
    EXPECT_FALSE(IsWindowVisible(native));
    struct Case {
        ItemIndex max, value, shown;
    };
    const Case cases[] = {{0, 0, 0}, {0, 5, 0}, {10, 3, 3}, {10, 12, 10}, {ItemIndex{1} << 40, ItemIndex{1} << 39, 500000}};
    for (const Case& c : cases) {
        progress.setMin(0);
        progress.setMax(c.max);
        progress.setValue(c.value);
        EXPECT_EQ(progress.value(), std::min(c.value, c.max)) << c.max;
        EXPECT_EQ(SendMessageW(native, PBM_GETPOS, 0, 0), c.shown) << c.max;
    }
    progress.setVisible(true);
    EXPECT_TRUE(IsWindowVisible(native));
}

TEST_F(Win32ToolkitTest, UnloadAsksFirstAndCanBeRefused)
{
    int asked = 0;
    bool refuse = true;
    window_->queryUnload = [&](bool& cancel, UnloadCause cause) {
        ++asked;
        EXPECT_EQ(cause, UnloadCause::ControlMenu);
        cancel = refuse;
    };
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(window_->loaded());
    refuse = false;
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window_->loaded());
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_EQ(asked, 2);
    window_->unload();  // not loaded: nothing
    EXPECT_EQ(asked, 2);
    // The controls still answer.
    EXPECT_EQ(window_->checkBox("Box")->value(), kCheckOff);
}

// A data object as the shell's drag offers it: a file list (CF_HDROP) or text.
// (A COM object is destroyed by its own Release(), never through the
// interface: IDataObject needs no virtual destructor.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FakeData final : public IDataObject {
public:
    FakeData(CLIPFORMAT format, std::vector<std::string> files) : format_(format), files_(std::move(files)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* medium) override
    {
        if (QueryGetData(fe) != S_OK || format_ != CF_HDROP)
            return DV_E_FORMATETC;
        std::string names;
        for (const std::string& f : files_)
            names += f + '\0';
        names += '\0';
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
        auto* drop = static_cast<DROPFILES*>(GlobalLock(g));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = FALSE;
        memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
        GlobalUnlock(g);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = g;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fe) override
    {
        return fe->cfFormat == format_ && (fe->tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

private:
    CLIPFORMAT format_;
    std::vector<std::string> files_;
};
#pragma GCC diagnostic pop

TEST_F(Win32ToolkitTest, FileListTakesDropsOfFilesOnly)
{
    FileList& list = *window_->fileList("Files");
    std::vector<std::string> dropped;
    list.oleDragOver = [](const DragData& d, int& effect, int, int, int, int, DragState) {
        effect = d.getFormat(kClipboardFormatFiles) ? kDropEffectCopy : kDropEffectNone;
    };
    list.oleDragDrop = [&](const DragData& d, int&, int, int, int, int) { dropped = d.files(); };
    HWND h = childByClass(hwnd_, L"LISTBOX", 0);
    // The target the list registered, as OLE keeps it on the window.
    auto* target = static_cast<IDropTarget*>(GetPropW(h, L"OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(GetPropW(childByClass(hwnd_, L"LISTBOX", 1), L"OleDropTargetInterface"), nullptr)
        << "the directory list takes no drops";

    struct Case {
        CLIPFORMAT format;
        DWORD effect;
        std::vector<std::string> dropped;
    };
    const Case cases[] = {
        {CF_HDROP, DROPEFFECT_COPY, {"C:\\a\\one.xwd", "C:\\b\\two.xwd"}},
        {CF_TEXT, DROPEFFECT_NONE, {}},
    };
    for (const Case& c : cases) {
        dropped.clear();
        FakeData data(c.format, {"C:\\a\\one.xwd", "C:\\b\\two.xwd"});
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, POINTL{10, 10}, &effect), S_OK);
        EXPECT_EQ(effect, c.effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->Drop(&data, 0, POINTL{10, 10}, &effect);
        EXPECT_EQ(effect, c.effect);
        EXPECT_EQ(dropped, c.dropped);
    }
}

}  // namespace
}  // namespace rastrex::win32
