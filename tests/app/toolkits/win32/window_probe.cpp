// window_probe TITLE [SECONDS]: waits until a visible top-level window of
// this Wine session carries TITLE, then prints its place and size on the
// screen ("left top width height") and exits 0; exits 1 when none appears
// within SECONDS (default 60). For the end-to-end test, which drives the
// program from outside.
//
// window_probe --work-area: prints the work area of the primary screen (the
// screen less its task bars) as "left top width height".
//
// window_probe --ui-font FACE: makes FACE the font of the menus, captions,
// message boxes and status bars of this Wine prefix, as a Japanese Windows
// has a Japanese one; Wine's own lacks Japanese glyphs.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <initializer_list>

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
