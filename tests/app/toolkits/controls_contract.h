// The contract of controls.h, one set of cases for every toolkit: the Qt
// and the Win32 toolkits and the scripted one the logic's tests run on, so
// that the fake behaves as the real ones do. A toolkit's tests instantiate
// the suite with a harness of their own:
//
//   struct Harness {
//       static constexpr const char* kName = "Qt";  // the cases' middle name
//       SomeToolkit toolkit;  // a Toolkit (or a reference to one)
//       void pump();          // dispatches what the toolkit has waiting
//       // Gives control `name` the keyboard focus, presses `key` there and
//       // dispatches what follows; returns whether it still has the focus.
//       bool press(Window& w, std::string_view name, contract::Key key);
//       // The user's click on button or check box `name`.
//       void click(Window& w, std::string_view name);
//       // The user's press of mouse `button` (kLeftButton...) on control
//       // `name` at (x, y), in its pixels from its top-left corner.
//       void pressMouse(Window& w, std::string_view name, int button, int x, int y);
//       // The user chooses menu item `item` (not a popup's).
//       void chooseMenuItem(Window& w, std::string_view item);
//       // Opens popup `popup` with the user choosing its item `choice`
//       // (from 0), or dismissing it (-1); returns once it is closed.
//       void popupChoosing(Window& w, std::string_view popup, int choice);
//       // The next message box shown puts its text in `seen` and is
//       // answered with `press` (a report, which has only OK, with OK).
//       void answerNextBox(MessageBoxes::Answer press, std::string& seen);
//       // Puts the user's `input` in the queue that the next
//       // Toolkit::betweenFiles reads.
//       void queueForBatch(Window& w, contract::BatchInput input);
//   };
//   INSTANTIATE_TYPED_TEST_SUITE_P(Toolkit, ControlsContract, Harness, HarnessName);
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>
#include <string>
#include <vector>

#include "controls.h"
#include "layouts.h"
#include "touch_files.h"

