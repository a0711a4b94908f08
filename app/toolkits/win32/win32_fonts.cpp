#include "win32_fonts.h"

#include <cmath>

#include "win32_window.h"

namespace rastrex::win32 {

namespace {

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

}  // namespace

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

SIZE textSize(HDC dc, HFONT font, const std::wstring& text)
{
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

namespace {

// Whether `edit`, in the font it has, shows its text down to the last
// character that is not a line end inside its formatting rectangle.
bool showsWholeText(HWND edit, HFONT font)
{
    const int length = GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    std::size_t last = text.find_last_not_of(L"\r\n");
    if (last == std::wstring::npos)
        return true;
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const LRESULT at = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(last), 0);
    if (at == -1)
        return false;
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    const int top = static_cast<short>(HIWORD(at));
    return top + metrics.tmHeight <= format.bottom;
}

}  // namespace

FittedFont fitTextBox(HWND edit, const std::wstring& face, int dpi)
{
    HFONT font = nullptr;
    for (double points = kLayoutFontPoints; points >= kSmallestFontPoints; points -= kFontStepPoints) {
        HFONT smaller = makeFont(face, points, false, dpi);
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(smaller), FALSE);
        if (font != nullptr)
            DeleteObject(font);
        font = smaller;
        if (showsWholeText(edit, font))
            return {font, true};
    }
    return {font, false};
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
}

}  // namespace rastrex::win32
