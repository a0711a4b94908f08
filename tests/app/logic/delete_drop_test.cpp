// Deleting the selection of a list, and drops on File1.
#include "form_fixture.h"

namespace rastrex::test {
namespace {

using Answer = MessageBoxes::Answer;
using Names = std::vector<std::string>;

class DeleteTest : public FormTest {
protected:
    void SetUp() override
    {
        open({"a.xwd", "b.xwd", "c.xwd", "d.xwd", "e.xwd", "a.bmp", "b.bmp"});
        toolkit.boxes.onShow = [this](const std::string&) {
            values.push_back(bar().value());
            barShown.push_back(bar().visible());
        };
    }
    std::vector<ItemIndex> values;
    std::vector<bool> barShown;
};

// Items 1 and 3 of five: item 3 first at 5 - 3 = 2, then item 1 at 4; the
// last path stays in panel 2 and both lists are read again.
TEST_F(DeleteTest, SelectedSourcesGoToTheTrashLastFirst)
{
    file1().selectOnly({1, 3});
    toolkit.boxes.answers = {Answer::Yes, Answer::Yes};
    item("menuDelete1").choose();
    EXPECT_EQ(shown(), (Names{"ask: " + file("d.xwd") + " を\rごみ箱に移動するよ？",
                              "ask: " + file("b.xwd") + " を\rごみ箱に移動するよ？"}));
    EXPECT_EQ(values, (std::vector<ItemIndex>{2, 4}));
    EXPECT_EQ(barShown, (std::vector<bool>{true, true}));
    EXPECT_EQ(trash.names(), (Names{"b.xwd", "d.xwd"}));
    EXPECT_EQ(file1().items, (Names{"a.xwd", "c.xwd", "e.xwd"}));
    EXPECT_EQ(status().panelText(2), file("b.xwd"));
    EXPECT_FALSE(bar().visible());
    EXPECT_EQ(bar().value(), 0);
}

// A declined file stays; a file gone since the list was read is skipped
// without a word; deleting from File2 re-reads File1 too.
TEST_F(DeleteTest, DeclinedAndVanishedFilesStay)
{
    file2().selectOnly({0, 1});
    fs::remove(file("b.bmp"));
    touch(folder(), {"f.xwd"});  // appears in File1 only at the re-read
    toolkit.boxes.answers = {Answer::No};
    item("menuDelete2").choose();
    EXPECT_EQ(shown(), Names{"ask: " + file("a.bmp") + " を\rごみ箱に移動するよ？"});
    EXPECT_TRUE(exists(file("a.bmp")));
    EXPECT_TRUE(trash.names().empty());
    EXPECT_EQ(file2().items, Names{"a.bmp"});
    EXPECT_NE(std::find(file1().items.begin(), file1().items.end(), "f.xwd"), file1().items.end());
}

TEST_F(DeleteTest, NothingSelectedKeepsPanel2)
{
    file1().selectOnly({});
    status().setPanelText(2, "earlier");
    form->menuDelete1_Click();
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(status().panelText(2), "earlier");
    EXPECT_FALSE(bar().visible());
}

// Where the platform's own move asks (the Windows shell), no question box
// of ours comes first; a refusal is reported with its reason.
TEST_F(DeleteTest, TheTrashsOwnQuestionAndRefusal)
{
    trash.shellAsks = true;
    trash.refusal = "理由";
    file1().selectOnly({0});
    form->menuDelete1_Click();
    EXPECT_EQ(shown(), Names{"report: " + file("a.xwd") + " を\rごみ箱に移動できなかったぞ。\r理由"});
    EXPECT_EQ(trash.asked, Names{file("a.xwd")});
}

TEST_F(FormTest, DragOverAcceptsOnlyAFileList)
{
    open({});
    struct Case {
        const char* name;
        bool offersFiles;
        int effect;
    };
    for (const Case& c : {Case{"files", true, kDropEffectCopy}, Case{"text", false, kDropEffectNone}}) {
        ScriptedDragData data;
        data.offersFiles = c.offersFiles;
        data.paths = {"/tmp/a.xwd"};
        int effect = -1;
        file1().oleDragOver(data, effect, kLeftButton, 0, 1, 1, DragState::Over);
        EXPECT_EQ(effect, c.effect) << c.name;
    }
    EXPECT_FALSE(static_cast<bool>(file2().oleDragOver));  // File2 takes no drops
}

class DropTest : public FormTest {
protected:
    void SetUp() override
    {
        open({"here.xwd"});
        fs::create_directories(folderPrefix(other()) + "sub");
        touch(other(), {"x.xwd", "y.XWD", "z.bmp", "notes.txt"});
    }
    std::string other() const { return file("other"); }
    void drop(const Names& paths, bool offersFiles = true)
    {
        ScriptedDragData data;
        data.offersFiles = offersFiles;
        data.paths = paths;
        int effect = kDropEffectCopy;
        file1().oleDragDrop(data, effect, kLeftButton, 0, 1, 1);
    }
};

// Whatever is dropped from the other folder, the panes show that folder
// with all of its dumps selected.
TEST_F(DropTest, MovesThePanesToTheDroppedFilesFolder)
{
    for (const char* dropped : {"x.xwd", "notes.txt", "sub/"}) {
        form->Dir1->setPath(folder());
        drop({folderPrefix(other()) + dropped});
        EXPECT_EQ(form->Dir1->path(), other()) << dropped;
        EXPECT_EQ(file1().items, (Names{"x.xwd", "y.XWD"})) << dropped;
        EXPECT_EQ(file1().selection(), (std::vector<ItemIndex>{0, 1})) << dropped;
        EXPECT_EQ(file2().items, Names{"z.bmp"}) << dropped;
    }
}

TEST_F(DropTest, SeveralFilesEndAtTheLastOnesFolder)
{
    drop({folderPrefix(other()) + "x.xwd", file("here.xwd")});
    EXPECT_EQ(form->Dir1->path(), folder());
}

// A file in a volume's root moves the panes to that root; the file need not
// exist for that. A drop from another volume moves the drive list too, even
// while Check6 has disabled it.
TEST_F(DropTest, AFileInARootOrOnAnotherVolume)
{
    const std::string root = rootFolderOf(folder());
    drop({root + "rastrex-dropped-in-root.xwd"});
    EXPECT_EQ(form->Dir1->path(), root);

    drive1().roots = {root, other()};
    check("Check6").setValue(1);
    drop({folderPrefix(folderPrefix(other()) + "sub") + "deep.xwd"});
    EXPECT_EQ(drive1().drive(), other());
    EXPECT_EQ(form->Dir1->path(), folderPrefix(other()) + "sub");
}

TEST_F(DropTest, DataWithoutAFileListChangesNothing)
{
    drop({folderPrefix(other()) + "x.xwd"}, false);
    drop({"no-separator.xwd"});
    EXPECT_EQ(form->Dir1->path(), folder());
    EXPECT_EQ(file1().items, Names{"here.xwd"});
}

}  // namespace
}  // namespace rastrex::test
