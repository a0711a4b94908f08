// Converting the selection of File1: order, progress, reports, options,
// twin targets and how often the progress is painted.
#include "form_fixture.h"

namespace rastrex::test {
namespace {

using Answer = MessageBoxes::Answer;
using Names = std::vector<std::string>;

// What the window showed while one file was converted.
struct Seen {
    std::string file;
    ItemIndex value;
    ItemIndex maximum;
    bool barShown;
    std::string panel2;
    bool operator==(const Seen&) const = default;
};

// "d3.xwd" and the like, built by appending: GCC 12 warns falsely
// (-Wrestrict) about a literal added to a temporary string.
std::string numbered(const char* prefix, long long n)
{
    std::string name = prefix;
    name += std::to_string(n);
    name += ".xwd";
    return name;
}

void PrintTo(const Seen& s, std::ostream* os)
{
    *os << s.file << " " << s.value << "/" << s.maximum << (s.barShown ? " shown" : " hidden") << " ["
        << s.panel2 << "]";
}

class BatchTest : public FormTest {
protected:
    void SetUp() override
    {
        library = RecordingLibrary(&realLibrary());
        open();
    }
    // Records what the window shows at each conversion.
    void watch()
    {
        library.onConvert = [this](const std::string& source) {
            seen.push_back({fs::path(source).filename().string(), bar().value(), bar().max(), bar().visible(),
                            status().panelText(2)});
        };
    }
    void expectFinished()
    {
        EXPECT_FALSE(bar().visible());
        EXPECT_EQ(bar().value(), 0);
        EXPECT_EQ(status().panelText(2), "");
        EXPECT_EQ(status().panelText(1), "完了");
    }
    // Re-reads both lists and selects all of File1, as a folder change does.
    void openFolder() { item("menuSelectAll").choose(); }