namespace rastrex::contract {

namespace fs = std::filesystem;

inline constexpr PanelLayout kPanels[] = {{1500}, {3000}};
inline constexpr ControlLayout kControls[] = {
    {.name = "Go", .kind = ControlKind::CommandButton, .container = "", .left = 60, .top = 60, .width = 1200,
     .height = 350, .tab = 0, .caption = "Go", .tooltip = "", .isDefault = true},
    {.name = "Box", .kind = ControlKind::CheckBox, .container = "", .left = 60, .top = 450, .width = 1500,
     .height = 250, .tab = 1, .caption = "Box", .tooltip = ""},
    {.name = "Files", .kind = ControlKind::FileList, .container = "", .left = 60, .top = 750, .width = 2000,
     .height = 1500, .tab = 2, .caption = "", .tooltip = "", .pattern = "*.xwd"},
    {.name = "Dir", .kind = ControlKind::DirList, .container = "", .left = 2100, .top = 750, .width = 2000,
     .height = 1500, .tab = 3, .caption = "", .tooltip = ""},
    {.name = "Drive", .kind = ControlKind::DriveList, .container = "", .left = 4200, .top = 750, .width = 1500,
     .height = 300, .tab = 4, .caption = "", .tooltip = ""},
    {.name = "Status", .kind = ControlKind::StatusBar, .container = "", .left = 0, .top = 2700, .width = 6000,
     .height = 285, .tab = 5, .caption = "", .tooltip = "", .panels = kPanels},
    {.name = "Bar", .kind = ControlKind::ProgressBar, .container = "", .left = 45, .top = 2745, .width = 1400,
     .height = 195, .tab = 6, .caption = "", .tooltip = "", .hidden = true, .rangeMin = 0, .rangeMax = 100},
    {.name = "Text", .kind = ControlKind::TextBox, .container = "", .left = 4200, .top = 1200, .width = 1500,
     .height = 900, .tab = 7, .caption = "description", .tooltip = ""},
    {.name = "Frame", .kind = ControlKind::Frame, .container = "", .left = 4200, .top = 2100, .width = 1500,
     .height = 500, .tab = 8, .caption = "frame", .tooltip = ""},
    {.name = "Caption", .kind = ControlKind::Label, .container = "Frame", .left = 100, .top = 200, .width = 1000,
     .height = 200, .tab = 9, .caption = "label", .tooltip = ""},
};
inline constexpr MenuItemLayout kBarItems[] = {{"barItem", "Item", "Ctrl+R"}};
inline constexpr MenuItemLayout kPopupItems[] = {{"first", "&First", ""}, {"second", "&Second", ""}};
inline constexpr MenuLayout kMenus[] = {{"bar", "Bar", false, kBarItems}, {"pop", "Pop", true, kPopupItems}};
inline constexpr FormLayout kLayout{"ContractForm", "contract", 6000, 3000, 600, 600, WindowBorder::FixedSingle,
                                    true, kControls, kMenus, {}};

// Keys a harness presses.
enum class Key {
    Letter,    // "x"
    Enter,
    Tab,
    ShiftF10,
    MenuKey,   // the key that opens a context menu
};

// What the user does while a batch runs.
enum class BatchInput {
    Escape,
    CloseBox,  // the main window's
    ClickGo,   // a click on the command button
};

// Names the cases after their harness: Toolkit/ControlsContract/Qt.Case.
struct HarnessName {
    template <typename Harness>
    static std::string GetName(int)
    {
        return Harness::kName;
    }
};

template <typename Harness>
class ControlsContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("rastrex-contract-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(folder / "sub");
        window = harness.toolkit.buildWindow(kLayout, WindowRole::Main);
        window->show();
        harness.pump();
    }
    void TearDown() override
    {
        window.reset();
        harness.pump();
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    void touch(std::initializer_list<std::string_view> names) { test::touchFiles(folder, names); }
    std::vector<std::string> items(const FileList& list) const
    {
        std::vector<std::string> out;
        for (ItemIndex i = 0; i < list.listCount(); ++i)
            out.push_back(list.list(i));
        return out;
    }
    std::vector<ItemIndex> selection(const FileList& list) const
    {
        std::vector<ItemIndex> out;
        for (ItemIndex i = 0; i < list.listCount(); ++i)
            if (list.selected(i))
                out.push_back(i);
        return out;
    }

    Harness harness;
    fs::path folder;
    std::unique_ptr<Window> window;
};

TYPED_TEST_SUITE_P(ControlsContract);

TYPED_TEST_P(ControlsContract, ControlsAreFoundByNameAndKindOnly)
{
    Window& w = *this->window;
    EXPECT_NE(w.commandButton("Go"), nullptr);
    EXPECT_NE(w.checkBox("Box"), nullptr);
    EXPECT_NE(w.fileList("Files"), nullptr);
    EXPECT_NE(w.dirList("Dir"), nullptr);
    EXPECT_NE(w.driveList("Drive"), nullptr);
    EXPECT_NE(w.statusBar("Status"), nullptr);
    EXPECT_NE(w.progressBar("Bar"), nullptr);
    EXPECT_NE(w.textBox("Text"), nullptr);
    EXPECT_NE(w.label("Caption"), nullptr);
    EXPECT_NE(w.label("Frame"), nullptr);
    EXPECT_NE(w.menuItem("barItem"), nullptr);
    EXPECT_NE(w.menuItem("first"), nullptr);
    EXPECT_NE(w.popupMenu("pop"), nullptr);
    EXPECT_EQ(w.checkBox("Go"), nullptr);
    EXPECT_EQ(w.fileList("Dir"), nullptr);
    EXPECT_EQ(w.popupMenu("bar"), nullptr);
    EXPECT_EQ(w.commandButton("Missing"), nullptr);
    EXPECT_EQ(w.checkBox("Box")->name(), "Box");
    EXPECT_EQ(w.menuItem("first")->name(), "first");
}

TYPED_TEST_P(ControlsContract, CheckBoxSetRaisesClickWithTheNewValueOnlyWhenItChanges)
{
    struct Case {
        int from, to;
        int clicks;
        int after;
    };
    const Case cases[] = {
        {0, 1, 1, 1}, {1, 0, 1, 0}, {0, 2, 1, 2}, {2, 1, 1, 1}, {1, 1, 0, 1},
        {0, 0, 0, 0}, {2, 2, 0, 2}, {1, 7, 0, 1}, {1, -1, 0, 1},
    };
    CheckBox& box = *this->window->checkBox("Box");
    EXPECT_EQ(box.value(), kCheckOff);
    for (const Case& c : cases) {
        box.click = nullptr;
        box.setValue(c.from);
        int clicks = 0;
        int seen = -1;
        box.click = [&] {
            ++clicks;
            seen = box.value();
        };
        box.setValue(c.to);
        EXPECT_EQ(box.value(), c.after) << c.from << " -> " << c.to;
        EXPECT_EQ(clicks, c.clicks) << c.from << " -> " << c.to;
        if (c.clicks != 0) {
            EXPECT_EQ(seen, c.after) << c.from << " -> " << c.to;
        }
    }
}

TYPED_TEST_P(ControlsContract, EnabledAndVisibleAreWhatTheProgramSet)
{
    Window& w = *this->window;
    Control* controls[] = {w.commandButton("Go"), w.checkBox("Box"), w.fileList("Files"), w.dirList("Dir"),
                           w.driveList("Drive"), w.statusBar("Status"), w.progressBar("Bar"), w.textBox("Text")};
    for (Control* c : controls) {
        EXPECT_TRUE(c->enabled()) << c->name();
        EXPECT_EQ(c->visible(), c->name() != "Bar") << c->name();  // the layout hides the bar
        c->setEnabled(false);
        c->setVisible(!c->visible());
        EXPECT_FALSE(c->enabled()) << c->name();
        EXPECT_EQ(c->visible(), c->name() == "Bar") << c->name();
        c->setEnabled(true);
        EXPECT_TRUE(c->enabled()) << c->name();
    }
}

TYPED_TEST_P(ControlsContract, FileListListsTheMatchingFilesByNameIgnoringCase)
{
    this->touch({"b.xwd", "A.xwd", "c.XWD", "d.bmp", "e.xwdx", "noext"});
    fs::create_directory(this->folder / "folder.xwd");
    FileList& list = *this->window->fileList("Files");
    EXPECT_EQ(list.pattern(), "*.xwd");
    list.setPath(this->folder.string());
    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.xwd", {"A.xwd", "b.xwd", "c.XWD"}},
        {"*.*", {"A.xwd", "b.xwd", "c.XWD", "d.bmp", "e.xwdx", "noext"}},
        {"*.bmp;?.XWD", {"A.xwd", "b.xwd", "c.XWD", "d.bmp"}},
        {"*.gif", {}},
    };
    for (const Case& c : cases) {
        list.setPattern(c.pattern);
        EXPECT_EQ(list.pattern(), c.pattern);
        EXPECT_EQ(this->items(list), c.names) << c.pattern;
        EXPECT_EQ(list.listIndex(), kNoItem) << c.pattern;
        EXPECT_EQ(list.list(kNoItem), "") << c.pattern;
        EXPECT_EQ(list.list(list.listCount()), "") << c.pattern;
    }
    // A folder that cannot be read, or a file, gives an empty list.
    for (const fs::path& bad : {this->folder / "missing", this->folder / "b.xwd"}) {
        list.setPath(bad.string());
        EXPECT_EQ(list.listCount(), 0) << bad.string();
    }
}

