// The read-only text box, labels and frames.
#include <string>

#include "win32_controls.h"
#include "win32_fonts.h"

namespace rastrex::win32 {

namespace {

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
    // The whole text shows at its laid-out size, through the size of its
    // font; a scroll bar only where no readable size is small enough.
    void created() override
    {
        const FittedFont fitted = fitTextBox(hwnd, window_.face(), window_.dpi());
        ownFont = fitted.font;
        if (!fitted.fits) {
            DestroyWindow(hwnd);
            window_.createNative(*this, WS_VSCROLL);
        }
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

}  // namespace

std::unique_ptr<Dispatch> makeTextBox(W32Window& window, const ControlLayout& layout)
{
    // Enter in the box stays in the box: it does not press the window's
    // default button.
    auto box = std::make_unique<W32TextBox>(window, layout);
    box->native = {L"EDIT", WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_WANTRETURN, WS_EX_CLIENTEDGE};
    return box;
}

std::unique_ptr<Dispatch> makeLabel(W32Window& window, const ControlLayout& layout)
{
    auto label = std::make_unique<W32Label>(window, layout);
    label->native = {L"STATIC", static_cast<DWORD>(SS_NOPREFIX | SS_NOTIFY | (layout.centred ? SS_CENTER : SS_LEFT))};
    if (layout.font.points != 0)
        label->ownFont = makeFont(L"Tahoma", layout.font.points, layout.font.bold, window.dpi());
    return label;
}

std::unique_ptr<Dispatch> makeFrame(W32Window& window, const ControlLayout& layout)
{
    auto frame = std::make_unique<W32Label>(window, layout);
    frame->native = {L"BUTTON", BS_GROUPBOX};
    return frame;
}

}  // namespace rastrex::win32