    std::vector<Seen> seen;
};

struct Trigger {
    const char* name;
    std::function<void(FormTest&)> run;
};

void PrintTo(const Trigger& t, std::ostream* os)
{
    *os << t.name;
}

class BatchTriggerTest : public BatchTest, public testing::WithParamInterface<Trigger> {};

// Items 2 and 7 of 10 selected: item 7 first with the bar at 3 of 10, then
// item 2 at 8 of 10.
TEST_P(BatchTriggerTest, ConvertsTheSelectionFromTheBottomUp)
{
    for (int i = 0; i < 10; ++i)
        writeDump(file(numbered("d", i)), 3, 2, static_cast<std::uint8_t>(i));
    openFolder();
    file1().selectOnly({2, 7});
    watch();

    GetParam().run(*this);

    EXPECT_EQ(seen, (std::vector<Seen>{{"d7.xwd", 3, 10, true, file("d7.xwd")},
                                       {"d2.xwd", 8, 10, true, file("d2.xwd")}}));
    expectFinished();
    EXPECT_TRUE(isBitmapOf(file("d7.bmp"), 3, 2, 7));
    EXPECT_TRUE(isBitmapOf(file("d2.bmp"), 3, 2, 2));
    EXPECT_EQ(file2().items, (Names{"d2.bmp", "d7.bmp"}));
    EXPECT_TRUE(shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, BatchTriggerTest,
    testing::Values(Trigger{"Command1", [](FormTest& form) { form.button("Command1").press(); }},
                    Trigger{"menuConvert", [](FormTest& form) { form.item("menuConvert").choose(); }},
                    Trigger{"File1DblClick", [](FormTest& form) { form.file1().dblClick(); }}),
    [](const testing::TestParamInfo<Trigger>& row) { return std::string(row.param.name); });

TEST_F(BatchTest, FirstAndLastItemsReachOneAndTheMaximum)
{
    for (const char* name : {"a.xwd", "b.xwd", "c.xwd"})
        writeDump(file(name));
    openFolder();
    file1().selectOnly({0, 2});
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
    file1().selectOnly({});
    watch();
    form->menuConvert_Click();
    EXPECT_TRUE(seen.empty());
    expectFinished();

    const std::string empty = file("empty");
    fs::create_directory(empty);
    form->Dir1->setPath(empty);
    form->Command1_Click();
    EXPECT_TRUE(seen.empty());
    expectFinished();
    EXPECT_FALSE(exists(file("a.bmp")));
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
    fs::remove(file("d.xwd"));  // gone after the list was read
    check("Check3").setValue(1);
    Names panelAtBox;
    toolkit.boxes.onShow = [&](const std::string&) { panelAtBox.push_back(status().panelText(2)); };
    toolkit.boxes.answers = {Answer::Yes, Answer::Yes};

    form->Command1_Click();

    EXPECT_EQ(shown(), (Names{"report: " + file("d.xwd") + " は \r存在しねえぞ。",
                              "ask: " + file("c.xwd") + " を\rごみ箱に移動するよ？",
                              "report: " + file("b.xwd") + " を\r変換できなかったぞ。100 バイトのヘッダーの途中でファイルが終わっている。",
                              "ask: " + file("a.xwd") + " を\rごみ箱に移動するよ？"}));
    EXPECT_EQ(panelAtBox, (Names{file("d.xwd"), file("c.xwd"), file("b.xwd"), file("a.xwd")}));
    EXPECT_EQ(file1().items, Names{"b.xwd"});
    EXPECT_EQ(file2().items, (Names{"a.bmp", "c.bmp"}));
    EXPECT_EQ(trash.names(), (Names{"a.xwd", "c.xwd"}));
    expectFinished();
}

// Without the library: one report naming it, no further file tried, and the
// window ends as after a batch.
TEST_F(BatchTest, AMissingLibraryIsReportedOnceAndEndsTheBatch)
{
    RuntimeConverterLibrary missing("libRASTREX.so", {"/nonexistent/libRASTREX.so"});
    library = RecordingLibrary(&missing);
    for (const char* name : {"a.xwd", "b.xwd", "c.xwd"})
        writeDump(file(name));
    openFolder();
    check("Check3").setValue(1);

    form->Command1_Click();

    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(shown()[0].rfind("report: 変換ライブラリ libRASTREX.so を読み込めなかったぞ。\r", 0), 0u) << shown()[0];
    EXPECT_TRUE(library.converted.empty());
    expectFinished();
    EXPECT_EQ(file1().items, (Names{"a.xwd", "b.xwd", "c.xwd"}));
    EXPECT_TRUE(file2().items.empty());
}

// Two dumps of one batch that give the same bitmap (dup.xwd and
// dup.xwd.xwd both give dup.bmp): the first one converted writes it, the
// other is reported and kept, even with deletion after conversion on.
TEST_F(BatchTest, ADumpWhoseBitmapThisBatchAlreadyWroteIsReportedAndKept)
{
    writeDump(file("dup.xwd"), 3, 2, 1);
    writeDump(file("dup.xwd.xwd"), 3, 2, 2);
    writeDump(file("other.xwd"), 3, 2, 3);
    openFolder();
    check("Check3").setValue(1);
    toolkit.boxes.answers = {Answer::Yes, Answer::Yes};

    form->Command1_Click();

    // Bottom up: other.xwd, dup.xwd.xwd, then dup.xwd.
    EXPECT_EQ(shown(), (Names{"ask: " + file("other.xwd") + " を\rごみ箱に移動するよ？",
                              "ask: " + file("dup.xwd.xwd") + " を\rごみ箱に移動するよ？",
                              "report: " + file("dup.xwd") + " を\r変換できなかったぞ。"
                                  "この一括変換で、別の xwd ファイルがすでに同じ bmp ファイルに書き出している。"}));
    EXPECT_TRUE(isBitmapOf(file("dup.bmp"), 3, 2, 2));
    EXPECT_TRUE(exists(file("dup.xwd")));
    EXPECT_EQ(trash.names(), (Names{"dup.xwd.xwd", "other.xwd"}));

    // A later batch is a new one: dup.xwd may replace the bitmap then.
    toolkit.boxes.shown.clear();
    toolkit.boxes.answers = {Answer::Yes};
    openFolder();
    form->Command1_Click();
    EXPECT_TRUE(isBitmapOf(file("dup.bmp"), 3, 2, 1));
}

// A failed or declined conversion writes nothing, so it does not hold the
// bitmap against a later dump of the batch.
TEST_F(BatchTest, OnlyAWrittenBitmapBlocksItsTwin)
{
    writeText(file("dup.xwd.xwd"), "damaged");
    writeDump(file("dup.xwd"));
    openFolder();
    form->Command1_Click();
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_NE(shown()[0].find("ヘッダーの途中"), std::string::npos);
    EXPECT_TRUE(isBitmapOf(file("dup.bmp")));
}

// Names are bytes: one that is no UTF-8 is converted under its own bytes.
TEST_F(BatchTest, ANameThatIsNoTextIsConvertedUnderItsOwnBytes)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows names are UTF-16: every one is text in the program's code page";
#endif
    const std::string odd = "\xff\xfe-\x81";
    writeDump(file(odd + ".xwd"));
    openFolder();
    ASSERT_EQ(file1().items, Names{odd + ".xwd"});
    form->Command1_Click();
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(isBitmapOf(file(odd + ".bmp")));
    EXPECT_EQ(file2().items, Names{odd + ".bmp"});
}

// The bar and panel 2 are painted when what they show changes, at most once
// per 30 ms of the toolkit's clock, and always for the first file.
TEST_F(BatchTest, ProgressIsPaintedNoMoreOftenThanTheScreenShows)
{
    struct Case {
        const char* name;
        int stepMs;  // time passing at each look at the clock
        int files;
        int paints;
    };
    const Case cases[] = {
        {"fast files", 1, 40, 2},      // the first, then once 30 ms have passed
        {"slow files", 30, 5, 5},      // every file
        {"time stands still", 0, 20, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        for (int i = 0; i < c.files; ++i)
            writeText(file(numbered("f", 100 + i)), "x");
        library = RecordingLibrary();
        openFolder();
        file1().selectAll();
        toolkit.clockNow.step = std::chrono::milliseconds(c.stepMs);
        bar().paints = 0;
        status().paints = {0, 0};
        form->Command1_Click();
        EXPECT_EQ(library.converted.size(), static_cast<std::size_t>(c.files));
        EXPECT_EQ(bar().paints, c.paints);
        EXPECT_EQ(status().paints[1], c.paints);
    }
}

// Counts and indexes beyond 16 bits: the bar and the walk use them whole.
TEST_F(BatchTest, ListsLongerThanSixteenBitIndexesAreWalkedWhole)
{
    constexpr ItemIndex kItems = 40000;
    library = RecordingLibrary();
    file1().items.clear();
    for (ItemIndex i = 0; i < kItems; ++i)
        file1().items.push_back(numbered("n", i));
    file1().picked.assign(kItems, false);
    file1().picked[kItems - 1] = file1().picked[33000] = file1().picked[5] = true;
    for (const char* name : {"n39999.xwd", "n33000.xwd", "n5.xwd"})
        writeText(file(name), "x");
    watch();
    form->Command1_Click();
    EXPECT_EQ(seen, (std::vector<Seen>{{"n39999.xwd", 1, kItems, true, file("n39999.xwd")},
                                       {"n33000.xwd", kItems - 33000, kItems, true, file("n33000.xwd")},
                                       {"n5.xwd", kItems - 5, kItems, true, file("n5.xwd")}}));
}

// The batch reads Check1 and Check3 as each file needs them; only the
// value 1 counts as on.
struct OptionCase {
    const char* name;
    int check1;
    int check3;
    std::deque<Answer> answers;
    bool overwritten;
    bool trashed;
};

void PrintTo(const OptionCase& c, std::ostream* os)
{
    *os << c.name;
}

class BatchOptionTest : public BatchTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(BatchOptionTest, FollowsTheWindowsCheckBoxes)
{
    const OptionCase& c = GetParam();
    writeDump(file("a.xwd"));
    writeText(file("a.bmp"), "old");
    openFolder();
    check("Check1").setValue(c.check1);
    check("Check3").setValue(c.check3);
    toolkit.boxes.answers = c.answers;
    form->Command1_Click();
    EXPECT_TRUE(toolkit.boxes.answers.empty());
    EXPECT_EQ(isBitmapOf(file("a.bmp")), c.overwritten);
    EXPECT_EQ(trash.names(), c.trashed ? Names{"a.xwd"} : Names{});
}

INSTANTIATE_TEST_SUITE_P(
    Checks, BatchOptionTest,
    testing::Values(OptionCase{"DeclinedKeepsBoth", 1, 1, {Answer::No}, false, false},
                    OptionCase{"AcceptedThenTrashed", 1, 1, {Answer::Yes, Answer::Yes}, true, true},
                    OptionCase{"AcceptedKept", 1, 0, {Answer::Yes}, true, false},
                    OptionCase{"UncheckedSilent", 0, 0, {}, true, false},
                    OptionCase{"GreyedAsOff", 2, 2, {}, true, false}),
    [](const testing::TestParamInfo<OptionCase>& row) { return std::string(row.param.name); });

// The user's request after file k of five (Escape or the close box): the
// files up to k are done whole, their sources in the trash, none after; the
// batch ends as usual, "中断" in panel 1 while selected files were left, and
// the close box then unloads both windows. Conversion runs with deletion
// after conversion on; deletion deletes the same five dumps from File1.
// Only the last `selected` dumps are selected; with `twin` the last one is
// d3.xwd.xwd, so d3.xwd, whose bitmap it wrote, is reported and kept.
struct StopCase {
    const char* name;
    bool deleting;
    int after;
    BatchRequest request;
    const char* panel1;
    int selected = 5;
    bool twin = false;
};

void PrintTo(const StopCase& c, std::ostream* os)
{
    *os << c.name;
}

class BatchStopTest : public BatchTest, public testing::WithParamInterface<StopCase> {};

TEST_P(BatchStopTest, EndsAfterTheFileInHand)
{
    const StopCase& c = GetParam();
    constexpr int kFiles = 5;
    Names names;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back(c.twin && i == kFiles - 1 ? "d3.xwd.xwd" : numbered("d", i));
        writeDump(file(names.back()), 3, 2, static_cast<std::uint8_t>(i));
    }
    openFolder();
    for (int i = 0; i < kFiles - c.selected; ++i)
        file1().picked[static_cast<std::size_t>(i)] = false;
    trash.shellAsks = true;  // no question box of ours
    check("Check3").setValue(kCheckOn);
    item("menuVersion").choose();
    toolkit.requests = {{toolkit.betweenCalls + c.after, c.request}};

    c.deleting ? item("menuDelete1").choose() : button("Command1").press();

    // Bottom up: the last name first.
    Names gone, bitmaps;
    for (int i = kFiles - 1; i >= kFiles - c.after; --i) {
        const std::string& name = names[static_cast<std::size_t>(i)];
        const std::string bmp = name.substr(0, name.find('.')) + ".bmp";
        if (std::find(bitmaps.begin(), bitmaps.end(), bmp) != bitmaps.end())
            continue;
        gone.push_back(name);
        if (!c.deleting) {
            bitmaps.push_back(bmp);
            EXPECT_TRUE(isBitmapOf(file(bmp), 3, 2, static_cast<std::uint8_t>(i))) << bmp;
        }
    }
    std::sort(gone.begin(), gone.end());
    std::sort(bitmaps.begin(), bitmaps.end());
    EXPECT_EQ(trash.names(), gone);
    EXPECT_EQ(file2().items, bitmaps);
    EXPECT_EQ(file1().items.size(), kFiles - gone.size());
    EXPECT_FALSE(bar().visible());
    EXPECT_EQ(bar().value(), 0);
    EXPECT_EQ(status().panelText(1), c.panel1);
    if (!c.deleting) {
        EXPECT_EQ(status().panelText(2), "");
    }
    const bool closing = c.request == BatchRequest::Close;
    EXPECT_EQ(window().loaded(), !closing);
    EXPECT_EQ(form->aboutForm() == nullptr, closing);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, BatchStopTest,
    testing::Values(StopCase{"ConvertStopAfterFirst", false, 1, BatchRequest::Stop, "中断"},
                    StopCase{"ConvertStopAfterThird", false, 3, BatchRequest::Stop, "中断"},
                    StopCase{"ConvertStopAfterLastIsDone", false, 5, BatchRequest::Stop, "完了"},
                    StopCase{"ConvertCloseAfterSecond", false, 2, BatchRequest::Close, "中断"},
                    StopCase{"ConvertStopAfterATwin", false, 2, BatchRequest::Stop, "中断", 5, true},
                    StopCase{"ConvertStopWithOnlyUnselectedLeftIsDone", false, 2, BatchRequest::Stop, "完了", 2},
                    StopCase{"DeleteStopWithOnlyUnselectedLeftIsDone", true, 2, BatchRequest::Stop, "レディ", 2},
                    StopCase{"DeleteStopAfterSecond", true, 2, BatchRequest::Stop, "中断"},
                    StopCase{"DeleteStopAfterLastIsDone", true, 5, BatchRequest::Stop, ""},
                    StopCase{"DeleteCloseAfterFirst", true, 1, BatchRequest::Close, "中断"}),
    [](const testing::TestParamInfo<StopCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace rastrex::test
