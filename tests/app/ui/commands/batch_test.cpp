#include <QFileInfo>
#include <QProgressBar>

#include "commands_fixture.h"
#include "runtime_converter_library.h"

namespace rastrex::test {
namespace {

using Answer = Dialogs::Answer;

// What the window showed while one file was converted.
struct Seen {
    QString file;
    int value;
    int maximum;
    bool barShown;
    QString panel2;
    bool repainted;       // bar and panel painted since the previous file
    bool inputHandled;    // an event posted before the batch was delivered
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os)
{
    *os << s.file.toStdString() << " " << s.value << "/" << s.maximum << (s.barShown ? " shown" : " hidden")
        << " [" << s.panel2.toStdString() << "]" << (s.repainted ? " painted" : "")
        << (s.inputHandled ? " input" : "");
}

class BatchTest : public CommandsTest {
protected:
    // Records what the window shows at each conversion.
    void watch()
    {
        form->ProgressBar1->installEventFilter(&barPaints);
        form->StatusBar1->panel(2)->installEventFilter(&panelPaints);
        QCoreApplication::postEvent(&probe, new QEvent(QEvent::User));
        library.onConvert = [this](const QString& source) {
            seen.push_back({QFileInfo(source).fileName(), form->ProgressBar1->value(),
                            form->ProgressBar1->maximum(), !form->ProgressBar1->isHidden(),
                            form->StatusBar1->panelText(2),
                            barPaints.paints > lastBar && panelPaints.paints > lastPanel, probe.delivered});
            lastBar = barPaints.paints;
            lastPanel = panelPaints.paints;
        };
    }
    void expectFinished()
    {
        EXPECT_TRUE(form->ProgressBar1->isHidden());
        EXPECT_EQ(form->ProgressBar1->value(), 0);
        EXPECT_EQ(form->StatusBar1->panelText(2), "");
        EXPECT_EQ(form->StatusBar1->panelText(1), "完了");
    }