TYPED_TEST_P(ControlsContract, FileListSelectionHoldsUntilTheNextRead)
{
    this->touch({"a.xwd", "b.xwd", "c.xwd"});
    FileList& list = *this->window->fileList("Files");
    list.setPath(this->folder.string());
    ASSERT_EQ(list.listCount(), 3);
    EXPECT_TRUE(this->selection(list).empty());
    list.setSelected(1, true);
    list.setSelected(7, true);   // outside the list: nothing
    list.setSelected(-1, true);  // likewise
    EXPECT_EQ(this->selection(list), std::vector<ItemIndex>{1});
    EXPECT_FALSE(list.selected(-1));
    EXPECT_FALSE(list.selected(3));
    list.setSelected(1, false);
    EXPECT_TRUE(this->selection(list).empty());
    list.selectAll();
    EXPECT_EQ(this->selection(list), (std::vector<ItemIndex>{0, 1, 2}));
    this->touch({"0.xwd"});
    list.refresh();
    EXPECT_EQ(this->items(list), (std::vector<std::string>{"0.xwd", "a.xwd", "b.xwd", "c.xwd"}));
    EXPECT_TRUE(this->selection(list).empty());
    EXPECT_EQ(list.listIndex(), kNoItem);
    // An unchanged folder read again drops the selection too.
    list.selectAll();
    list.refresh();
    EXPECT_TRUE(this->selection(list).empty());
}

