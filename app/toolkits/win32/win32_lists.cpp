// The drive list (a drop-down combo box), the directory list and the file
// list (list boxes), filled from the Windows services.
#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "win32_controls.h"
#include "win32_drops.h"

namespace rastrex::win32 {

namespace {

// The drop-down part of the drive list, below its edit line.
constexpr int kDropDownPixels = 200;

// ------------------------------------------------------ focus on the list

// Whether a list box shows its focus on itself: it has no item, or the item
// with the focus mark is scrolled out of sight.
bool focusOnTheList(HWND list)
{
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
    if (count <= 0 || caret < 0 || caret >= count)
        return true;
    RECT item{}, client{}, seen{};
    GetClientRect(list, &client);
    if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
        return true;
    return IntersectRect(&seen, &item, &client) == FALSE;
}

// The part of a list box's subclass that draws its own focus frame: true
// when it has answered `msg` itself, with `result`. The frame is drawn in
// the text colour, one pixel thick at 96 dots per inch and thicker in step
// with the scale.
bool focusFrame(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
        // The frame spans the list: it is drawn whole again, or taken
        // away, when the focus or the view moves.
        InvalidateRect(h, nullptr, TRUE);
        return false;
    case WM_PAINT: {
        result = DefSubclassProc(h, msg, wp, lp);
        if (GetFocus() != h || !focusOnTheList(h))
            return true;
        HDC dc = GetDC(h);
        RECT frame{};
        GetClientRect(h, &frame);
        const int thickness = std::max(1, MulDiv(1, GetDeviceCaps(dc, LOGPIXELSX), 96));
        for (int i = 0; i < thickness; ++i) {
            FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));
            InflateRect(&frame, -1, -1);
        }
        ReleaseDC(h, dc);
        return true;
    }
    default:
        return false;
    }
}

// -------------------------------------------------------------- drive list

class W32DriveList final : public W32Control<DriveList> {
public:
    W32DriveList(W32Window& w, const ControlLayout& l) : W32Control(w, l)
    {
        drives_ = systemDrives();
        shown_ = indexOf(absoluteFolder("."));
    }
    std::string drive() const override { return shown_ >= 0 ? drives_[static_cast<std::size_t>(shown_)].text : ""; }
    void setDrive(const std::string& path) override
    {
        const int i = indexOf(path);
        if (i < 0 || i == shown_)
            return;
        select(i);
        if (change)
            change();
    }
    void showDriveOf(const std::string& path) override
    {
        const int i = indexOf(path);
        if (i >= 0)
            select(i);
    }
    std::string rootOf(const std::string& path) const override
    {
        const int i = indexOf(path);
        return i >= 0 ? drives_[static_cast<std::size_t>(i)].root : "";
    }
    void created() override { fill(); }
    void command(int code) override
    {
        if (code == CBN_DROPDOWN) {
            // The drives may have changed since the list was last read.
            const std::string current = rootOf(drive());
            drives_ = systemDrives();
            shown_ = indexOf(current);
            fill();
        } else if (code == CBN_SELCHANGE) {
            const int i = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
            if (i >= 0 && i != shown_) {
                shown_ = i;
                if (change)
                    change();
            }
        }
    }

private:
    // The drive whose letter starts `path` ("c:", "C:\x", "c: [label]").
    int indexOf(const std::string& path) const
    {
        if (path.size() < 2 || path[1] != ':')
            return -1;
        const int letter = std::toupper(static_cast<unsigned char>(path[0]));
        for (std::size_t i = 0; i < drives_.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(drives_[i].root[0])) == letter)
                return static_cast<int>(i);
        return -1;
    }
    void select(int i)
    {
        shown_ = i;
        if (hwnd != nullptr)
            SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
    void fill()
    {
        if (hwnd == nullptr)
            return;
        SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
        for (const Drive& d : drives_)
            SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(d.text).c_str()));
        SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(shown_), 0);
    }

    std::vector<Drive> drives_;
    int shown_ = -1;
};

// ---------------------------------------------------------- directory list

