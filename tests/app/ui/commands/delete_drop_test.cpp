#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "commands_fixture.h"

namespace rastrex::test {
namespace {

using Answer = Dialogs::Answer;

class DeleteTest : public CommandsTest {
protected:
    void SetUp() override
    {
        CommandsTest::SetUp();
        for (const char* name : {"a.xwd", "b.xwd", "c.xwd", "d.xwd", "e.xwd", "a.bmp", "b.bmp"})
            writeText(file(name), "x");
        openFolder();
        dialogs.onShow = [this](const QString&) {
            values << form->ProgressBar1->value();
            barShown << !form->ProgressBar1->isHidden();
        };
    }
    QList<int> values;
    QList<bool> barShown;
};

// Items 1 and 3 of five: item 3 first at 5 - 3 = 2, then item 1 at 4; the
// last path stays in panel 2 and both lists are read again.
TEST_F(DeleteTest, SelectedSourcesGoToTheTrashLastFirst)
{
    selectOnly(form->File1, {1, 3});
    dialogs.answers = {Answer::Yes, Answer::Yes};
    form->menuDelete1_Click();
    EXPECT_EQ(dialogs.shown, (QStringList{"ask: " + file("d.xwd") + " を\rごみ箱に移動するよ？",
                                          "ask: " + file("b.xwd") + " を\rごみ箱に移動するよ？"}));
    EXPECT_EQ(values, (QList<int>{2, 4}));
    EXPECT_EQ(barShown, (QList<bool>{true, true}));
    EXPECT_EQ(trashedNames(), (QStringList{"b.xwd", "d.xwd"}));
    EXPECT_EQ(items(form->File1), (QStringList{"a.xwd", "c.xwd", "e.xwd"}));
    EXPECT_EQ(form->StatusBar1->panelText(2), file("b.xwd"));
    EXPECT_TRUE(form->ProgressBar1->isHidden());
    EXPECT_EQ(form->ProgressBar1->value(), 0);
}

// A declined file stays; a file gone since the list was read is skipped
// without a word; deleting from File2 re-reads File1 too.
TEST_F(DeleteTest, DeclinedAndVanishedFilesStay)
{
    selectOnly(form->File2, {0, 1});
    QFile::remove(file("b.bmp"));
    writeText(file("f.xwd"), "x");  // appears in File1 only at the re-read
    dialogs.answers = {Answer::No};
    form->menuDelete2_Click();
    EXPECT_EQ(dialogs.shown, QStringList{"ask: " + file("a.bmp") + " を\rごみ箱に移動するよ？"});
    EXPECT_TRUE(QFileInfo::exists(file("a.bmp")));
    EXPECT_TRUE(trashedNames().isEmpty());
    EXPECT_EQ(items(form->File2), QStringList{"a.bmp"});
    EXPECT_TRUE(items(form->File1).contains("f.xwd"));
}

TEST_F(DeleteTest, NothingSelectedKeepsPanel2)
{
    selectOnly(form->File1, {});
    form->StatusBar1->setPanelText(2, "earlier");
    form->menuDelete1_Click();
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(form->StatusBar1->panelText(2), "earlier");
    EXPECT_TRUE(form->ProgressBar1->isHidden());
}

QMimeData* uriList(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

struct OfferCase {
    const char* name;
    std::function<QMimeData*()> make;
    int effect;
};

TEST_F(CommandsTest, DragOverAcceptsOnlyLocalFiles)
{
    const OfferCase cases[] = {
        {"local file", [] { return uriList({QUrl::fromLocalFile("/tmp/a.xwd")}); }, kDropEffectCopy},
        {"web address and file", [] {
             return uriList({QUrl("https://example.org/a.xwd"), QUrl::fromLocalFile("/tmp/a.xwd")});
         }, kDropEffectCopy},
        {"web address only", [] { return uriList({QUrl("https://example.org/a.xwd")}); }, kDropEffectNone},
        {"text", [] {
             auto* d = new QMimeData;
             d->setText("/tmp/a.xwd");
             return d;
         }, kDropEffectNone},
        {"nothing", [] { return new QMimeData; }, kDropEffectNone},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QMimeData> data(c.make());
        int effect = -1;
        form->File1_OLEDragOver(data.get(), effect);
        EXPECT_EQ(effect, c.effect) << c.name;
    }
}

class DropTest : public CommandsTest {
protected:
    void SetUp() override
    {
        CommandsTest::SetUp();
        writeDump(file("here.xwd"));
        openFolder();
        ASSERT_TRUE(QDir().mkpath(other() + "/sub"));
        for (const char* name : {"x.xwd", "y.XWD", "z.bmp", "notes.txt"})
            writeText(other() + "/" + name, "x");
    }
    QString other() const { return file("other"); }
    void drop(QMimeData* data)
    {
        std::unique_ptr<QMimeData> owned(data);
        form->File1_OLEDragDrop(owned.get());
    }
};

struct DropCase {
    const char* name;
    QString dropped;  // inside the other folder
};

// Whatever is dropped from the other folder, the panes show that folder
// with all of its dumps selected.
TEST_F(DropTest, MovesThePanesToTheDroppedFilesFolder)
{
    const DropCase cases[] = {{"dump", "x.xwd"}, {"non-matching file", "notes.txt"}, {"folder", "sub/"}};
    for (const auto& c : cases) {
        openFolder();
        drop(uriList({QUrl::fromLocalFile(other() + "/" + c.dropped)}));
        EXPECT_EQ(QDir(form->Dir1->path()), QDir(other())) << c.name;
        EXPECT_EQ(items(form->File1), (QStringList{"x.xwd", "y.XWD"})) << c.name;
        EXPECT_TRUE(form->File1->selected(0) && form->File1->selected(1)) << c.name;
        EXPECT_EQ(items(form->File2), QStringList{"z.bmp"}) << c.name;
    }
}

TEST_F(DropTest, SeveralFilesEndAtTheLastOnesFolder)
{
    drop(uriList({QUrl::fromLocalFile(other() + "/x.xwd"), QUrl::fromLocalFile(file("here.xwd"))}));
    EXPECT_EQ(QDir(form->Dir1->path()), QDir(dir.path()));
}

// A file in a volume's root moves the panes to that root; the file need
// not exist for that.
TEST_F(DropTest, AFileInTheRootMovesToTheRoot)
{
    drop(uriList({QUrl::fromLocalFile("/rastrex-dropped-in-root.xwd")}));
    EXPECT_EQ(form->Dir1->path(), "/");
}

TEST_F(DropTest, DataWithoutLocalFilesChangesNothing)
{
    auto* text = new QMimeData;
    text->setText(other() + "/x.xwd");
    drop(text);
    drop(uriList({QUrl("https://example.org/x.xwd")}));
    EXPECT_EQ(QDir(form->Dir1->path()), QDir(dir.path()));
    EXPECT_EQ(items(form->File1), QStringList{"here.xwd"});
}

}  // namespace
}  // namespace rastrex::test
