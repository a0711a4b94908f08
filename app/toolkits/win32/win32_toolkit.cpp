// The toolkit: the window class, common controls and OLE of the thread,
// and the message loop with the dialog keys and the menus' shortcuts.
#include "win32_toolkit.h"

#include <ole2.h>

#include <algorithm>

#include "resource_ids.h"
#include "win32_fonts.h"
#include "win32_message_boxes.h"
#include "win32_window.h"

namespace rastrex::win32 {

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

bool Win32Toolkit::State::batchLetsThrough(const MSG& msg, BatchRequest& request)
{
    const UINT m = msg.message;
    if (m == WM_KEYDOWN && msg.wParam == VK_ESCAPE && request == BatchRequest::Continue)
        request = BatchRequest::Stop;
    if (m == WM_NCLBUTTONDOWN)
        return msg.wParam == HTCAPTION || msg.wParam == HTMINBUTTON || msg.wParam == HTCLOSE;
    return m == WM_NCMOUSEMOVE;
}

namespace {

bool isInput(UINT m)
{
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
           (m >= WM_NCMOUSEMOVE && m <= WM_NCXBUTTONDBLCLK) || m == WM_NCMOUSEHOVER || m == WM_NCMOUSELEAVE ||
           m == WM_MOUSEHOVER || m == WM_MOUSELEAVE || m == WM_INPUT || m == WM_TOUCH;
}

// Messages one look of a batch reads beyond the input, so that a window
// that keeps asking to be painted cannot hold the batch.
constexpr int kMostMessagesPerLook = 10000;

}  // namespace

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
    state_->boxes = makeMessageBoxes(*state_);

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

MessageBoxes& Win32Toolkit::messageBox()
{
    return *state_->boxes;
}

Clock& Win32Toolkit::clock()
{
    return *state_->clock;
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

BatchRequest Win32Toolkit::betweenFiles()
{
    State& s = *state_;
    BatchRequest request = BatchRequest::Continue;
    s.inBatch = true;
    s.closeAsked = false;
    MSG msg;
    auto take = [&] {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the event loop
            return false;
        }
        // Input is never translated: no shortcut, dialog key or menu.
        if (!isInput(msg.message) || State::batchLetsThrough(msg, request))
            DispatchMessageW(&msg);
        return true;
    };
    // The input first, all of it, so that none is left for the event loop;
    // each look answers the messages other threads and programs send.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT))
        if (!take())
            break;
    // Paints, timers and posted messages no more often than the progress
    // is painted.
    if (s.batchPaints.due(s.clock->now())) {
        for (int n = 0; n < kMostMessagesPerLook && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n)
            if (!take())
                break;
    }
    s.inBatch = false;
    return s.closeAsked ? BatchRequest::Close : request;
}

void Win32Toolkit::setClock(Clock* clock)
{
    state_->clock = clock != nullptr ? clock : &state_->steady;
    state_->batchPaints.reset();  // a time of the other clock means nothing to this one
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

}  // namespace rastrex::win32
