#include "win32_toolkit.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#undef MessageBox

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "layouts.h"
#include "resource_ids.h"
#include "windows_system.h"

namespace rastrex::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"RastrexForm";
// Message boxes carry the application's title, not one of their own.
constexpr char kApplicationTitle[] = "Vellicor";

// Control and menu command identifiers of a window; the dialog manager's
// IDOK (1) and IDCANCEL (2) are below both, so Escape reaches nothing.
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;

// The drop-down part of the drive list, below its edit line.
constexpr int kDriveDropDownPixels = 200;
// The widest a tooltip grows before it wraps.
constexpr int kTooltipWidthPixels = 400;

// The font the layouts were made for: 9 points; smaller sizes are tried,
// down to the smallest that stays readable, until every caption fits.
constexpr double kLayoutFontPoints = 9.0;
constexpr double kSmallestFontPoints = 7.5;
constexpr double kFontStepPoints = 0.5;

// Families with Japanese glyphs, in order of preference: those of Windows
// first, then those that Linux machines running Wine usually have.
constexpr const wchar_t* kJapaneseFaces[] = {
    L"MS UI Gothic", L"Meiryo UI",   L"Yu Gothic UI",     L"MS PGothic",   L"IPAPGothic",
    L"IPAGothic",    L"VL PGothic", L"Noto Sans CJK JP", L"TakaoPGothic",
};

