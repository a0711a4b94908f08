// The main window's start-up, its file panes, its menus and quitting, on
// the scripted toolkit.
#include "form_fixture.h"

namespace rastrex::test {
namespace {

using Names = std::vector<std::string>;
using Indexes = std::vector<ItemIndex>;

using MainFormTest = FormTest;

TEST_F(MainFormTest, StartsWithTheOptionsSetAndEverySourceFileSelected)
{
    struct Case {
        Names files;
        Names source, destination;
        std::string panel1;
        bool convertEnabled;
    };
    const Case cases[] = {
        {{"b.xwd", "a.XWD", "c.bmp", "notes.txt"}, {"a.XWD", "b.xwd"}, {"c.bmp"}, "レディ", true},
        {{"only.bmp"}, {}, {"only.bmp"}, "", false},
        {{}, {}, {}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.size());
        open(c.files);
        EXPECT_EQ(form->Dir1->path(), folder());
        for (const auto& [name, value] : {std::pair{"Check1", 0}, {"Check2", 1}, {"Check3", 0}, {"Check4", 1},
                                          {"Check5", 0}, {"Check6", 0}})
            EXPECT_EQ(check(name).value(), value) << name;
        EXPECT_EQ(file1().pattern(), "*.xwd");
        EXPECT_EQ(file2().pattern(), "*.bmp");
        EXPECT_EQ(file1().items, c.source);
        EXPECT_EQ(file1().selection().size(), c.source.size());
        EXPECT_EQ(file2().items, c.destination);
        EXPECT_TRUE(file2().selection().empty());
        EXPECT_EQ(status().panelText(1), c.panel1);
        EXPECT_EQ(status().panelText(2), "");
        EXPECT_EQ(button("Command1").enabled(), c.convertEnabled);
        EXPECT_FALSE(bar().visible());
        EXPECT_TRUE(drive1().enabled());
        EXPECT_EQ(window().shows, 0);  // shown by the program, after the load
    }
}

TEST_F(MainFormTest, AFolderChangeSelectsAllOfTheSourceListAndNoneOfTheDestination)
{
    open({"top.xwd"});
    const std::string sub = file("sub");
    fs::create_directory(sub);
    touch(sub, {"1.xwd", "2.xwd", "3.xwd", "1.bmp", "2.bmp"});
    file1().visibilityChanges.clear();
    form->Dir1->setPath(sub);
    EXPECT_EQ(file1().path(), sub);
    EXPECT_EQ(file2().path(), sub);
    EXPECT_EQ(file1().items, (Names{"1.xwd", "2.xwd", "3.xwd"}));
    EXPECT_EQ(file1().selection(), (Indexes{0, 1, 2}));
    EXPECT_EQ(file2().items, (Names{"1.bmp", "2.bmp"}));
    EXPECT_TRUE(file2().selection().empty());
    // Hidden while re-pointed and re-read, shown again afterwards.
    EXPECT_EQ(file1().visibilityChanges, (std::vector<bool>{false, true, false, true}));

    const std::string empty = folderPrefix(sub) + "empty";
    fs::create_directory(empty);
    form->Dir1->setPath(empty);
    EXPECT_EQ(file1().listCount(), 0);
    EXPECT_EQ(status().panelText(1), "");
    EXPECT_FALSE(button("Command1").enabled());
}

TEST_F(MainFormTest, ADriveWhoseRootCannotBeReadIsToldAndLeavesThePanesWhereTheyWere)
{
    open({"a.xwd"});
    const std::string start = form->Dir1->path();
    const std::string root = rootFolderOf(folder());
    drive1().roots = {root, file("gone")};
    toolkit.boxes.onShow = [&](const std::string&) { EXPECT_EQ(drive1().drive(), file("gone")); };
    drive1().setDrive(file("gone"));
    EXPECT_EQ(shown(), Names{"report: " + file("gone") + " を\r開けないぞ。ドライブの準備ができていない。"});
    EXPECT_EQ(form->Dir1->path(), start);
    EXPECT_EQ(drive1().drive(), root);
    EXPECT_TRUE(form->Dir1->visible());
    EXPECT_EQ(file1().items, Names{"a.xwd"});
}

TEST_F(MainFormTest, ChoosingADriveOpensItsRootAndRunsTheWholeChain)
{
    open({"a.xwd"});
    const std::string stick = file("stick");
    fs::create_directories(folderPrefix(stick) + "inner");
    touch(stick, {"s1.xwd", "s2.xwd"});
    const std::string root = rootFolderOf(folder());
    drive1().roots = {root, stick};
    drive1().setDrive(stick);  // returns after Dir1_Change and the select-all have run
    EXPECT_EQ(form->Dir1->path(), stick);
    EXPECT_EQ(file1().selection(), (Indexes{0, 1}));
    EXPECT_EQ(status().panelText(1), "レディ");
    EXPECT_TRUE(shown().empty());

    // Climbing out of the volume in the directory list: the drive list
    // follows, and opens nothing by itself.
    form->Dir1->setPath(folder());
    EXPECT_EQ(drive1().drive(), root);
    EXPECT_EQ(form->Dir1->path(), folder());
    form->Dir1->setPath(folderPrefix(stick) + "inner");
    EXPECT_EQ(drive1().drive(), stick);
    EXPECT_EQ(form->Dir1->path(), folderPrefix(stick) + "inner");
}

TEST_F(MainFormTest, ShowOnlyBoxesSwitchThePatternsAndNothingElse)
{
    struct Case {
        const char* box;
        const char* list;
        int value;
        std::string pattern;
        Names shown;
    };
    const Names all{"a.xwd", "b.bmp", "c.txt", "noext"};
    const Case cases[] = {
        {"Check2", "File1", 0, "*.*", all},   {"Check2", "File1", 2, "*.*", all},
        {"Check2", "File1", 1, "*.xwd", {"a.xwd"}}, {"Check4", "File2", 0, "*.*", all},
        {"Check4", "File2", 2, "*.*", all},   {"Check4", "File2", 1, "*.bmp", {"b.bmp"}},
    };
    open(all);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + std::to_string(c.value));
        // As after a finished batch: the box's handler must not touch these.
        status().setPanelText(1, "完了");
        button("Command1").setEnabled(false);
        check(c.box).setValue(c.value);
        ScriptedFileList& list = *window().find<ScriptedFileList>(c.list);
        EXPECT_EQ(list.pattern(), c.pattern);
        EXPECT_EQ(list.items, c.shown);
        EXPECT_TRUE(list.selection().empty());
        EXPECT_EQ(status().panelText(1), "完了");
        EXPECT_FALSE(button("Command1").enabled());
    }
}

