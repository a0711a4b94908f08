#include "win32_message_boxes.h"

namespace rastrex::win32 {

namespace {

// Message boxes carry the application's title, not one of their own.
constexpr char kApplicationTitle[] = "Vellicor";

class W32MessageBox final : public MessageBoxes {
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

}  // namespace

std::unique_ptr<MessageBoxes> makeMessageBoxes(Win32Toolkit::State& state)
{
    return std::make_unique<W32MessageBox>(state);
}

}  // namespace rastrex::win32