class SteadyClock final : public Clock {
public:
    std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
};

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool faceExists(HDC dc, const wchar_t* face)
{
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &lf, &noteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::wstring chooseFace()
{
    HDC dc = GetDC(nullptr);
    std::wstring face;
    for (const wchar_t* f : kJapaneseFaces)
        if (faceExists(dc, f)) {
            face = f;
            break;
        }
    ReleaseDC(nullptr, dc);
    if (face.empty()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            face = metrics.lfMessageFont.lfFaceName;
        else
            face = L"MS Shell Dlg";
    }
    return face;
}

HFONT makeFont(const std::wstring& face, double points, bool bold, int dpi)
{
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

// A caption without its access-key marks, as it is drawn.
std::wstring shownCaption(const std::wstring& caption)
{
    std::wstring out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        out.push_back(caption[i]);
    }
    return out;
}

SIZE textSize(HDC dc, HFONT font, const std::wstring& text)
{
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int keyState(WPARAM keys)
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

}  // namespace

int twipsToPixels(int twips, int dpi)
{
    return MulDiv(twips, dpi, 1440);
}

class W32Window;

// ------------------------------------------------------------------- state

struct Win32Toolkit::State {
    HINSTANCE instance = nullptr;
    int dpi = 96;
    std::wstring face;
    bool oleReady = false;
    std::vector<W32Window*> loaded;
    W32Window* main = nullptr;
    SteadyClock clock;
    std::unique_ptr<MessageBox> boxes;

    void windowGone(W32Window* w);
    bool preTranslate(MSG& msg);
};

// ---------------------------------------------------------------- controls

// What the window's procedure asks of any of its controls.
class Dispatch {
public:
    virtual ~Dispatch() = default;
    virtual void command(int /*code*/) {}
    virtual void drawItem(const DRAWITEMSTRUCT&) {}
    // Colours for a static-like control; null for the defaults.
    virtual HBRUSH colours(HDC) { return nullptr; }
    virtual void created() {}
    virtual void destroying() {}

    const ControlLayout* layout = nullptr;
    HWND hwnd = nullptr;
    int id = 0;
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
    int twips(int pixels) const { return MulDiv(pixels, 1440, state_.dpi); }
    bool oleReady() const { return state_.oleReady; }
    HINSTANCE instance() const { return state_.instance; }
    void runMenu(int id);
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
    void createMenus();
    void createTooltips();
    void chooseFonts();
    RECT placeOf(const ControlLayout& c) const;
    void paintLines(HDC dc);

    Win32Toolkit::State& state_;
    const FormLayout& layout_;
    WindowRole role_;
    HWND hwnd_ = nullptr;
    HWND tooltips_ = nullptr;
    HMENU menuBar_ = nullptr;
    HACCEL accel_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<HFONT> ownFonts_;
    std::vector<std::unique_ptr<Dispatch>> controls_;
    std::vector<std::unique_ptr<MenuItem>> menuItems_;
    std::vector<int> menuIds_;
    std::vector<std::unique_ptr<PopupMenu>> popups_;
    int defaultId_ = 0;
    HWND savedFocus_ = nullptr;
    bool shownOnce_ = false;
};

// --------------------------------------------------------------- check box

class W32CheckBox final : public W32Control<CheckBox> {
public:
    using W32Control::W32Control;
    int value() const override { return value_; }
    void setValue(int value) override
    {
        if (value < kCheckOff || value > kCheckGreyed || value == value_)
            return;
        value_ = value;
        if (hwnd != nullptr)
            SendMessageW(hwnd, BM_SETCHECK,
                         value == kCheckOn ? BST_CHECKED : value == kCheckGreyed ? BST_INDETERMINATE : BST_UNCHECKED,
                         0);
        if (click)
            click();
    }
    HBRUSH colours(HDC dc) override
    {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    // The user's click (mouse or space bar) turns an off box on and an on
    // or greyed one off.
    void command(int code) override
    {
        if (code == BN_CLICKED)
            setValue(value_ == kCheckOff ? kCheckOn : kCheckOff);
    }

private:
    int value_ = kCheckOff;
};

// ----------------------------------------------------------- command button

class W32Button final : public W32Control<CommandButton> {
public:
    using W32Control::W32Control;
    void command(int code) override
    {
        if (code == BN_CLICKED && click)
            click();
    }
    void created() override { SetWindowSubclass(hwnd, &W32Button::subclass, 0, reinterpret_cast<DWORD_PTR>(this)); }
    void destroying() override { RemoveWindowSubclass(hwnd, &W32Button::subclass, 0); }

private:
    static LRESULT CALLBACK subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
    {
        auto* self = reinterpret_cast<W32Button*>(ref);
        switch (msg) {
        case WM_GETDLGCODE:
            // The focused button is the one Enter presses.
            return DLGC_BUTTON | (GetFocus() == h ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const LRESULT r = DefSubclassProc(h, msg, wp, lp);
            self->window_.buttonFocus(msg == WM_SETFOCUS ? h : nullptr);
            return r;
        }
        default:
            return DefSubclassProc(h, msg, wp, lp);
        }
    }
};

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

// ------------------------------------------------------------ dropped data

class DroppedData final : public DragData {
public:
    explicit DroppedData(IDataObject* data) : data_(data) {}
    bool getFormat(int format) const override
    {
        if (data_ == nullptr)
            return false;
        FORMATETC fe{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return data_->QueryGetData(&fe) == S_OK;
    }
    std::vector<std::string> files() const override
    {
        std::vector<std::string> out;
        if (!getFormat(kClipboardFormatFiles))
            return out;
        FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data_->GetData(&fe, &medium) != S_OK)
            return out;
        HDROP drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileA(drop, i, nullptr, 0);
            std::string name(length + 1, '\0');
            DragQueryFileA(drop, i, name.data(), length + 1);
            name.resize(length);
            out.push_back(std::move(name));
        }
        ReleaseStgMedium(&medium);
        return out;
    }

private:
    IDataObject* data_;
};

class W32FileList;

// The OLE drop target of a file list that accepts drops: it hands every
// drag event to the list's handlers and answers with the effect they set.
class DropTarget final : public IDropTarget {
public:
    explicit DropTarget(W32FileList& list) : list_(list) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

private:
    ~DropTarget() { setData(nullptr); }
    void setData(IDataObject* data)
    {
        if (data != nullptr)
            data->AddRef();
        if (data_ != nullptr)
            data_->Release();
        data_ = data;
    }
    DWORD over(DWORD keys, POINTL pt, DragState state, DWORD allowed);

    LONG refs_ = 1;
    W32FileList& list_;
    IDataObject* data_ = nullptr;
    DWORD lastEffect_ = DROPEFFECT_NONE;
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
            target_ = new DropTarget(*this);
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
        else if (code == LBN_DBLCLK && dblClick)
            dblClick();
    }
    W32Window& window() { return window_; }
    IDropTarget* dropTarget() const { return target_; }

private:
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
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    static LRESULT CALLBACK subclass(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
    {
        auto* self = reinterpret_cast<W32FileList*>(ref);
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
            self->mouseDown(button, keyState(wp), self->window_.twips(static_cast<short>(LOWORD(lp))),
                            self->window_.twips(static_cast<short>(HIWORD(lp))));
        return r;
    }

    std::string folder_;
    std::string pattern_;
    std::vector<std::string> names_;
    ItemIndex current_ = kNoItem;
    DropTarget* target_ = nullptr;
};

DWORD DropTarget::over(DWORD keys, POINTL pt, DragState state, DWORD allowed)
{
    int effect = kDropEffectNone;
    if (list_.oleDragOver) {
        DroppedData data(data_);
        POINT p{pt.x, pt.y};
        if (list_.hwnd != nullptr)
            ScreenToClient(list_.hwnd, &p);
        int button = 0;
        if (keys & MK_LBUTTON)
            button |= kLeftButton;
        if (keys & MK_RBUTTON)
            button |= kRightButton;
        if (keys & MK_MBUTTON)
            button |= kMiddleButton;
        int shift = 0;
        if (keys & MK_SHIFT)
            shift |= kShiftMask;
        if (keys & MK_CONTROL)
            shift |= kCtrlMask;
        if (keys & MK_ALT)
            shift |= kAltMask;
        list_.oleDragOver(data, effect, button, shift, list_.window().twips(p.x), list_.window().twips(p.y), state);
    }
    lastEffect_ = effect == kDropEffectCopy && (allowed & DROPEFFECT_COPY) != 0 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return lastEffect_;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect)
{
    setData(data);
    *effect = over(keys, pt, DragState::Enter, *effect);
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect)
{
    *effect = over(keys, pt, DragState::Over, *effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave()
{
    over(0, POINTL{0, 0}, DragState::Leave, DROPEFFECT_NONE);
    setData(nullptr);
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect)
{
    setData(data);
    // The effect the last drag event reported: a drop the handlers refused
    // never reaches them.
    const DWORD accepted = over(keys, pt, DragState::Over, *effect);
    if (accepted != DROPEFFECT_NONE && list_.oleDragDrop) {
        DroppedData dropped(data_);
        int e = kDropEffectCopy;
        POINT p{pt.x, pt.y};
        if (list_.hwnd != nullptr)
            ScreenToClient(list_.hwnd, &p);
        list_.oleDragDrop(dropped, e, kLeftButton, 0, list_.window().twips(p.x), list_.window().twips(p.y));
    }
    *effect = accepted;
    setData(nullptr);
    return S_OK;
}

// ------------------------------------------------------------ progress bar

class W32ProgressBar final : public W32Control<ProgressBar> {
public:
    W32ProgressBar(W32Window& w, const ControlLayout& l)
        : W32Control(w, l), min_(l.rangeMin), max_(l.rangeMax)
    {
    }
    void setMin(ItemIndex v) override
    {
        min_ = v;
        if (max_ < min_)
            max_ = min_;
        value_ = std::clamp(value_, min_, max_);
        apply();
    }
    void setMax(ItemIndex v) override
    {
        max_ = v;
        if (min_ > max_)
            min_ = max_;
        value_ = std::clamp(value_, min_, max_);
        apply();
    }
    void setValue(ItemIndex v) override
    {
        value_ = std::clamp(v, min_, max_);
        apply();
    }
    ItemIndex min() const override { return min_; }
    ItemIndex max() const override { return max_; }
    ItemIndex value() const override { return value_; }
    int pixelWidth() const override
    {
        RECT r{};
        if (hwnd != nullptr && GetClientRect(hwnd, &r))
            return r.right - r.left;
        return window_.px(layout->width);
    }
    void paintNow() override
    {
        if (hwnd != nullptr)
            UpdateWindow(hwnd);
    }
    void created() override { apply(); }

private:
    // The control counts in int; a longer range is shown in proportion.
    static constexpr ItemIndex kNativeSpan = 1'000'000;
    void apply()
    {
        if (hwnd == nullptr)
            return;
        const ItemIndex span = max_ - min_;
        int nativeMax = 0, nativePos = 0;
        if (span <= kNativeSpan) {
            nativeMax = static_cast<int>(span);
            nativePos = static_cast<int>(value_ - min_);
        } else {
            nativeMax = static_cast<int>(kNativeSpan);
            nativePos = static_cast<int>(static_cast<long double>(value_ - min_) / span * kNativeSpan);
        }
        SendMessageW(hwnd, PBM_SETRANGE32, 0, nativeMax);
        SendMessageW(hwnd, PBM_SETPOS, static_cast<WPARAM>(nativePos), 0);
    }

    ItemIndex min_, max_, value_ = 0;
};

// -------------------------------------------------------------- status bar

class W32StatusBar final : public W32Control<StatusBar> {
public:
    W32StatusBar(W32Window& w, const ControlLayout& l) : W32Control(w, l), texts_(std::max<std::size_t>(l.panels.size(), 1))
    {
    }
    int panelCount() const override { return static_cast<int>(texts_.size()); }
    std::string panelText(int n) const override
    {
        return n >= 1 && n <= panelCount() ? texts_[static_cast<std::size_t>(n - 1)] : std::string();
    }
    void setPanelText(int n, const std::string& text) override
    {
        if (n < 1 || n > panelCount())
            return;
        texts_[static_cast<std::size_t>(n - 1)] = text;
        if (hwnd != nullptr)
            SendMessageW(hwnd, SB_SETTEXTW, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(widen(text).c_str()));
    }
    void paintNow(int) override
    {
        if (hwnd != nullptr)
            UpdateWindow(hwnd);
    }
    void created() override
    {
        // Each panel's right edge; the last takes the rest of the bar.
        std::vector<int> edges;
        int right = 0;
        for (std::size_t i = 0; i < layout->panels.size(); ++i) {
            right += window_.px(layout->panels[i].width);
            edges.push_back(i + 1 == layout->panels.size() ? -1 : right);
        }
        if (edges.empty())
            edges.push_back(-1);
        SendMessageW(hwnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        for (int n = 1; n <= panelCount(); ++n)
            setPanelText(n, panelText(n));
    }

private:
    std::vector<std::string> texts_;
};

// ------------------------------------------------- text box, label, frame

class W32TextBox final : public W32Control<TextBox> {
public:
    W32TextBox(W32Window& w, const ControlLayout& l) : W32Control(w, l), text_(l.caption) {}
    std::string text() const override
    {
        if (hwnd == nullptr)
            return text_;
        const int n = GetWindowTextLengthW(hwnd);
        std::wstring buffer(static_cast<std::size_t>(n) + 1, L'\0');
        GetWindowTextW(hwnd, buffer.data(), n + 1);
        buffer.resize(static_cast<std::size_t>(n));
        return narrow(buffer);
    }
    void setText(const std::string& text) override
    {
        text_ = text;
        if (hwnd != nullptr)
            SetWindowTextW(hwnd, widen(text).c_str());
    }
    // The description's background is the system colour Active Border.
    HBRUSH colours(HDC dc) override
    {
        SetBkColor(dc, GetSysColor(COLOR_ACTIVEBORDER));
        return GetSysColorBrush(COLOR_ACTIVEBORDER);
    }

private:
    std::string text_;
};

class W32Label final : public W32Control<Label> {
public:
    using W32Control::W32Control;
    std::string caption() const override { return std::string(layout->caption); }
    HBRUSH colours(HDC dc) override
    {
        if (layout->colour == SystemColour::Highlight)
            SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetBkMode(dc, TRANSPARENT);
        return GetSysColorBrush(COLOR_BTNFACE);
    }
};

// Pictures drawn from the program's resources; without them (a test
// program) they stay empty.
class W32Picture final : public Dispatch {
public:
    W32Picture(W32Window& w, const ControlLayout& l) : window_(w) { layout = &l; }
    void drawItem(const DRAWITEMSTRUCT& d) override
    {
        const RECT& r = d.rcItem;
        FillRect(d.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
        const int width = r.right - r.left, height = r.bottom - r.top;
        switch (layout->picture) {
        case Picture::AboutIcon: {
            // Stretched to the control's size.
            HICON icon = static_cast<HICON>(
                LoadImageW(window_.instance(), MAKEINTRESOURCEW(kAboutIconId), IMAGE_ICON, 32, 32, 0));
            if (icon != nullptr) {
                DrawIconEx(d.hDC, r.left, r.top, icon, width, height, 0, nullptr, DI_NORMAL);
                DestroyIcon(icon);
            }
            break;
        }
        case Picture::Arrow:
        case Picture::Banner: {
            const int id = layout->picture == Picture::Arrow ? kArrowBitmapId : kBannerBitmapId;
            HBITMAP bitmap =
                static_cast<HBITMAP>(LoadImageW(window_.instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
            if (bitmap == nullptr)
                break;
            BITMAP info{};
            GetObjectW(bitmap, sizeof info, &info);
            HDC source = CreateCompatibleDC(d.hDC);
            HGDIOBJ old = SelectObject(source, bitmap);
            // The arrow fills its box; the banner keeps its own size.
            if (layout->picture == Picture::Arrow)
                StretchBlt(d.hDC, r.left, r.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
            else
                BitBlt(d.hDC, r.left, r.top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
            DeleteObject(bitmap);
            break;
        }
        case Picture::None:
            break;
        }
    }

private:
    W32Window& window_;
};

// ------------------------------------------------------------------- menus

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

// ------------------------------------------------------------------ window

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
    for (HFONT f : ownFonts_)
        DeleteObject(f);
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

Dispatch* W32Window::byId(int id)
{
    const int i = id - kFirstControlId;
    return i >= 0 && static_cast<std::size_t>(i) < controls_.size() ? controls_[static_cast<std::size_t>(i)].get()
                                                                     : nullptr;
}

RECT W32Window::placeOf(const ControlLayout& c) const
{
    int left = c.left, top = c.top;
    if (!c.container.empty())
        if (const ControlLayout* frame = findControl(layout_, c.container)) {
            left += frame->left;
            top += frame->top;
        }
    return RECT{px(left), px(top), px(left + c.width), px(top + c.height)};
}

void W32Window::chooseFonts()
{
    // The largest size up to the layout's own at which every caption that
    // cannot grow fits its control.
    HDC dc = GetDC(hwnd_);
    const int checkWidth = GetSystemMetrics(SM_CXMENUCHECK) + 6;
    for (double points = kLayoutFontPoints; points >= kSmallestFontPoints; points -= kFontStepPoints) {
        HFONT font = makeFont(state_.face, points, false, state_.dpi);
        bool fits = true;
        for (const ControlLayout& c : layout_.controls) {
            if (c.caption.empty() || c.font.points != 0)
                continue;
            int room = 0;
            if (c.kind == ControlKind::CheckBox)
                room = px(c.width) - checkWidth;
            else if (c.kind == ControlKind::CommandButton)
                room = px(c.width) - 8;
            else
                continue;
            if (textSize(dc, font, shownCaption(widen(std::string(c.caption)))).cx > room)
                fits = false;
        }
        if (fits || points - kFontStepPoints < kSmallestFontPoints) {
            font_ = font;
            break;
        }
        DeleteObject(font);
    }
    ReleaseDC(hwnd_, dc);
    ownFonts_.push_back(font_);
}

void W32Window::createControls()
{
    // Creation order is the focus order: the dialog manager walks the
    // controls in the order they were made.
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& c : layout_.controls)
        order.push_back(&c);
    std::stable_sort(order.begin(), order.end(), [](const ControlLayout* a, const ControlLayout* b) {
        const int ta = a->tab < 0 ? 1 << 30 : a->tab, tb = b->tab < 0 ? 1 << 30 : b->tab;
        return ta < tb;
    });

    HDC dc = GetDC(hwnd_);
    for (const ControlLayout* cl : order) {
        const ControlLayout& c = *cl;
        std::unique_ptr<Dispatch> control;
        const wchar_t* cls = nullptr;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (c.hidden ? 0 : WS_VISIBLE);
        DWORD exStyle = 0;
        std::wstring text = widen(std::string(c.caption));
        switch (c.kind) {
        case ControlKind::CommandButton:
            control = std::make_unique<W32Button>(*this, c);
            cls = L"BUTTON";
            style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::CheckBox:
            control = std::make_unique<W32CheckBox>(*this, c);
            cls = L"BUTTON";
            style |= WS_TABSTOP | BS_3STATE;
            break;
        case ControlKind::StatusBar:
            control = std::make_unique<W32StatusBar>(*this, c);
            cls = STATUSCLASSNAMEW;
            style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
            text.clear();
            break;
        case ControlKind::ProgressBar:
            control = std::make_unique<W32ProgressBar>(*this, c);
            cls = PROGRESS_CLASSW;
            style |= PBS_SMOOTH;
            break;
        case ControlKind::DriveList:
            control = std::make_unique<W32DriveList>(*this, c);
            cls = L"COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            break;
        case ControlKind::FileList:
            control = std::make_unique<W32FileList>(*this, c);
            cls = L"LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::DirList:
            control = std::make_unique<W32DirList>(*this, c);
            cls = L"LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Frame:
            control = std::make_unique<W32Label>(*this, c);
            cls = L"BUTTON";
            style |= BS_GROUPBOX;
            break;
        case ControlKind::Label:
            control = std::make_unique<W32Label>(*this, c);
            cls = L"STATIC";
            style |= SS_NOPREFIX | SS_NOTIFY | (c.centred ? SS_CENTER : SS_LEFT);
            break;
        case ControlKind::Picture:
            control = std::make_unique<W32Picture>(*this, c);
            cls = L"STATIC";
            style |= SS_OWNERDRAW | SS_NOTIFY;
            text.clear();
            break;
        case ControlKind::TextBox:
            control = std::make_unique<W32TextBox>(*this, c);
            cls = L"EDIT";
            style |= WS_TABSTOP | ES_MULTILINE | ES_READONLY;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::Line:
            // Drawn by the window itself (paintLines).
            control = std::make_unique<Dispatch>();
            control->layout = &c;
            break;
        }
        control->id = kFirstControlId + static_cast<int>(controls_.size());
        if (cls != nullptr) {
            HFONT font = font_;
            if (c.font.points != 0) {
                font = makeFont(L"Tahoma", c.font.points, c.font.bold, state_.dpi);
                ownFonts_.push_back(font);
            }
            RECT r = placeOf(c);
            if (c.autoSize && !text.empty()) {
                // A label sized to its text grows when its font needs more
                // room: to the right, or about its centre.
                const SIZE need = textSize(dc, font, text);
                const int width = r.right - r.left;
                if (need.cx > width) {
                    const int grow = need.cx - width;
                    if (c.centred)
                        r.left -= grow / 2;
                    r.right = r.left + need.cx;
                }
                if (need.cy > r.bottom - r.top)
                    r.bottom = r.top + need.cy;
            }
            int height = r.bottom - r.top;
            if (c.kind == ControlKind::DriveList)
                height += kDriveDropDownPixels;
            control->hwnd = CreateWindowExW(exStyle, cls, text.c_str(), style, r.left, r.top, r.right - r.left,
                                            height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control->id)),
                                            state_.instance, nullptr);
            if (control->hwnd == nullptr)
                throw std::runtime_error("cannot create control " + std::string(c.name));
            SendMessageW(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            if (c.isDefault)
                defaultId_ = control->id;
            control->created();
        }
        controls_.push_back(std::move(control));
    }
    ReleaseDC(hwnd_, dc);

    // Frames lie under everything; the progress bar lies over the status bar.
    for (auto& c : controls_) {
        if (c->hwnd == nullptr)
            continue;
        if (c->layout->kind == ControlKind::Frame)
            SetWindowPos(c->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        else if (c->layout->kind == ControlKind::ProgressBar)
            SetWindowPos(c->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void W32Window::createMenus()
{
    std::vector<ACCEL> keys;
    for (const MenuLayout& m : layout_.menus) {
        HMENU menu = CreatePopupMenu();
        for (const MenuItemLayout& item : m.items) {
            const int id = kFirstMenuId + static_cast<int>(menuItems_.size());
            std::string caption(item.caption);
            if (!item.shortcut.empty())
                caption += "\t" + std::string(item.shortcut);
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
    if (unloaded)
        unloaded();
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

// ------------------------------------------------------------ message box

class W32MessageBox final : public MessageBox {
public:
    explicit W32MessageBox(Win32Toolkit::State& state) : state_(state) {}
    void report(const std::string& text) override
    {
        MessageBoxA(owner(), text.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
    }
    Answer ask(const std::string& text) override
    {
        return MessageBoxA(owner(), text.c_str(), kApplicationTitle, MB_YESNO | MB_ICONQUESTION) == IDYES ? Answer::Yes
                                                                                                          : Answer::No;
    }

private:
    HWND owner() const { return state_.main != nullptr ? state_.main->hwnd() : nullptr; }
    Win32Toolkit::State& state_;
};

// ----------------------------------------------------------------- toolkit

void Win32Toolkit::State::windowGone(W32Window* w)
{
    loaded.erase(std::remove(loaded.begin(), loaded.end(), w), loaded.end());
    if (main == w)
        main = nullptr;
    if (loaded.empty())
        PostQuitMessage(0);
}

bool Win32Toolkit::State::preTranslate(MSG& msg)
{
    if (msg.hwnd == nullptr)
        return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    for (W32Window* w : loaded) {
        if (w->hwnd() != root)
            continue;
        if (w->accelerators() != nullptr && TranslateAcceleratorW(root, w->accelerators(), &msg))
            return true;
        // Tab, Enter, Escape and the access keys, as in a dialog.
        return IsDialogMessageW(root, &msg) != FALSE;
    }
    return false;
}

Win32Toolkit::Win32Toolkit() : state_(std::make_unique<State>())
{
    state_->instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    state_->oleReady = SUCCEEDED(OleInitialize(nullptr));
    HDC dc = GetDC(nullptr);
    state_->dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    if (state_->dpi <= 0)
        state_->dpi = 96;
    state_->face = chooseFace();
    state_->boxes = std::make_unique<W32MessageBox>(*state_);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &W32Window::proc;
    wc.hInstance = state_->instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormClass;
    wc.hIcon = static_cast<HICON>(LoadImageW(state_->instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageW(state_->instance, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    RegisterClassExW(&wc);
}

Win32Toolkit::~Win32Toolkit()
{
    UnregisterClassW(kFormClass, state_->instance);
    if (state_->oleReady)
        OleUninitialize();
}

std::unique_ptr<Window> Win32Toolkit::buildWindow(const FormLayout& layout, WindowRole role)
{
    return std::make_unique<W32Window>(*state_, layout, role);
}

MessageBox& Win32Toolkit::messageBox()
{
    return *state_->boxes;
}

Clock& Win32Toolkit::clock()
{
    return state_->clock;
}

int Win32Toolkit::run()
{
    MSG msg;
    while (!state_->loaded.empty()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (!state_->preTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}

void Win32Toolkit::pumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        if (!state_->preTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

const std::wstring& Win32Toolkit::uiFontFace() const
{
    return state_->face;
}

}  // namespace rastrex::win32