TYPED_TEST_P(ControlsContract, ProgressBarKeepsMinNotAboveMaxAndTheValueBetween)
{
    ProgressBar& bar = *this->window->progressBar("Bar");
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 100);
    EXPECT_EQ(bar.value(), 0);
    enum class Set { Min, Max, Value };
    struct Step {
        Set set;
        ItemIndex to;
        ItemIndex min, max, value;
    };
    constexpr ItemIndex kHuge = ItemIndex{1} << 40;
    const Step steps[] = {
        {Set::Max, 10, 0, 10, 0},        {Set::Value, 3, 0, 10, 3},  {Set::Value, 12, 0, 10, 10},
        {Set::Value, -5, 0, 10, 0},      {Set::Max, 0, 0, 0, 0},     {Set::Value, 5, 0, 0, 0},
        {Set::Min, 5, 5, 5, 5},          {Set::Max, 2, 2, 2, 2},     {Set::Max, kHuge, 2, kHuge, 2},
        {Set::Value, kHuge / 2, 2, kHuge, kHuge / 2},
    };
    for (const Step& s : steps) {
        if (s.set == Set::Min)
            bar.setMin(s.to);
        else if (s.set == Set::Max)
            bar.setMax(s.to);
        else
            bar.setValue(s.to);
        const std::string step = std::to_string(static_cast<int>(s.set)) + " " + std::to_string(s.to);
        EXPECT_EQ(bar.min(), s.min) << step;
        EXPECT_EQ(bar.max(), s.max) << step;
        EXPECT_EQ(bar.value(), s.value) << step;
    }
    EXPECT_GT(bar.pixelWidth(), 0);
}

TYPED_TEST_P(ControlsContract, StatusPanelsAreNumberedFromOne)
{
    StatusBar& status = *this->window->statusBar("Status");
    EXPECT_EQ(status.panelCount(), 2);
    status.setPanelText(1, "one");
    status.setPanelText(2, "two");
    status.setPanelText(0, "lost");
    status.setPanelText(3, "lost");
    EXPECT_EQ(status.panelText(0), "");
    EXPECT_EQ(status.panelText(1), "one");
    EXPECT_EQ(status.panelText(2), "two");
    EXPECT_EQ(status.panelText(3), "");
    status.setPanelText(1, "");
    EXPECT_EQ(status.panelText(1), "");
}

