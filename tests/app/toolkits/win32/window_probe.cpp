// window_probe TITLE [SECONDS]: waits until a visible top-level window of
// this Wine session carries TITLE, then prints its place and size on the
// screen ("left top width height") and exits 0; exits 1 when none appears
// within SECONDS (default 60). For the end-to-end test, which drives the
// program from outside.
//
// window_probe --work-area: prints the work area of the primary screen (the
// screen less its task bars) as "left top width height".
//
// window_probe --state TITLE: asks the window TITLE whether it answers
// (SendMessageTimeout of WM_NULL, giving up at once on a window the system
// takes for hung, else after a second), then prints what it shows, one
// "key value" line each: answered (1 or 0), bar (the progress bar
// visible), panel1 and panel2 (the status panels, UTF-8), file1, selected1,
// file2 (items in the source list, selected there, items in the bitmap
// list). Exits 1 when there is no such window.
//
// window_probe --point TITLE dir|file1|file2|quit: prints a point on the
// screen ("x y") inside the first row of the directory list or of a file
// list, or inside the quit button, for clicks from outside.
//
// window_probe --ui-font FACE: makes FACE the font of the menus, captions,
// message boxes and status bars of this Wine prefix, as a Japanese Windows
// has a Japanese one; Wine's own lacks Japanese glyphs.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The list boxes of `main` from left to right: directory, sources, bitmaps.
std::vector<HWND> listsLeftToRight(HWND main)
{
    std::vector<HWND> lists;
    for (HWND c = FindWindowExW(main, nullptr, L"LISTBOX", nullptr); c != nullptr;
         c = FindWindowExW(main, c, L"LISTBOX", nullptr))
        lists.push_back(c);
    auto left = [](HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r.left;
    };
    std::sort(lists.begin(), lists.end(), [&](HWND a, HWND b) { return left(a) < left(b); });
    return lists;
}

std::string utf8(const std::wstring& text)
{
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// Status panel `index` (from 0) of another process's status bar, read
// through a buffer in that process.
std::wstring panelText(HWND bar, int index)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(bar, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr)
        return L"?";
    constexpr SIZE_T kChars = 512;
    void* remote = VirtualAllocEx(process, nullptr, kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
    std::wstring text = L"?";
    if (remote != nullptr) {
        const LRESULT got = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
        if (LOWORD(got) < kChars) {
            SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote));
            std::vector<wchar_t> local(kChars, L'\0');
            SIZE_T read = 0;
            if (ReadProcessMemory(process, remote, local.data(), kChars * sizeof(wchar_t), &read))
                text.assign(local.data(), std::min<std::size_t>(LOWORD(got), kChars - 1));
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

int state(HWND main)
{
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    HWND bar = FindWindowExW(main, nullptr, PROGRESS_CLASSW, nullptr);
    HWND status = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    const std::vector<HWND> lists = listsLeftToRight(main);
    std::printf("answered %d\n", answered ? 1 : 0);
    std::printf("bar %d\n", bar != nullptr && IsWindowVisible(bar) ? 1 : 0);
    std::printf("panel1 %s\n", status != nullptr ? utf8(panelText(status, 0)).c_str() : "?");
    std::printf("panel2 %s\n", status != nullptr ? utf8(panelText(status, 1)).c_str() : "?");
    if (lists.size() == 3) {
        std::printf("file1 %ld\n", static_cast<long>(SendMessageW(lists[1], LB_GETCOUNT, 0, 0)));
        std::printf("selected1 %ld\n", static_cast<long>(SendMessageW(lists[1], LB_GETSELCOUNT, 0, 0)));
        std::printf("file2 %ld\n", static_cast<long>(SendMessageW(lists[2], LB_GETCOUNT, 0, 0)));
    }
    return 0;
}

int point(HWND main, const wchar_t* which)
{
    HWND target = nullptr;
    const std::vector<HWND> lists = listsLeftToRight(main);
    const wchar_t* names[] = {L"dir", L"file1", L"file2"};
    for (std::size_t i = 0; i < 3 && i < lists.size(); ++i)
        if (std::wcscmp(which, names[i]) == 0)
            target = lists[i];
    if (std::wcscmp(which, L"quit") == 0)
        target = FindWindowExW(main, nullptr, L"BUTTON", L"終 了(&Q)");
    if (target == nullptr)
        return 1;
    RECT r{};
    GetWindowRect(target, &r);
    // A list's first row; the middle of a button.
    const LONG y = std::wcscmp(which, L"quit") == 0 ? (r.top + r.bottom) / 2 : r.top + 6;
    std::printf("%ld %ld\n", (r.left + r.right) / 2, y);
    return 0;
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        std::fputs("usage: window_probe TITLE [SECONDS]\n", stderr);
        return 2;
    }
    if (std::wcscmp(argv[1], L"--work-area") == 0) {
        RECT r{};
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
            return 1;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (std::wcscmp(argv[1], L"--ui-font") == 0 && argc > 2) {
        NONCLIENTMETRICSW m{};
        m.cbSize = sizeof m;
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0))
            return 1;
        for (LOGFONTW* f : {&m.lfCaptionFont, &m.lfSmCaptionFont, &m.lfMenuFont, &m.lfStatusFont, &m.lfMessageFont}) {
            lstrcpynW(f->lfFaceName, argv[2], LF_FACESIZE);
            f->lfCharSet = DEFAULT_CHARSET;
        }
        return SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof m, &m, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) ? 0 : 1;
    }
    if ((std::wcscmp(argv[1], L"--state") == 0 || std::wcscmp(argv[1], L"--point") == 0) && argc > 2) {
        HWND w = FindWindowW(nullptr, argv[2]);
        if (w == nullptr)
            return 1;
        return argv[1][2] == L's' ? state(w) : (argc > 3 ? point(w, argv[3]) : 2);
    }
    const double seconds = argc > 2 ? std::wcstod(argv[2], nullptr) : 60.0;
    constexpr DWORD kPollMs = 100;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    do {
        HWND w = FindWindowW(nullptr, argv[1]);
        if (w != nullptr && IsWindowVisible(w)) {
            RECT r{};
            GetWindowRect(w, &r);
            std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            return 0;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    return 1;
}
