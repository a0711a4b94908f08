// The progress window of rastrex-convert and the VerbUi it stands for. The
// run's thread sends each call to the window (SendMessage) and waits while
// the window's thread handles it; 中止 sets a flag the workers read.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <sstream>
#include <thread>

#include "long_path.h"
#include "verb_texts.h"
#include "verb_ui.h"
#include "verb_window.h"
#include "win32_fonts.h"
#include "win32_window.h"

namespace rastrex::verb::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"RastrexConvertProgress";
// What the run's thread sends the window.
enum : UINT { kShowProgress = WM_APP + 1, kAsk, kTell, kShowSummary, kRunOver };
// The button: 中止 while converting (Escape too), OK once the summary shows
// (Enter or Escape).
constexpr int kButtonId = IDCANCEL;

std::wstring wide(const std::string& text) { return wideText(text, CP_UTF8); }

// Line ends as the edit box wants them.
std::wstring withCarriageReturns(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n')
            out += L'\r';
        out += c;
    }
    return out;
}

class ProgressWindow final : public VerbUi {
public:
    explicit ProgressWindow(Dialogs& dialogs) : dialogs_(dialogs) {}
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    ~ProgressWindow() override
    {
        if (font_ != nullptr)
            DeleteObject(font_);
    }

    bool create();
    HWND hwnd() const { return hwnd_; }
    // From the run's thread once runVerb() has returned.
    void runOver() { PostMessageW(hwnd_, kRunOver, 0, 0); }

    // VerbUi, on the run's thread.
    void showProgress(const Progress& progress) override
    {
        SendMessageW(hwnd_, kShowProgress, 0, reinterpret_cast<LPARAM>(&progress));
    }
    bool cancelRequested() override { return cancel_.load(); }
    bool askOverwrite(std::size_t existing) override { return SendMessageW(hwnd_, kAsk, existing, 0) != 0; }
    void showSummary(const Summary& summary) override
    {
        SendMessageW(hwnd_, kShowSummary, 0, reinterpret_cast<LPARAM>(&summary));
    }
    void tell(const std::string& text) override { SendMessageW(hwnd_, kTell, 0, reinterpret_cast<LPARAM>(&text)); }

private:
    static LRESULT CALLBACK procedure(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    HWND child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id);
    int px(int at96) const { return MulDiv(at96, dpi_, 96); }
    void layout();
    void show();
    void progress(const Progress& p);
    void summary(const Summary& s);
    // The user's wish to stop: after the files in hand while converting,
    // the window closed once the summary shows.
    void stopOrClose();

    Dialogs& dialogs_;
    std::atomic<bool> cancel_{false};
    HWND hwnd_ = nullptr;
    HWND file_ = nullptr;   // the file in hand
    HWND count_ = nullptr;  // done of total
    HWND bar_ = nullptr;
    HWND text_ = nullptr;   // the summary
    HWND button_ = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    bool shown_ = false;
    bool summaryShown_ = false;
    bool closeAfterRun_ = false;
};

HWND ProgressWindow::child(const wchar_t* windowClass, const wchar_t* text, DWORD style, int id)
{
    HWND h = CreateWindowExW(0, windowClass, text, WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return h;
}

bool ProgressWindow::create()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &ProgressWindow::procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    const HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    font_ = rastrex::win32::makeFont(rastrex::win32::chooseFace(), 9, false, dpi_);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
    RECT frame{0, 0, px(480), px(132)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, wide(kWindowTitle).c_str(), style,
                            work.left + (work.right - work.left - width) / 2,
                            work.top + (work.bottom - work.top - height) / 2, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr)
        return false;
    file_ = child(L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0);
    count_ = child(L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0);
    bar_ = child(PROGRESS_CLASSW, L"", WS_VISIBLE, 0);
    text_ = child(L"EDIT", L"", WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0);
    button_ = child(L"BUTTON", wide(kCancelLabel).c_str(), WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonId);
    // Names for screen readers: the texts and the button read themselves.
    rastrex::win32::annotateName(bar_, "進行状況");
    rastrex::win32::annotateName(text_, "結果");
    layout();
    return true;
}