TYPED_TEST_P(ControlsContract, TextsAndCaptionsReadBackAsGiven)
{
    Window& w = *this->window;
    EXPECT_EQ(w.label("Caption")->caption(), "label");
    EXPECT_EQ(w.label("Frame")->caption(), "frame");
    EXPECT_EQ(w.textBox("Text")->text(), "description");
    w.textBox("Text")->setText("画面 1.xwd");
    EXPECT_EQ(w.textBox("Text")->text(), "画面 1.xwd");
}

TYPED_TEST_P(ControlsContract, DirListRaisesChangeOnlyWhenItMovesToAReadableFolder)
{
    DirList& dirs = *this->window->dirList("Dir");
    std::vector<std::string> changes;
    dirs.change = [&] { changes.push_back(dirs.path()); };
    dirs.setPath(this->folder.string());
    ASSERT_EQ(changes.size(), 1u);
    const std::string top = dirs.path();
    EXPECT_EQ(changes.back(), top);  // change sees the new path
    struct Case {
        fs::path path;
        std::size_t changes;
        std::string last;  // the last name of the folder shown
    };
    const Case cases[] = {
        {this->folder, 1, this->folder.filename().string()},
        {this->folder / "missing", 1, this->folder.filename().string()},
        {this->folder / "sub", 2, "sub"},
        {this->folder / "sub" / "..", 3, this->folder.filename().string()},
        {"", 3, this->folder.filename().string()},
    };
    for (const Case& c : cases) {
        dirs.setPath(c.path.string());
        EXPECT_EQ(changes.size(), c.changes) << c.path.string();
        EXPECT_EQ(fs::path(dirs.path()).filename().string(), c.last) << c.path.string();
    }
    EXPECT_EQ(dirs.path(), top);
}

TYPED_TEST_P(ControlsContract, DriveListHoldsTheFolderShownWithoutAChangeOfItsOwn)
{
    DriveList& drives = *this->window->driveList("Drive");
    DirList& dirs = *this->window->dirList("Dir");
    int changes = 0;
    drives.change = [&] { ++changes; };
    const std::string root = drives.rootOf(dirs.path());
    EXPECT_FALSE(root.empty());
    EXPECT_EQ(drives.rootOf(drives.drive()), drives.rootOf(root));
    EXPECT_EQ(drives.rootOf(""), "");
    drives.showDriveOf(dirs.path());
    drives.setDrive(drives.drive());
    drives.setDrive("");
    EXPECT_EQ(changes, 0);
}

TYPED_TEST_P(ControlsContract, UnloadAsksFirstAndLeavesTheControlsAnswering)
{
    Window& w = *this->window;
    int asked = 0;
    bool refuse = true;
    w.queryUnload = [&](bool& cancel, UnloadCause cause) {
        ++asked;
        EXPECT_EQ(cause, UnloadCause::Code);
        cancel = refuse;
    };
    w.unload();
    EXPECT_TRUE(w.loaded());
    EXPECT_NE(w.nativeHandle(), nullptr);
    refuse = false;
    w.unload();
    this->harness.pump();
    EXPECT_FALSE(w.loaded());
    EXPECT_EQ(w.nativeHandle(), nullptr);
    EXPECT_EQ(asked, 2);
    w.unload();  // not loaded: nothing
    w.show();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(w.loaded());
    w.checkBox("Box")->setValue(kCheckOn);
    EXPECT_EQ(w.checkBox("Box")->value(), kCheckOn);
    w.statusBar("Status")->setPanelText(1, "after");
    EXPECT_EQ(w.statusBar("Status")->panelText(1), "after");
}

