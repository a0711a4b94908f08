// Command buttons and three-state check boxes.
#include "win32_controls.h"

namespace rastrex::win32 {

namespace {

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

}  // namespace

std::unique_ptr<Dispatch> makeCommandButton(W32Window& window, const ControlLayout& layout)
{
    auto button = std::make_unique<W32Button>(window, layout);
    button->native = {L"BUTTON", static_cast<DWORD>(WS_TABSTOP | (layout.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))};
    return button;
}

std::unique_ptr<Dispatch> makeCheckBox(W32Window& window, const ControlLayout& layout)
{
    auto box = std::make_unique<W32CheckBox>(window, layout);
    box->native = {L"BUTTON", WS_TABSTOP | BS_3STATE};
    return box;
}

}  // namespace rastrex::win32