TEST_F(MainFormTest, WithTheSourceFilterOffAFolderChangeSelectsEveryFile)
{
    open({"a.xwd", "b.txt"});
    check("Check2").userClick();
    const std::string sub = file("sub");
    fs::create_directory(sub);
    touch(sub, {"x.png", "y"});
    form->Dir1->setPath(sub);
    EXPECT_EQ(file1().items, (Names{"x.png", "y"}));
    EXPECT_EQ(file1().selection(), (Indexes{0, 1}));
}

TEST_F(MainFormTest, TheReinforceBoxLocksOnlyTheDriveList)
{
    open({"a.xwd"});
    struct Case {
        int value;
        bool driveEnabled;
    };
    for (const Case c : {Case{1, false}, Case{0, true}, Case{1, false}, Case{2, true}}) {
        SCOPED_TRACE(c.value);
        check("Check6").setValue(c.value);
        EXPECT_EQ(drive1().enabled(), c.driveEnabled);
        EXPECT_EQ(form->Dir1->path(), folder());
        for (const char* name : {"Dir1", "File1", "File2", "Command1"})
            EXPECT_TRUE(window().controls.at(name)->enabled()) << name;
    }
    // The quiet box has no effect at all.
    check("Check5").setValue(1);
    EXPECT_TRUE(drive1().enabled());
    EXPECT_EQ(file1().items, Names{"a.xwd"});
}