TYPED_TEST_P(ControlsContract, ALockedTextBoxTakesNoInputAndTabLeavesIt)
{
    Window& w = *this->window;
    int presses = 0;
    w.commandButton("Go")->click = [&] { ++presses; };
    struct Case {
        Key key;
        bool keepsFocus;
    };
    const Case cases[] = {{Key::Letter, true}, {Key::Enter, true}, {Key::Tab, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(this->harness.press(w, "Text", c.key), c.keepsFocus) << static_cast<int>(c.key);
        EXPECT_EQ(w.textBox("Text")->text(), "description") << static_cast<int>(c.key);
    }
    EXPECT_EQ(presses, 0);  // Enter stays in the box: the default button is not pressed
}

TYPED_TEST_P(ControlsContract, ShiftF10AndTheMenuKeyOnAFileListAreARightPress)
{
    this->touch({"a.xwd", "b.xwd"});
    FileList& list = *this->window->fileList("Files");
    list.setPath(this->folder.string());
    list.setSelected(1, true);
    std::vector<int> buttons;
    list.mouseDown = [&](int button, int shift, int, int) { buttons.push_back(button * 16 + shift); };
    const Key keys[] = {Key::ShiftF10, Key::MenuKey, Key::Letter};
    for (Key key : keys)
        this->harness.press(*this->window, "Files", key);
    EXPECT_EQ(buttons, (std::vector<int>{kRightButton * 16, kRightButton * 16}));
    EXPECT_EQ(this->selection(list), std::vector<ItemIndex>{1});
}

TYPED_TEST_P(ControlsContract, AUserClickRunsAnEnabledButtonAndTurnsABoxOnOrOff)
{
    Window& w = *this->window;
    int presses = 0, boxClicks = 0;
    w.commandButton("Go")->click = [&] { ++presses; };
    CheckBox& box = *w.checkBox("Box");
    box.click = [&] { ++boxClicks; };
    for (bool enabled : {true, false}) {
        w.commandButton("Go")->setEnabled(enabled);
        presses = 0;
        this->harness.click(w, "Go");
        EXPECT_EQ(presses, enabled ? 1 : 0) << "enabled " << enabled;
    }
    // A user's click never greys a box: greyed turns off.
    const std::pair<int, int> cases[] = {{kCheckOff, kCheckOn}, {kCheckOn, kCheckOff}, {kCheckGreyed, kCheckOff}};
    for (auto [before, after] : cases) {
        box.setValue(before);
        boxClicks = 0;
        this->harness.click(w, "Box");
        EXPECT_EQ(box.value(), after) << "from " << before;
        EXPECT_EQ(boxClicks, 1) << "from " << before;
    }
}

TYPED_TEST_P(ControlsContract, AMousePressOnAFileListGivesItsButtonAndPlace)
{
    this->touch({"a.xwd", "b.xwd"});
    Window& w = *this->window;
    FileList& list = *w.fileList("Files");
    list.setPath(this->folder.string());
    list.setSelected(1, true);
    struct Press {
        int button, x, y;
        std::vector<ItemIndex> selection;  // after it: only the left button selects
    };
    const Press presses[] = {
        {kRightButton, 5, 3, {1}},
        {kMiddleButton, 9, 2, {1}},
        {kLeftButton, 6, 4, {0}},
    };
    for (const Press& p : presses) {
        std::vector<int> got;
        list.mouseDown = [&](int button, int shift, int x, int y) { got = {button, shift, x, y}; };
        this->harness.pressMouse(w, "Files", p.button, p.x, p.y);
        EXPECT_EQ(got, (std::vector<int>{p.button, 0, p.x, p.y})) << p.button;
        EXPECT_EQ(this->selection(list), p.selection) << p.button;
    }
}

TYPED_TEST_P(ControlsContract, MenuItemsAndPopupsRunTheChosenItemBeforeReturning)
{
    Window& w = *this->window;
    std::vector<std::string> ran;
    for (const char* item : {"barItem", "first", "second"})
        w.menuItem(item)->click = [&ran, item] { ran.push_back(item); };
    this->harness.chooseMenuItem(w, "barItem");
    EXPECT_EQ(ran, std::vector<std::string>{"barItem"});
    struct Case {
        int choice;
        std::vector<std::string> ran;
    };
    const Case cases[] = {{0, {"first"}}, {1, {"second"}}, {-1, {}}};  // -1: dismissed, nothing runs
    for (const Case& c : cases) {
        ran.clear();
        this->harness.popupChoosing(w, "pop", c.choice);
        EXPECT_EQ(ran, c.ran) << c.choice;
        this->harness.pump();
    }
}

// A report shows its text until OK; a question shows its text and returns
// the button pressed.
TYPED_TEST_P(ControlsContract, MessageBoxesShowTheirTextAndReturnTheButtonPressed)
{
    using Answer = MessageBoxes::Answer;
    MessageBoxes& boxes = this->harness.toolkit.messageBox();
    std::string seen;
    this->harness.answerNextBox(Answer::Yes, seen);
    boxes.report("c:\\shots\\a.xwd: not converted");
    EXPECT_EQ(seen, "c:\\shots\\a.xwd: not converted");
    for (const Answer press : {Answer::Yes, Answer::No}) {
        seen.clear();
        this->harness.answerNextBox(press, seen);
        EXPECT_EQ(boxes.ask("Replace b.bmp?"), press);
        EXPECT_EQ(seen, "Replace b.bmp?");
        this->harness.pump();
    }
}

// Between two files of a batch, input to the controls raises nothing and is
// dropped, not kept for later; Escape asks to stop and the close box to
// close, which wins; each request is told once.
TYPED_TEST_P(ControlsContract, BetweenFilesDropsInputAndTellsEscapeAndTheCloseBoxOnce)
{
    Window& w = *this->window;
    int clicks = 0;
    w.commandButton("Go")->click = [&clicks] { ++clicks; };
    using In = BatchInput;
    struct Case {
        std::vector<In> inputs;
        BatchRequest request;
    } const cases[] = {
        {{}, BatchRequest::Continue},
        {{In::ClickGo}, BatchRequest::Continue},
        {{In::Escape}, BatchRequest::Stop},
        {{In::CloseBox}, BatchRequest::Close},
        {{In::Escape, In::CloseBox, In::ClickGo}, BatchRequest::Close},
    };
    for (const Case& c : cases) {
        for (const In input : c.inputs)
            this->harness.queueForBatch(w, input);
        EXPECT_EQ(this->harness.toolkit.betweenFiles(), c.request) << c.inputs.size();
        EXPECT_EQ(this->harness.toolkit.betweenFiles(), BatchRequest::Continue) << c.inputs.size();
    }
    this->harness.pump();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(w.loaded());
}

REGISTER_TYPED_TEST_SUITE_P(ControlsContract, ControlsAreFoundByNameAndKindOnly,
                            CheckBoxSetRaisesClickWithTheNewValueOnlyWhenItChanges,
                            EnabledAndVisibleAreWhatTheProgramSet, FileListListsTheMatchingFilesByNameIgnoringCase,
                            FileListSelectionHoldsUntilTheNextRead, ProgressBarKeepsMinNotAboveMaxAndTheValueBetween,
                            StatusPanelsAreNumberedFromOne, TextsAndCaptionsReadBackAsGiven,
                            DirListRaisesChangeOnlyWhenItMovesToAReadableFolder,
                            DriveListHoldsTheFolderShownWithoutAChangeOfItsOwn,
                            UnloadAsksFirstAndLeavesTheControlsAnswering,
                            ALockedTextBoxTakesNoInputAndTabLeavesIt,
                            ShiftF10AndTheMenuKeyOnAFileListAreARightPress,
                            AUserClickRunsAnEnabledButtonAndTurnsABoxOnOrOff,
                            AMousePressOnAFileListGivesItsButtonAndPlace,
                            MenuItemsAndPopupsRunTheChosenItemBeforeReturning,
                            MessageBoxesShowTheirTextAndReturnTheButtonPressed,
                            BetweenFilesDropsInputAndTellsEscapeAndTheCloseBoxOnce);

}  // namespace rastrex::contract