    PaintCounter barPaints, panelPaints;
    int lastBar = 0, lastPanel = 0;
    PostedProbe probe;
    std::vector<Seen> seen;
};

struct Trigger {
    const char* name;
    void (MainForm::*handler)();
};

class BatchTriggerTest : public BatchTest, public testing::WithParamInterface<Trigger> {};

// Items 2 and 7 of 10 selected: item 7 first with the bar at 3 of 10, then
// item 2 at 8 of 10, each painted before its conversion, no input taken.
TEST_P(BatchTriggerTest, ConvertsTheSelectionFromTheBottomUp)
{
    for (int i = 0; i < 10; ++i)
        writeDump(file(QStringLiteral("d%1.xwd").arg(i)), 3, 2, static_cast<std::uint8_t>(i));
    openFolder();
    selectOnly(form->File1, {2, 7});
    watch();

    (form.get()->*GetParam().handler)();

    EXPECT_EQ(seen, (std::vector<Seen>{{"d7.xwd", 3, 10, true, file("d7.xwd"), true, false},
                                       {"d2.xwd", 8, 10, true, file("d2.xwd"), true, false}}));
    expectFinished();
    EXPECT_TRUE(isBitmapOf(file("d7.bmp"), 3, 2, 7));
    EXPECT_TRUE(isBitmapOf(file("d2.bmp"), 3, 2, 2));
    EXPECT_EQ(items(form->File2), (QStringList{"d2.bmp", "d7.bmp"}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Handlers, BatchTriggerTest,
                         testing::Values(Trigger{"Command1", &MainForm::Command1_Click},
                                         Trigger{"menuConvert", &MainForm::menuConvert_Click},
                                         Trigger{"File1DblClick", &MainForm::File1_DblClick}),
                         [](const testing::TestParamInfo<Trigger>& info) { return std::string(info.param.name); });

TEST_F(BatchTest, FirstAndLastItemsReachOneAndTheMaximum)
{
    for (const char* name : {"a.xwd", "b.xwd", "c.xwd"})
        writeDump(file(name));
    openFolder();
    selectOnly(form->File1, {0, 2});
    watch();
    form->Command1_Click();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].file, "c.xwd");
    EXPECT_EQ(seen[0].value, 1);
    EXPECT_EQ(seen[1].file, "a.xwd");
    EXPECT_EQ(seen[1].value, 3);
}

TEST_F(BatchTest, NothingSelectedOrNothingListedStillFinishes)
{
    writeDump(file("a.xwd"));
    openFolder();
    selectOnly(form->File1, {});
    watch();
    form->menuConvert_Click();
    EXPECT_TRUE(seen.empty());
    expectFinished();

    QTemporaryDir empty;
    form->Dir1->setPath(empty.path());
    form->Command1_Click();
    EXPECT_TRUE(seen.empty());
    expectFinished();
    EXPECT_FALSE(QFileInfo::exists(file("a.bmp")));
}

// A missing source and a damaged dump are reported with the file named in
// panel 2; the others are converted and moved to the trash, the damaged one
// stays.
TEST_F(BatchTest, ReportsGoOnWithTheNextFileAndKeepFailedSources)
{
    writeDump(file("a.xwd"));
    writeText(file("b.xwd"), "damaged");
    writeDump(file("c.xwd"));
    writeDump(file("d.xwd"));
    openFolder();
    QFile::remove(file("d.xwd"));  // gone after the list was read
    form->Check3->setValue(1);
    QStringList panelAtBox;
    dialogs.onShow = [&](const QString&) { panelAtBox << form->StatusBar1->panelText(2); };
    dialogs.answers = {Answer::Yes, Answer::Yes};

    form->Command1_Click();

    EXPECT_EQ(dialogs.shown,
              (QStringList{"report: " + file("d.xwd") + " は \r存在しねえぞ。",
                           "ask: " + file("c.xwd") + " を\rごみ箱に移動するよ？",
                           "report: " + file("b.xwd") + " を\r変換できなかったぞ。XWD ファイルが壊れているか、空っぽだ。",
                           "ask: " + file("a.xwd") + " を\rごみ箱に移動するよ？"}));
    EXPECT_EQ(panelAtBox, (QStringList{file("d.xwd"), file("c.xwd"), file("b.xwd"), file("a.xwd")}));
    EXPECT_EQ(items(form->File1), QStringList{"b.xwd"});
    EXPECT_EQ(items(form->File2), (QStringList{"a.bmp", "c.bmp"}));
    EXPECT_EQ(trashedNames(), (QStringList{"a.xwd", "c.xwd"}));
    expectFinished();
}

// Without the library: one report naming it, no further file tried, and the
// window ends as after a batch.
TEST_F(BatchTest, AMissingLibraryIsReportedOnceAndEndsTheBatch)
{
    RuntimeConverterLibrary missing(QStringLiteral("libRASTREX.so"), {"/nonexistent/libRASTREX.so"});
    MainForm window(AppServices{dialogs, missing, systemTrash()});
    for (const char* name : {"a.xwd", "b.xwd", "c.xwd"})
        writeDump(file(name));
    window.Dir1->setPath(dir.path());
    window.Check3->setValue(1);

    window.Command1_Click();

    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith("report: 変換ライブラリ libRASTREX.so を読み込めなかったぞ。\r"));
    EXPECT_TRUE(window.ProgressBar1->isHidden());
    EXPECT_EQ(window.StatusBar1->panelText(2), "");
    EXPECT_EQ(window.StatusBar1->panelText(1), "完了");
    EXPECT_EQ(items(window.File1), (QStringList{"a.xwd", "b.xwd", "c.xwd"}));
    EXPECT_TRUE(items(window.File2).isEmpty());
}

}  // namespace
}  // namespace rastrex::test

namespace rastrex::test {
namespace {

using Answer = Dialogs::Answer;

// The batch reads Check1 and Check3 of the window as each file needs them;
// only the value 1 counts as on.
struct OptionCase {
    const char* name;
    int check1;
    int check3;
    std::deque<Answer> answers;
    bool overwritten;
    bool trashed;
};

class BatchOptionTest : public CommandsTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(BatchOptionTest, FollowsTheWindowsCheckBoxes)
{
    const OptionCase& c = GetParam();
    writeDump(file("a.xwd"));
    writeText(file("a.bmp"), "old");
    openFolder();
    form->Check1->setValue(c.check1);
    form->Check3->setValue(c.check3);
    dialogs.answers = c.answers;
    form->Command1_Click();
    EXPECT_TRUE(dialogs.answers.empty());
    EXPECT_EQ(isBitmapOf(file("a.bmp")), c.overwritten);
    EXPECT_EQ(trashedNames(), c.trashed ? QStringList{"a.xwd"} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Checks, BatchOptionTest,
    testing::Values(OptionCase{"DeclinedKeepsBoth", 1, 1, {Answer::No}, false, false},
                    OptionCase{"AcceptedThenTrashed", 1, 1, {Answer::Yes, Answer::Yes}, true, true},
                    OptionCase{"AcceptedKept", 1, 0, {Answer::Yes}, true, false},
                    OptionCase{"UncheckedSilent", 0, 0, {}, true, false},
                    OptionCase{"GreyedAsOff", 2, 2, {}, true, false}),
    [](const testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rastrex::test