TEST_F(MainFormTest, ReReadCommandsTouchTheirListsAndOnlyTheSourceSetsPanelOneAndConvert)
{
    struct Case {
        const char* command;
        Names source;
        Indexes sourceSelected;
        Names destination;
        Indexes destinationSelected;
        bool sourceStateUpdated;  // panel 1 "レディ" and Command1 enabled again
    };
    const Case cases[] = {
        {"menuRefleshAll", {"a.xwd", "z.xwd"}, {}, {"b.bmp", "c.bmp"}, {}, true},
        {"menuReflesh1", {"a.xwd", "z.xwd"}, {}, {"b.bmp"}, {}, true},
        {"menuReflesh2", {"a.xwd"}, {0}, {"b.bmp", "c.bmp"}, {}, false},
        {"menuSelectAll", {"a.xwd", "z.xwd"}, {0, 1}, {"b.bmp", "c.bmp"}, {}, true},
        {"menuSelect1", {"a.xwd", "z.xwd"}, {0, 1}, {"b.bmp"}, {}, true},
        {"menuSelect2", {"a.xwd"}, {0}, {"b.bmp", "c.bmp"}, {0, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        open({"a.xwd", "b.bmp"});
        // As after a finished batch, then the folder changes on disk.
        status().setPanelText(1, "完了");
        button("Command1").setEnabled(false);
        touch(folder(), {"z.xwd", "c.bmp"});

        item(c.command).choose();
        EXPECT_EQ(file1().items, c.source);
        EXPECT_EQ(file1().selection(), c.sourceSelected);
        EXPECT_EQ(file2().items, c.destination);
        EXPECT_EQ(file2().selection(), c.destinationSelected);
        EXPECT_EQ(status().panelText(1), c.sourceStateUpdated ? "レディ" : "完了");
        EXPECT_EQ(button("Command1").enabled(), c.sourceStateUpdated);
    }
}

// Selecting every item is one operation of the list, whatever its length.
TEST_F(MainFormTest, SelectAllIsOneOperationOfTheList)
{
    open({"a.xwd", "b.xwd", "c.xwd"});
    file1().selectAllCalls = 0;
    file1().setSelectedCalls = 0;
    item("menuSelectAll").choose();
    EXPECT_EQ(file1().selectAllCalls, 1);
    EXPECT_EQ(file1().setSelectedCalls, 0);
    EXPECT_EQ(file1().selection(), (Indexes{0, 1, 2}));
}

TEST_F(MainFormTest, APressSetsPanelTwoAndOnlyTheRightButtonOpensTheListsPopup)
{
    struct Case {
        const char* list;
        int button;
        const char* popup;  // "" for none
        const char* panel2;
    };
    const Case cases[] = {
        {"File1", kLeftButton, "", "b.xwd"},    {"File1", kRightButton, "menuRight1", "b.xwd"},
        {"File1", kMiddleButton, "", "b.xwd"},  {"File2", kLeftButton, "", "d.bmp"},
        {"File2", kRightButton, "menuRight2", "d.bmp"}, {"File2", kMiddleButton, "", "d.bmp"},
    };
    open({"a.xwd", "b.xwd", "c.bmp", "d.bmp"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " " + std::to_string(c.button));
        ScriptedFileList& list = *window().find<ScriptedFileList>(c.list);
        list.index = 1;  // the toolkit has moved the mark before MouseDown
        toolkit.popupsShown.clear();
        status().setPanelText(2, "");
        list.mouseDown(c.button, 0, 5, 20);
        EXPECT_EQ(status().panelText(2), c.panel2);
        EXPECT_EQ(toolkit.popupsShown, *c.popup ? Names{c.popup} : Names{});
    }
    // Without a current item panel 2 is emptied.
    file1().index = kNoItem;
    file1().mouseDown(kRightButton, 0, 1, 1);
    EXPECT_EQ(status().panelText(2), "");
}

TEST_F(MainFormTest, ThePopupsChosenCommandRunsBeforeThePressReturns)
{
    open({"a.xwd", "c.bmp", "d.bmp"});
    window().popup("menuRight2")->choice = 1;  // "すべて選択(&A)"
    file2().mouseDown(kRightButton, 0, 0, 0);
    EXPECT_EQ(file2().selection(), (Indexes{0, 1}));
}

// ------------------------------------------------- version window, quit

TEST_F(MainFormTest, TheVersionWindowOpensOnceAndIsBuiltAfreshAfterItWasClosed)
{
    open({});
    const int builtBefore = toolkit.built;
    item("menuVersion").choose();
    item("menuVersion").choose();
    AboutForm* about = form->aboutForm();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(toolkit.built, builtBefore + 1);
    auto& aboutWindow = static_cast<ScriptedWindow&>(about->window());
    EXPECT_EQ(aboutWindow.shows, 2);
    EXPECT_EQ(about->Label2->caption(), "version 2001.04.01");
    EXPECT_EQ(about->Label3->caption(), "rastrex");
    about->Text2->setText("typed");

    aboutWindow.find<ScriptedButton>("Command2")->press();
    EXPECT_EQ(form->aboutForm(), nullptr);
    EXPECT_TRUE(form->window().loaded());

    item("menuVersion").choose();
    ASSERT_NE(form->aboutForm(), nullptr);
    EXPECT_EQ(toolkit.built, builtBefore + 2);
    EXPECT_NE(form->aboutForm()->Text2->text(), "typed");
}

TEST_F(MainFormTest, EveryWayOfQuittingClosesTheVersionWindowToo)
{
    struct Case {
        const char* how;
        std::function<void(FormTest&)> quit;
    };
    const Case cases[] = {
        {"quit button", [](FormTest& t) { t.button("Command2").press(); }},
        {"quit menu", [](FormTest& t) { t.item("menuQuit").choose(); }},
        {"close box", [](FormTest& t) { t.window().closeBox(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        open({});
        item("menuVersion").choose();
        ASSERT_EQ(toolkit.loaded, 2);
        c.quit(*this);
        EXPECT_FALSE(form->window().loaded());
        EXPECT_EQ(form->aboutForm(), nullptr);
        EXPECT_EQ(toolkit.loaded, 0);  // the program ends
    }
}

TEST_F(MainFormTest, UnloadingAWindowThatIsNotLoadedDoesNothing)
{
    open({});
    form->window().unload();
    form->Command2_Click();
    EXPECT_FALSE(form->window().loaded());
    EXPECT_EQ(toolkit.loaded, 0);
}

}  // namespace
}  // namespace rastrex::test
