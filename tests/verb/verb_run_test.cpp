// rastrex-convert's logic from a scripted front end: what it gathers, when
// it asks, what it replaces and keeps, where 中止 stops it, and what the
// summary says. Every bitmap written is compared with the library's own.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "batch_fixture.h"
#include "rastrex.h"
#include "scripted_verb_ui.h"
#include "verb_texts.h"

namespace rastrex::test {
namespace {

enum class Kind {
    Dump,       // a whole dump
    CutShort,   // a 5x3 dump holding 1 row of its 3
    Mostly,     // a 100x100 dump holding under 1% of its pixels
    WidthZero,  // a header the library refuses: a width of 0
    Text,       // no dump at all
    OldBitmap,  // a bitmap already there, which only "yes" replaces
    Fifo,       // a named pipe, where the system has them: no file to convert
    Folder,     // an empty folder
};

Bytes bytesOf(Kind kind, std::uint32_t seed)
{
    switch (kind) {
    case Kind::Dump: return dumpBytes(seed);
    case Kind::CutShort: {
        Bytes b = dumpBytes(seed);
        b.resize(b.size() - 25);  // 60 bytes of pixels, 35 left: one whole row
        return b;
    }
    case Kind::Mostly: {
        Bytes b = dumpBytes(seed, 100, 100);
        b.resize(b.size() - 40000 + 100);
        return b;
    }
    case Kind::WidthZero: {
        XwdRecipe r = canonicalDump(5, 3, patternPixel);
        r.word(4) = 0;
        return r.bytes();
    }
    case Kind::Text: return {'h', 'e', 'l', 'l', 'o', '\n'};
    case Kind::OldBitmap: return {'B', 'M', 'o', 'l', 'd'};
    case Kind::Fifo:
    case Kind::Folder: break;
    }
    return {};
}

constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();
using Status = verb::VerbStatus;

struct Case {
    const char* name;
    std::map<std::string, Kind> files;
    std::vector<std::string> args;  // "@" stands for the test's folder and a separator
    std::optional<bool> answer;     // to the question, when it is asked
    std::size_t cancelAfter = kNever;
    Status status = Status::Success;
    std::vector<std::size_t> asked{};  // the question's n, when asked
    std::string told{};                // the message instead of a run
    // converted, cut short, not converted, kept, not started
    std::array<std::size_t, 5> counts{};
    // The bitmaps written, each the library's bitmap of its dump.
    std::map<std::string, std::string> written{};
    std::vector<std::string> lines{};  // in the summary, in this order
    std::string input{};               // standard input, for --files-from=-
    bool utf16 = false;                // the input in UTF-16LE after its byte-order mark
};

// `s` (ASCII) in UTF-16LE after its byte-order mark, as Explorer's handler
// writes the names.
std::string utf16(const std::string& s)
{
    std::string out = "\xFF\xFE";
    for (const char ch : s)
        out += std::string{ch, '\0'};
    return out;
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class VerbRun : public ::testing::TestWithParam<Case> {};

TEST_P(VerbRun, GathersAsksConvertsAndSums)
{
    const Case& c = GetParam();
    TempDir dir;
    TempDir scratch;
    std::uint32_t seed = 0;
    for (const auto& [name, kind] : c.files) {
        fs::create_directories((dir.path() / name).parent_path());
        if (kind == Kind::Folder) {
            fs::create_directories(dir.path() / name);
            continue;
        }
        if (kind != Kind::Fifo) {
            writeFile(dir.path() / name, bytesOf(kind, seed++));
            continue;
        }
#if defined(_WIN32)
        GTEST_SKIP() << "no named pipes in the file system";
#else
        ASSERT_EQ(mkfifo((dir.path() / name).c_str(), 0600), 0);
#endif
    }
    std::map<std::string, Bytes> before;
    for (const std::string& name : filesUnder(dir.path()))
        before[name] = readFile(dir.path() / name);

    ScriptedVerbUi ui;
    ui.answer = c.answer;
    ui.cancelAfter = c.cancelAfter;
    const std::string input = spelled(c.input, dir.path());
    std::istringstream in(c.utf16 ? utf16(input) : input);
    std::vector<std::string> args;
    for (const std::string& a : c.args)
        args.push_back(spelled(a, dir.path()));
    EXPECT_EQ(verb::runVerb(args, &in, ui, verb::VerbSettings{1}), c.status);
    EXPECT_EQ(ui.asked, c.asked);
    EXPECT_EQ(ui.progressBeforeAsk, 0u) << "a file was converted before the question";

    // Nothing is lost: every file is there still, untouched unless its
    // bitmap was to be written; the bitmaps written are the library's.
    const std::set<std::string> after = filesUnder(dir.path());
    std::set<std::string> changed;
    for (const std::string& name : after)
        if (!before.contains(name) || readFile(dir.path() / name) != before[name])
            changed.insert(name);
    std::set<std::string> expected;
    for (const auto& [bitmap, dump] : c.written) {
        expected.insert(bitmap);
        EXPECT_EQ(readFile(dir.path() / bitmap), converted(dir.path() / dump, scratch.path() / "ref.bmp"))
            << bitmap << " is not the library's bitmap of " << dump;
    }
    EXPECT_EQ(changed, expected);
    for (const auto& [name, bytes] : before)
        EXPECT_TRUE(after.contains(name)) << name << " is gone";

    if (!c.told.empty()) {
        EXPECT_EQ(ui.told, std::vector<std::string>{c.told});
        EXPECT_TRUE(ui.summaries.empty());
        EXPECT_TRUE(ui.progress.empty());
        return;
    }
    EXPECT_TRUE(ui.told.empty());
    ASSERT_EQ(ui.summaries.size(), 1u);
    const verb::Summary& s = ui.summaries.front();
    EXPECT_EQ((std::array{s.converted, s.cutShort, s.notConverted, s.kept, s.notStarted}), c.counts);
    std::size_t at = 0;
    for (const std::string& line : c.lines) {
        const std::size_t found = s.text.find(spelled(line, dir.path()), at);
        EXPECT_NE(found, std::string::npos) << "no \"" << line << "\" in:\n" << s.text;
        at = found == std::string::npos ? at : found + 1;
    }
    // The bar ends at the files started, of all there were to convert.
    ASSERT_FALSE(ui.progress.empty());
    const verb::Progress& last = ui.progress.back();
    EXPECT_EQ(last.done + s.notStarted, last.total);
}

const std::map<std::string, Kind> kThree{{"a.xwd", Kind::Dump}, {"b.xwd", Kind::Dump}, {"c.xwd", Kind::Dump}};
const std::map<std::string, Kind> kTwoOld{{"a.xwd", Kind::Dump}, {"b.xwd", Kind::Dump}, {"c.xwd", Kind::Dump},
                                          {"a.bmp", Kind::OldBitmap}, {"b.bmp", Kind::OldBitmap}};
const std::map<std::string, std::string> kThreeWritten{{"a.bmp", "a.xwd"}, {"b.bmp", "b.xwd"}, {"c.bmp", "c.xwd"}};

INSTANTIATE_TEST_SUITE_P(Selections, VerbRun, ::testing::Values(
    // No dump: said so, nothing converted, nothing asked.
    Case{"text_file_only", {{"a.txt", Kind::Text}}, {"@a.txt"}, {}, kNever, Status::Failure, {}, verb::kNoDumpText},
    Case{"nothing_named", {}, {}, {}, kNever, Status::Failure, {}, verb::kNoDumpText},
    Case{"missing_file_not_named_as_dump", {}, {"@gone.png"}, {}, kNever, Status::Failure, {}, verb::kNoDumpText},
    Case{"text_beside_its_bitmap", {{"a.txt", Kind::Text}, {"a.txt.BMP", Kind::OldBitmap}}, {"@a.txt"}, {}, kNever,
         Status::Failure, {}, verb::kNoDumpText},
    Case{"option_after_double_dash_is_a_name", kThree, {"--", "--files-from=-"}, {}, kNever, Status::Failure, {},
         verb::kNoDumpText, {}, {}, {}, "@a.xwd\n"},
    // Plain runs; a dump named otherwise is known by its header.
    Case{"three_dumps", kThree, {"@a.xwd", "@b.xwd", "@c.xwd"}, {}, kNever, Status::Success, {}, {},
         {3, 0, 0, 0, 0}, kThreeWritten},
    Case{"dump_named_otherwise", {{"pic.dat", Kind::Dump}}, {"@pic.dat"}, {}, kNever, Status::Success, {}, {},
         {1, 0, 0, 0, 0}, {{"pic.dat.BMP", "pic.dat"}}},
    Case{"broken_dump_named_otherwise", {{"bad.dat", Kind::WidthZero}}, {"@bad.dat"}, {}, kNever, Status::Failure, {},
         {}, {0, 0, 1, 0, 0}, {}, {"@bad.dat を変換できなかったぞ。"}},
    Case{"empty_folder_among_dumps", {{"a.xwd", Kind::Dump}, {"empty", Kind::Folder}}, {"@empty", "@a.xwd"}, {},
         kNever, Status::Success, {}, {}, {1, 0, 0, 0, 0}, {{"a.bmp", "a.xwd"}}},
    Case{"same_dump_twice", {{"a.xwd", Kind::Dump}}, {"@a.xwd", "@a.xwd"}, {}, kNever, Status::Success, {}, {},
         {1, 0, 0, 0, 0}, {{"a.bmp", "a.xwd"}}},
    Case{"after_double_dash", {{"-a.xwd", Kind::Dump}}, {"--", "@-a.xwd"}, {}, kNever, Status::Success, {}, {},
         {1, 0, 0, 0, 0}, {{"-a.bmp", "-a.xwd"}}},
    // The question: asked once for all, before anything is converted.
    Case{"existing_replaced", kTwoOld, {"@a.xwd", "@b.xwd", "@c.xwd"}, true, kNever, Status::Success, {2}, {},
         {3, 0, 0, 0, 0}, kThreeWritten},
    Case{"existing_kept", kTwoOld, {"@a.xwd", "@b.xwd", "@c.xwd"}, false, kNever, Status::Success, {2}, {},
         {1, 0, 0, 2, 0}, {{"c.bmp", "c.xwd"}}, {"上書きせずに残した BMP ファイル: 2 個"}},
    Case{"only_existing_kept", {{"a.xwd", Kind::Dump}, {"a.bmp", Kind::OldBitmap}}, {"@a.xwd"}, false, kNever,
         Status::Success, {1}, {}, {0, 0, 0, 1, 0}},
    Case{"existing_not_named_no_question", {{"a.xwd", Kind::Dump}, {"b.bmp", Kind::OldBitmap}}, {"@a.xwd"}, {},
         kNever, Status::Success, {}, {}, {1, 0, 0, 0, 0}, {{"a.bmp", "a.xwd"}}},
    // 中止 after the file in hand: the bitmaps written are whole.
    Case{"cancel_after_two", {{"a.xwd", Kind::Dump}, {"b.xwd", Kind::Dump}, {"c.xwd", Kind::Dump}, {"d.xwd", Kind::Dump}},
         {"@a.xwd", "@b.xwd", "@c.xwd", "@d.xwd"}, {}, 2, Status::Failure, {}, {}, {2, 0, 0, 0, 2},
         {{"a.bmp", "a.xwd"}, {"b.bmp", "b.xwd"}}, {"中止したので変換しなかった: 2 個"}},
    Case{"cancel_at_once", kThree, {"@a.xwd", "@b.xwd", "@c.xwd"}, {}, 0, Status::Failure, {}, {}, {0, 0, 0, 0, 3}},
    Case{"cancel_after_kept", kTwoOld, {"@a.xwd", "@b.xwd", "@c.xwd"}, false, 0, Status::Failure, {2}, {},
         {0, 0, 0, 2, 1}},
    Case{"named_pipe_otherwise_named", {{"a.xwd", Kind::Dump}, {"p.dat", Kind::Fifo}}, {"@p.dat", "@a.xwd"}, {},
         kNever, Status::Failure, {}, {}, {1, 0, 1, 0, 0}, {{"a.bmp", "a.xwd"}}, {"@p.dat を開けないぞ。ファイルではない。"}},
    Case{"named_pipe_only", {{"p.dat", Kind::Fifo}}, {"@p.dat"}, {}, kNever, Status::Failure, {}, verb::kNoDumpText},
    // Failures, in the window's words and in the selection's order.
    Case{"cut_short", {{"cut.xwd", Kind::CutShort}}, {"@cut.xwd"}, {}, kNever, Status::Failure, {}, {},
         {0, 1, 0, 0, 0}, {{"cut.bmp", "cut.xwd"}},
         {"途中で切れていた (黒で埋めて変換した): 1 個", "@cut.xwd は途中で切れているぞ。3 行のうち 1 行しかない。残りは黒になった。"}},
    Case{"mostly_missing", {{"m.xwd", Kind::Mostly}}, {"@m.xwd"}, {}, kNever, Status::Failure, {}, {},
         {0, 0, 1, 0, 0}, {}, {"@m.xwd を変換しなかったぞ。途中で切れていて、100×100 の画素が 1% も残っていない。"}},
    Case{"broken_header", {{"bad.xwd", Kind::WidthZero}}, {"@bad.xwd"}, {}, kNever, Status::Failure, {}, {},
         {0, 0, 1, 0, 0}, {}, {"変換できなかった: 1 個", "@bad.xwd を変換できなかったぞ。"}},
    Case{"missing_dump", {{"a.xwd", Kind::Dump}}, {"@gone.xwd", "@a.xwd"}, {}, kNever, Status::Failure, {}, {},
         {1, 0, 1, 0, 0}, {{"a.bmp", "a.xwd"}}, {"@gone.xwd は 存在しねえぞ。"}},
    Case{"only_missing_dump", {}, {"@gone.xwd"}, {}, kNever, Status::Failure, {}, {}, {0, 0, 1, 0, 0}, {},
         {"@gone.xwd は 存在しねえぞ。"}},
    Case{"two_dumps_one_bitmap", {{"a.xwd", Kind::Dump}, {"a.xwd.xwd", Kind::Dump}}, {"@a.xwd", "@a.xwd.xwd"}, {},
         kNever, Status::Failure, {}, {}, {1, 0, 1, 0, 0}, {{"a.bmp", "a.xwd"}},
         {"@a.xwd.xwd を変換できなかったぞ。not converted: "}},
    Case{"named_pipe", {{"a.xwd", Kind::Dump}, {"p.xwd", Kind::Fifo}}, {"@p.xwd", "@a.xwd"}, {}, kNever,
         Status::Failure, {}, {}, {1, 0, 1, 0, 0}, {{"a.bmp", "a.xwd"}}, {"@p.xwd を開けないぞ。ファイルではない。"}},
    Case{"text_among_dumps", {{"a.xwd", Kind::Dump}, {"t.txt", Kind::Text}}, {"@t.txt", "@a.xwd"}, {}, kNever,
         Status::Failure, {}, {}, {1, 0, 1, 0, 0}, {{"a.bmp", "a.xwd"}},
         {"@t.txt を変換できなかったぞ。100 バイトのヘッダーの途中でファイルが終わっている。"}},
    Case{"failures_in_selection_order",
         {{"a.xwd", Kind::Mostly}, {"b.xwd", Kind::CutShort}, {"c.xwd", Kind::WidthZero}},
         {"@c.xwd", "@gone.xwd", "@b.xwd", "@a.xwd"}, {}, kNever, Status::Failure, {}, {}, {0, 1, 3, 0, 0},
         {{"b.bmp", "b.xwd"}}, {"@c.xwd を変換", "@gone.xwd は", "@b.xwd は途中", "@a.xwd を変換しなかった"}},
    // Names on standard input, as Explorer's handler hands them over.
    Case{"names_from_input", kThree, {"--files-from=-"}, {}, kNever, Status::Success, {}, {}, {3, 0, 0, 0, 0},
         kThreeWritten, {}, "@a.xwd\n@b.xwd\r\n@c.xwd\n"},
    Case{"names_from_input_in_utf16", kThree, {"--files-from=-"}, {}, kNever, Status::Success, {}, {},
         {3, 0, 0, 0, 0}, kThreeWritten, {}, "@a.xwd\r\n@b.xwd\r\n@c.xwd", true},
    Case{"names_from_input_with_args", kThree, {"@a.xwd", "--files-from=-"}, {}, kNever, Status::Success, {}, {},
         {2, 0, 0, 0, 0}, {{"a.bmp", "a.xwd"}, {"b.bmp", "b.xwd"}}, {}, "@b.xwd\n"},
    Case{"names_from_empty_input", kThree, {"--files-from=-"}, {}, kNever, Status::Failure, {}, verb::kNoDumpText},
    Case{"names_from_a_file", kThree, {"--files-from=@list"}, {}, kNever, Status::Usage, {},
         "変換するファイルの一覧を読めない。名前は標準入力 (-) からだけ読む。"}));

}  // namespace
}  // namespace rastrex::test
