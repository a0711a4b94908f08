// rastrex-convert's words and its threads: the question and the summary as
// the user reads them, and 中止 with several files converted at once.
#include <gtest/gtest.h>

#include "batch_fixture.h"
#include "scripted_verb_ui.h"
#include "summary.h"
#include "verb_texts.h"

namespace rastrex::test {
namespace {

TEST(VerbTexts, QuestionNamesTheCount)
{
    EXPECT_EQ(verb::overwriteQuestion(1), "1 個の BMP ファイルがすでにある。上書きするか?");
    EXPECT_EQ(verb::overwriteQuestion(1000), "1000 個の BMP ファイルがすでにある。上書きするか?");
}

TEST(VerbTexts, ProgressNamesTheFileAndTheCount)
{
    EXPECT_EQ(verb::progressText({3, 10, "/home/u/a.xwd"}), "/home/u/a.xwd\n3 / 10");
}

struct SummaryCase {
    const char* name;
    verb::Tally tally;
    std::string text;
};

void PrintTo(const SummaryCase& c, std::ostream* os) { *os << c.name; }

class VerbSummary : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(VerbSummary, CountsThenCauses)
{
    const SummaryCase& c = GetParam();
    const verb::Summary s = verb::summarize(c.tally);
    EXPECT_EQ(s.text, c.text);
    EXPECT_EQ(s.converted, c.tally.converted);
    EXPECT_EQ(s.cutShort, c.tally.cutShort);
    EXPECT_EQ(s.notConverted, c.tally.notConverted);
    EXPECT_EQ(s.kept, c.tally.kept);
    EXPECT_EQ(s.notStarted, c.tally.notStarted);
}

const std::string kCounts = "変換した: 2 個\n途中で切れていた (黒で埋めて変換した): 1 個\n変換できなかった: 3 個";

INSTANTIATE_TEST_SUITE_P(Tallies, VerbSummary, ::testing::Values(
    SummaryCase{"all_converted", {5, 0, 0, 0, 0, {}},
                "変換した: 5 個\n途中で切れていた (黒で埋めて変換した): 0 個\n変換できなかった: 0 個"},
    SummaryCase{"with_causes", {2, 1, 3, 0, 0, {"a", "b"}}, kCounts + "\n\na\nb"},
    SummaryCase{"kept", {2, 1, 3, 4, 0, {}}, kCounts + "\n上書きせずに残した BMP ファイル: 4 個"},
    SummaryCase{"stopped", {2, 1, 3, 0, 7, {"a"}}, kCounts + "\n中止したので変換しなかった: 7 個\n\na"},
    SummaryCase{"kept_and_stopped", {2, 1, 3, 1, 1, {}},
                kCounts + "\n上書きせずに残した BMP ファイル: 1 個\n中止したので変換しなかった: 1 個"}));

// One outcome of xwd2bmp's conversion, as the summary counts it.
struct OutcomeCase {
    const char* name;
    cli::Conversion conversion;
    verb::Outcome::Kind kind;
    std::string text;  // its beginning
};

void PrintTo(const OutcomeCase& c, std::ostream* os) { *os << c.name; }

class VerbOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(VerbOutcome, KindAndWords)
{
    const OutcomeCase& c = GetParam();
    const verb::Outcome o = verb::outcomeOf("d.xwd", c.conversion);
    EXPECT_EQ(o.kind, c.kind);
    EXPECT_EQ(o.text.substr(0, c.text.size()), c.text) << o.text;
    EXPECT_EQ(o.text.find('\r'), std::string::npos);
}

DumpProbe probeOf(DumpProbe::State state)
{
    DumpProbe p;
    p.state = state;
    p.width = 4;
    p.height = 2;
    p.wholeRows = 1;
    p.planeRows = 1;
    return p;
}

INSTANTIATE_TEST_SUITE_P(Conversions, VerbOutcome, ::testing::Values(
    OutcomeCase{"whole", {true, RASTREX_OK, probeOf(DumpProbe::State::Whole), {}}, verb::Outcome::Kind::Converted, ""},
    OutcomeCase{"ends_early", {true, RASTREX_OK, probeOf(DumpProbe::State::EndsEarly), {}},
                verb::Outcome::Kind::CutShort, "d.xwd は途中で切れているぞ。2 行のうち 1 行しかない。"},
    OutcomeCase{"mostly_missing", {false, 0, probeOf(DumpProbe::State::MostlyMissing), {}},
                verb::Outcome::Kind::NotConverted, "d.xwd を変換しなかったぞ。途中で切れていて、4×2 の"},
    OutcomeCase{"not_written", {true, RASTREX_ERR_WRITE_OUTPUT, probeOf(DumpProbe::State::Whole), {FileFailure::NoSpace, 0}},
                verb::Outcome::Kind::NotConverted, "d.xwd を変換できなかったぞ。BMP ファイルを書き込めない。ディスクがいっぱいだ。"},
    OutcomeCase{"not_opened", {true, RASTREX_ERR_OPEN_INPUT, probeOf(DumpProbe::State::Unknown), {FileFailure::NoPermission, 0}},
                verb::Outcome::Kind::NotConverted, "d.xwd を変換できなかったぞ。XWD ファイルを開けない。読む権限がない。"},
    OutcomeCase{"unreadable", {true, RASTREX_ERR_READ_INPUT, probeOf(DumpProbe::State::NotADump), {}},
                verb::Outcome::Kind::NotConverted, "d.xwd を変換できなかったぞ。XWD ファイルが壊れているか、空っぽだ。"}));

// Several files at once: 中止 still stops at the files in hand, and the
// bar reaches every file.
struct ThreadCase {
    const char* name;
    unsigned jobs;
    std::size_t cancelAfter;
    std::size_t converted;
};

void PrintTo(const ThreadCase& c, std::ostream* os) { *os << c.name; }

class VerbThreads : public ::testing::TestWithParam<ThreadCase> {};

TEST_P(VerbThreads, StopsAfterTheFilesInHand)
{
    const ThreadCase& c = GetParam();
    constexpr std::size_t kFiles = 12;
    TempDir dir;
    TempDir scratch;
    std::vector<std::string> args;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kFiles; ++i)
        names.push_back(std::string("d").append(std::to_string(i + 10)).append(".xwd"));
    makeDumps(dir.path(), names);
    for (const std::string& n : names)
        args.push_back(nativePath(dir.path() / n));
    ScriptedVerbUi ui;
    ui.cancelAfter = c.cancelAfter;
    const verb::VerbStatus status = verb::runVerb(args, nullptr, ui, verb::VerbSettings{c.jobs});
    EXPECT_EQ(status, c.converted == kFiles ? verb::VerbStatus::Success : verb::VerbStatus::Failure);
    ASSERT_EQ(ui.summaries.size(), 1u);
    EXPECT_EQ(ui.summaries[0].converted, c.converted);
    EXPECT_EQ(ui.summaries[0].notStarted, kFiles - c.converted);
    std::size_t written = 0;
    for (const std::string& n : names) {
        const fs::path bitmap = dir.path() / (n.substr(0, 3) + ".bmp");
        if (!fs::exists(bitmap))
            continue;
        ++written;
        EXPECT_EQ(readFile(bitmap), converted(dir.path() / n, scratch.path() / "ref.bmp")) << bitmap;
    }
    EXPECT_EQ(written, c.converted);
    ASSERT_FALSE(ui.progress.empty());
    for (std::size_t i = 1; i < ui.progress.size(); ++i)
        EXPECT_LE(ui.progress[i - 1].done, ui.progress[i].done);
    EXPECT_EQ(ui.progress.back().done, c.converted);
    // One worker takes the files in order: the last in hand is the last one.
    if (c.jobs == 1) {
        EXPECT_EQ(ui.progress.back().current, args.back());
    }
    EXPECT_EQ(ui.progress.back().total, kFiles);
}

INSTANTIATE_TEST_SUITE_P(Jobs, VerbThreads, ::testing::Values(
    ThreadCase{"one_worker_all", 1, std::numeric_limits<std::size_t>::max(), 12},
    ThreadCase{"three_workers_all", 3, std::numeric_limits<std::size_t>::max(), 12},
    ThreadCase{"three_workers_stopped", 3, 5, 5},
    ThreadCase{"more_workers_than_files", 20, std::numeric_limits<std::size_t>::max(), 12},
    ThreadCase{"two_workers_stopped_at_once", 2, 0, 0}));

}  // namespace
}  // namespace rastrex::test