bool sameFolder(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(),
                                                  static_cast<int>(a.size()), b.c_str(),
                                                  static_cast<int>(b.size())) == CSTR_EQUAL;
}

class W32DirList final : public W32Control<DirList> {
public:
    W32DirList(W32Window& w, const ControlLayout& l) : W32Control(w, l)
    {
        path_ = absoluteFolder(".");
        if (!canList(path_))
            path_ = absoluteFolder("\\");
    }
    std::string path() const override { return path_; }
    void setPath(const std::string& path) override
    {
        const std::string folder = absoluteFolder(path);
        if (folder.empty() || sameFolder(folder, path_) || !canList(folder))
            return;
        path_ = folder;
        fill();
        if (change)
            change();
    }
    void created() override
    {
        fill();
        SetWindowSubclass(hwnd, &W32DirList::subclass, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    void destroying() override { RemoveWindowSubclass(hwnd, &W32DirList::subclass, 0); }
    void command(int code) override
    {
        if (code == LBN_DBLCLK)
            openCurrent();
    }

private:
    void openCurrent()
    {
        const LRESULT i = SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
        if (i >= 0 && static_cast<std::size_t>(i) < itemPaths_.size()) {
            const std::string target = itemPaths_[static_cast<std::size_t>(i)];
            setPath(target);
        }
    }
    // The ancestors from the root down to the folder, then its subfolders,
    // each indented by its depth.
    void fill()
    {
        itemPaths_.clear();
        std::vector<std::wstring> texts;
        std::string walked = rootOf(path_);
        int depth = 0;
        itemPaths_.push_back(walked);
        texts.push_back(widen(walked));
        std::size_t start = walked.size();
        while (start < path_.size()) {
            std::size_t end = path_.find('\\', start);
            if (end == std::string::npos)
                end = path_.size();
            const std::string part = path_.substr(start, end - start);
            if (walked.back() != '\\')
                walked += '\\';
            walked += part;
            ++depth;
            itemPaths_.push_back(walked);
            texts.push_back(std::wstring(static_cast<std::size_t>(depth) * 2, L' ') + widen(part));
            start = end + 1;
        }
        const int current = static_cast<int>(itemPaths_.size()) - 1;
        const std::string prefix = path_.back() == '\\' ? path_ : path_ + '\\';
        for (const std::string& name : listSubfolders(path_)) {
            itemPaths_.push_back(prefix + name);
            texts.push_back(std::wstring(static_cast<std::size_t>(depth + 1) * 2, L' ') + widen(name));
        }
        if (hwnd == nullptr)
            return;
        SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
        for (const std::wstring& t : texts)
            SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
        SendMessageW(hwnd, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    static LRESULT CALLBACK subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
    {
        auto* self = reinterpret_cast<W32DirList*>(ref);
        if (LRESULT framed = 0; focusFrame(h, msg, wp, lp, framed))
            return framed;
        if (msg == WM_GETDLGCODE && lp != 0) {
            const MSG* m = reinterpret_cast<const MSG*>(lp);
            // Enter opens the folder under the focus mark.
            if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN)
                return DefSubclassProc(h, msg, wp, lp) | DLGC_WANTMESSAGE;
        }
        if (msg == WM_KEYDOWN && wp == VK_RETURN) {
            self->openCurrent();
            return 0;
        }
        return DefSubclassProc(h, msg, wp, lp);
    }

    // "C:\" of "C:\x\y", "\\server\share\" of "\\server\share\x".
    static std::string rootOf(const std::string& path)
    {
        if (path.size() >= 3 && path[1] == ':')
            return path.substr(0, 3);
        std::size_t end = path.size();
        if (path.rfind("\\\\", 0) == 0) {
            const std::size_t server = path.find('\\', 2);
            const std::size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
            if (share != std::string::npos)
                end = share + 1;
        }
        return path.substr(0, end);
    }

    std::string path_;
    std::vector<std::string> itemPaths_;
};

// --------------------------------------------------------------- file list

class W32FileList final : public W32Control<FileList> {
public:
    W32FileList(W32Window& w, const ControlLayout& l) : W32Control(w, l), pattern_(l.pattern)
    {
        folder_ = absoluteFolder(".");
        names_ = listFiles(folder_, pattern_);
    }
    std::string path() const override { return folder_; }
    void setPath(const std::string& folder) override
    {
        folder_ = folder;
        refresh();
    }
    std::string pattern() const override { return pattern_; }
    void setPattern(const std::string& pattern) override
    {
        pattern_ = pattern;
        refresh();
    }
    void refresh() override
    {
        names_ = folder_.empty() ? std::vector<std::string>{} : listFiles(folder_, pattern_);
        current_ = kNoItem;
        fill();
    }
    ItemIndex listCount() const override { return static_cast<ItemIndex>(names_.size()); }
    std::string list(ItemIndex i) const override
    {
        return i >= 0 && i < listCount() ? names_[static_cast<std::size_t>(i)] : std::string();
    }
    bool selected(ItemIndex i) const override
    {
        return hwnd != nullptr && i >= 0 && i < listCount() &&
               SendMessageW(hwnd, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    }
    void setSelected(ItemIndex i, bool on) override
    {
        if (hwnd != nullptr && i >= 0 && i < listCount())
            SendMessageW(hwnd, LB_SETSEL, on ? TRUE : FALSE, static_cast<LPARAM>(i));
    }
    void selectAll() override
    {
        if (hwnd != nullptr && !names_.empty())
            SendMessageW(hwnd, LB_SETSEL, TRUE, -1);
    }
    ItemIndex listIndex() const override { return current_; }

    void created() override
    {
        fill();
        SetWindowSubclass(hwnd, &W32FileList::subclass, 0, reinterpret_cast<DWORD_PTR>(this));
        if (layout->acceptsDrops && window_.oleReady()) {
            target_ = new DropTarget(*this, *this, window_);
            if (RegisterDragDrop(hwnd, target_) != S_OK) {
                target_->Release();
                target_ = nullptr;
            }
        }
    }
    void destroying() override
    {
        if (target_ != nullptr) {
            RevokeDragDrop(hwnd);
            target_->Release();
            target_ = nullptr;
        }
        RemoveWindowSubclass(hwnd, &W32FileList::subclass, 0);
    }
    void command(int code) override
    {
        if (code == LBN_SELCHANGE)
            followCaret();
        else if (code == LBN_DBLCLK && std::exchange(dblClickOnItem_, false) && dblClick)
            dblClick();
    }

private:
    void pressFromKeyboard()
    {
        POINT at{0, 0};
        const LRESULT caret = SendMessageW(hwnd, LB_GETCARETINDEX, 0, 0);
        RECT item{};
        if (caret >= 0 && caret < listCount()) {
            SendMessageW(hwnd, LB_SETTOPINDEX, static_cast<WPARAM>(caret), 0);
            if (SendMessageW(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&item)) != LB_ERR)
                at = POINT{item.left + (item.bottom - item.top) / 2, (item.top + item.bottom) / 2};
        }
        POINT screen = at;
        ClientToScreen(hwnd, &screen);
        window_.popupAnchor = screen;
        if (mouseDown)
            mouseDown(kRightButton, 0, at.x, at.y);
        window_.popupAnchor.reset();
    }
    void followCaret()
    {
        if (hwnd == nullptr || names_.empty())
            return;
        const LRESULT caret = SendMessageW(hwnd, LB_GETCARETINDEX, 0, 0);
        if (caret >= 0 && caret < listCount())
            current_ = caret;
    }
    void fill()
    {
        if (hwnd == nullptr)
            return;
        SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
        SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
        std::size_t bytes = 0;
        std::vector<std::wstring> texts;
        texts.reserve(names_.size());
        for (const std::string& n : names_) {
            texts.push_back(widen(n));
            bytes += (texts.back().size() + 1) * sizeof(wchar_t);
        }
        SendMessageW(hwnd, LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
        for (const std::wstring& t : texts)
            SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.c_str()));
        SendMessageW(hwnd, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestText(texts)), 0);
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    // The width in pixels that shows the widest of `texts` whole in the
    // list's font, with the margin the list box leaves before and after a
    // text: the list scrolls sideways that far when the names are wider.
    int widestText(const std::vector<std::wstring>& texts) const
    {
        constexpr int kTextMargin = 6;
        HDC dc = GetDC(hwnd);
        if (dc == nullptr)
            return 0;
        const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
        const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
        int widest = 0;
        for (const std::wstring& t : texts) {
            SIZE size{};
            if (GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size) && size.cx > widest)
                widest = size.cx;
        }
        if (previous != nullptr)
            SelectObject(dc, previous);
        ReleaseDC(hwnd, dc);
        return widest == 0 ? 0 : widest + kTextMargin;
    }
    static LRESULT CALLBACK subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
    {
        auto* self = reinterpret_cast<W32FileList*>(ref);
        if (LRESULT framed = 0; focusFrame(h, msg, wp, lp, framed))
            return framed;
        // Shift+F10 and the Menu key (a context menu asked for at the point
        // (-1, -1), whether the system widens that to 64 bits with the sign
        // or without) do what a right press does, at the current item.
        if (msg == WM_CONTEXTMENU && static_cast<short>(LOWORD(lp)) == -1 && static_cast<short>(HIWORD(lp)) == -1) {
            self->pressFromKeyboard();
            return 0;
        }
        // The Menu key does the same as it is let go. The list takes the
        // key itself, down and up, rather than leave it to the system's
        // default handling, which not every system gives it: so it acts
        // once everywhere.
        if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && wp == VK_APPS) {
            if (msg == WM_KEYUP)
                self->pressFromKeyboard();
            return 0;
        }
        if (msg == WM_LBUTTONDBLCLK)
            // The list reports a double-click anywhere in it, with the
            // press or with the release; only one on an item converts,
            // never one on the empty part below the items.
            self->dblClickOnItem_ = self->itemAt(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        int button = 0;
        if (msg == WM_LBUTTONDOWN)
            button = kLeftButton;
        else if (msg == WM_RBUTTONDOWN)
            button = kRightButton;
        else if (msg == WM_MBUTTONDOWN)
            button = kMiddleButton;
        if (button == 0)
            return DefSubclassProc(h, msg, wp, lp);
        // The list moves its focus mark first, so the handler reads the
        // item that was pressed.
        const LRESULT r = DefSubclassProc(h, msg, wp, lp);
        if (button == kLeftButton)
            self->followCaret();
        if (button == kRightButton)
            SetFocus(h);
        if (self->mouseDown)
            self->mouseDown(button, keyState(wp), static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        return r;
    }

    // Whether the point (x, y) of the list lies on one of its items.
    bool itemAt(int x, int y) const
    {
        const LRESULT hit = SendMessageW(hwnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
        const int index = LOWORD(hit);
        RECT item{};
        return HIWORD(hit) == 0 && index < listCount() &&
               SendMessageW(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) !=
                   LB_ERR &&
               PtInRect(&item, POINT{x, y});
    }

    std::string folder_;
    std::string pattern_;
    std::vector<std::string> names_;
    ItemIndex current_ = kNoItem;
    DropTarget* target_ = nullptr;
    bool dblClickOnItem_ = false;
};

}  // namespace

std::unique_ptr<Dispatch> makeDriveList(W32Window& window, const ControlLayout& layout)
{
    auto list = std::make_unique<W32DriveList>(window, layout);
    list->native = {.windowClass = L"COMBOBOX",
                    .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                    .extraHeight = kDropDownPixels};
    return list;
}

std::unique_ptr<Dispatch> makeDirList(W32Window& window, const ControlLayout& layout)
{
    auto list = std::make_unique<W32DirList>(window, layout);
    list->native = {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    return list;
}

std::unique_ptr<Dispatch> makeFileList(W32Window& window, const ControlLayout& layout)
{
    auto list = std::make_unique<W32FileList>(window, layout);
    list->native = {L"LISTBOX",
                    WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
    return list;
}

}  // namespace rastrex::win32
