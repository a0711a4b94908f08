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
    void click(Window& w, std::string_view name)
    {
        auto& window = static_cast<test::ScriptedWindow&>(w);
        if (auto* box = dynamic_cast<test::ScriptedCheckBox*>(w.checkBox(name)))
            box->userClick();
        else if (auto* button = dynamic_cast<test::ScriptedButton*>(window.commandButton(name)))
            button->press();
    }
    // The scripted list selects as a left press does; it has no items'
    // places, so the press falls on the first item.
    void pressMouse(Window& w, std::string_view name, int button, int x, int y)
    {
        auto* list = dynamic_cast<test::ScriptedFileList*>(w.fileList(name));
        if (button == kLeftButton)
            list->selectOnly({0});
        if (list->mouseDown)
            list->mouseDown(button, 0, x, y);
    }
    void chooseMenuItem(Window& w, std::string_view item)
    {
        static_cast<test::ScriptedMenuItem*>(w.menuItem(item))->choose();
    }
    void popupChoosing(Window& w, std::string_view popup, int choice)
    {
        auto* menu = static_cast<test::ScriptedWindow&>(w).popup(popup);
        menu->choice = choice;
        menu->popup();
    }
    void answerNextBox(MessageBoxes::Answer press, std::string& seen)
    {
        toolkit.boxes.onShow = [this, press, &seen](const std::string& text) {
            seen = text;
            toolkit.boxes.answers.assign(1, press);
        };
    }
    // The scripted toolkit has no input: the request waits for the next
    // betweenFiles, the close box winning.
    void queueForBatch(Window&, BatchInput input)
    {
        BatchRequest& next = toolkit.requests[toolkit.betweenCalls + 1];
        if (input == BatchInput::CloseBox)
            next = BatchRequest::Close;
        else if (input == BatchInput::Escape && next == BatchRequest::Continue)
            next = BatchRequest::Stop;
    }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Toolkit, ControlsContract, ScriptedHarness, HarnessName);

}  // namespace rastrex::contract