void ProgressWindow::layout()
{
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int margin = px(12), line = px(18), buttonWidth = px(88), buttonHeight = px(26);
    const int width = std::max(static_cast<int>(client.right) - 2 * margin, px(40));
    const int buttonTop = static_cast<int>(client.bottom) - margin - buttonHeight;
    MoveWindow(file_, margin, margin, width, line, TRUE);
    MoveWindow(count_, margin, margin + line + px(2), width, line, TRUE);
    MoveWindow(bar_, margin, margin + 2 * line + px(8), width, px(18), TRUE);
    MoveWindow(text_, margin, margin, width, std::max(buttonTop - 2 * margin, line), TRUE);
    MoveWindow(button_, client.right - margin - buttonWidth, buttonTop, buttonWidth, buttonHeight, TRUE);
}

void ProgressWindow::show()
{
    if (shown_)
        return;
    shown_ = true;
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    SetFocus(button_);
}

void ProgressWindow::progress(const Progress& p)
{
    const std::string text = progressText(p);
    const std::size_t split = text.rfind('\n');
    SetWindowTextW(file_, wide(text.substr(0, split)).c_str());
    SetWindowTextW(count_, wide(split == std::string::npos ? std::string() : text.substr(split + 1)).c_str());
    const auto clamp = [](std::size_t n) { return static_cast<LPARAM>(std::min<std::size_t>(n, 0x7fffffff)); };
    SendMessageW(bar_, PBM_SETRANGE32, 0, clamp(p.total));
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(clamp(p.done)), 0);
    show();
    // Painted now: the run's calls come one after another, and a window
    // painted only when its thread is idle would show a file long done.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ProgressWindow::summary(const Summary& s)
{
    summaryShown_ = true;
    const std::wstring text = wide(s.text);
    closeAfterRun_ = dialogs_.summaryShown(text);
    ShowWindow(file_, SW_HIDE);
    ShowWindow(count_, SW_HIDE);
    ShowWindow(bar_, SW_HIDE);
    SetWindowTextW(text_, withCarriageReturns(text).c_str());
    ShowWindow(text_, SW_SHOW);
    SetWindowTextW(button_, L"OK");
    EnableWindow(button_, TRUE);
    SendMessageW(button_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    // Room for the summary's lines.
    RECT frame{};
    GetWindowRect(hwnd_, &frame);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + px(80), frame.bottom - frame.top + px(200),
                 SWP_NOMOVE | SWP_NOZORDER);
    show();
    SetFocus(button_);
}

void ProgressWindow::stopOrClose()
{
    if (summaryShown_) {
        DestroyWindow(hwnd_);
        return;
    }
    cancel_ = true;
    EnableWindow(button_, FALSE);
}

LRESULT CALLBACK ProgressWindow::procedure(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<ProgressWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    return self != nullptr ? self->handle(msg, wp, lp) : DefWindowProcW(h, msg, wp, lp);
}

LRESULT ProgressWindow::handle(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case kShowProgress:
        progress(*reinterpret_cast<const Progress*>(lp));
        return 0;
    case kAsk:
        return dialogs_.ask(shown_ ? hwnd_ : nullptr, wide(overwriteQuestion(static_cast<std::size_t>(wp)))) ? 1 : 0;
    case kTell:
        dialogs_.tell(shown_ ? hwnd_ : nullptr, wide(*reinterpret_cast<const std::string*>(lp)));
        return 0;
    case kShowSummary:
        summary(*reinterpret_cast<const Summary*>(lp));
        return 0;
    case kRunOver:
        // Without a summary to read (a text was told instead), or with a
        // script in the user's place, the window goes with the run.
        if (!summaryShown_ || closeAfterRun_)
            DestroyWindow(hwnd_);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK)
            stopOrClose();
        return 0;
    case WM_CLOSE:
        stopOrClose();
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }
}

}  // namespace

int runInWindow(const std::vector<std::string>& args, const std::string& list, Dialogs& dialogs)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ProgressWindow window(dialogs);
    if (!window.create())
        return static_cast<int>(VerbStatus::Failure);
    std::istringstream in(list);
    VerbStatus status = VerbStatus::Failure;
    std::thread run([&] {
        try {
            status = runVerb(args, &in, window);
        } catch (const std::exception&) {
            status = VerbStatus::Failure;
        }
        window.runOver();
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window.hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    run.join();
    return static_cast<int>(status);
}

}  // namespace rastrex::verb::win32
