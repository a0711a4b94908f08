// The window's fonts: a face with Japanese glyphs, sized so that every
// caption fits. Private to the toolkit.
#pragma once

#include <windows.h>

#include <string>

namespace rastrex::win32 {

// The first face of the Japanese families this machine has; the system's
// message font without one.
std::wstring chooseFace();

// The font of `face` at `points` for a screen of `dpi` dots per inch.
HFONT makeFont(const std::wstring& face, double points, bool bold, int dpi);

// The size of `text` on one line in `font`.
SIZE textSize(HDC dc, HFONT font, const std::wstring& text);

// The font that the multi-line box `edit` was given: the largest size of
// `face`, from the layout's own down to the smallest readable one, at which
// the box shows its whole text without scrolling; the smallest when none
// does (fits false). The caller deletes the font.
struct FittedFont {
    HFONT font;
    bool fits;
};
FittedFont fitTextBox(HWND edit, const std::wstring& face, int dpi);

}  // namespace rastrex::win32
