// The scripted toolkit of the logic's tests keeps the contract of
// controls.h as the real toolkits do (controls_contract.h).
#include "controls_contract.h"
#include "scripted_toolkit.h"

namespace rastrex::contract {

struct ScriptedHarness {
    static constexpr const char* kName = "Scripted";
    test::ScriptedToolkit toolkit;
    void pump() {}
    // The scripted window has no keyboard: its text box takes no input and
    // Tab leaves it, and the context-menu keys on a file list are a right
    // press, as the real toolkits do.
    bool press(Window& w, std::string_view name, Key key)
    {
        if (FileList* list = w.fileList(name); list && list->mouseDown && (key == Key::ShiftF10 || key == Key::MenuKey))
            list->mouseDown(kRightButton, 0, 0, 0);
        return key != Key::Tab;
    }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Toolkit, ControlsContract, ScriptedHarness, HarnessName);

}  // namespace rastrex::contract
