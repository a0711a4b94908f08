// doMain, FileUti and the paths the commands build, with the real library
// and the machine's file system.
#if defined(_WIN32)
#include <windows.h>
#else
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <tuple>

#include "app_files.h"
#include "file_uti.h"
#include "folder_listing.h"
#include "main_form.h"
#include "pane_paths.h"
#include "scripted_toolkit.h"
#include "single_conversion.h"

namespace rastrex::test {
namespace {

using Answer = MessageBoxes::Answer;
using Names = std::vector<std::string>;

TEST(DropFolderFor, IsTheFolderHoldingTheDroppedItem)
{
    struct Case {
        std::string path, volumeRoot, folder;
    };
    const Case cases[] = {
        {"/data/shots/a.xwd", "/", "/data/shots"},
        {"/a.xwd", "/", "/"},  // a file in the root
        {"/media/usb/a.xwd", "/media/usb", "/media/usb"},
        {"/media/usb/a.xwd", "/media/usb/", "/media/usb"},
        {"/data/shots/", "/", "/data"},  // a dropped folder
        {"/data", "/", "/"},
        {"/data/a.xwd", "", ""},  // on no listed volume
        {"a.xwd", "/", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dropFolderFor(c.path, c.volumeRoot), c.folder) << c.path << " on " << c.volumeRoot;
}

// What stands at the tested path before FileExists looks at it.
enum class Thing { Nothing, EmptyFile, File, Folder, Fifo, Unreadable, LinkToFile, DanglingLink, DeepFile };

#if !defined(_WIN32)
// What `files` finds at `path` when a user without root's rights looks:
// root reads every file, so the open is made by a child that gave them up.
FileFailure probeUnprivileged(const std::string& path)
{
    std::string variable = path;
    SystemFileSystem files;
    if (geteuid() != 0)
        return FileUti::ProbeFile(variable, files).kind;
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(100);
        _exit(static_cast<int>(FileUti::ProbeFile(variable, files).kind));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 100)
        throw std::runtime_error("cannot look as an unprivileged user");
    return static_cast<FileFailure>(WEXITSTATUS(status));
}
#endif

TEST(FileExists, TellsWhyAndTrimsOneSeparator)
{
    using S = FileFailure;
    struct Case {
        const char* name;
        Thing thing;
        std::string suffix;  // appended to the thing's path in the caller's variable
        FileFailure expected;
        std::string suffixAfter;  // what is left of the suffix after the call
    };
#if defined(_WIN32)
    // An unreadable file is one another program holds without sharing.
    constexpr FileFailure kUnreadable = S::InUse;
#else
    constexpr FileFailure kUnreadable = S::NoPermission;
#endif
    const Case cases[] = {
        {"EmptyFile", Thing::EmptyFile, "", S::None, ""},
        {"File", Thing::File, "", S::None, ""},
        {"FileWithSeparator", Thing::File, "/", S::None, ""},
        {"Folder", Thing::Folder, "", S::FolderInTheWay, ""},
        {"FolderWithSeparator", Thing::Folder, "/", S::FolderInTheWay, ""},
        {"FolderWithTwoSeparators", Thing::Folder, "//", S::FolderInTheWay, "/"},
        {"Missing", Thing::Nothing, "", S::NotFound, ""},
        // A named pipe must neither count as a file nor hang the open.
        {"NamedPipe", Thing::Fifo, "", S::NotAFile, ""},
        {"Unreadable", Thing::Unreadable, "", kUnreadable, ""},
        {"LinkToFile", Thing::LinkToFile, "", S::None, ""},
        {"DanglingLink", Thing::DanglingLink, "", S::NotFound, ""},
        // A zero byte would otherwise cut the path to an existing file.
        {"ZeroInName", Thing::File, std::string("\0x", 2), S::Other, std::string("\0x", 2)},
        // Deeper than the 260 characters of Windows' "A" functions.
        {"DeepFile", Thing::DeepFile, "", S::None, ""},
    };
    SystemFileSystem files;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#if defined(_WIN32)
        // No named pipes or links in a folder here.
        if (c.thing == Thing::Fifo || c.thing == Thing::LinkToFile || c.thing == Thing::DanglingLink)
            continue;
        HANDLE held = INVALID_HANDLE_VALUE;
#endif
        TempDir dir;
        std::string p = (dir / "thing").string();
        std::unique_ptr<DeepFolder> deep;
        switch (c.thing) {
        case Thing::Nothing: break;
        case Thing::EmptyFile: writeText(p, ""); break;
        case Thing::File: writeText(p, "data"); break;
        case Thing::Folder: fs::create_directory(p); break;
        case Thing::DeepFile:
            deep = std::make_unique<DeepFolder>(dir.path(), 300, "a.xwd", dumpBytes(1, 1));
            p = deep->file();
            break;
#if defined(_WIN32)
        case Thing::Fifo: break;
        case Thing::Unreadable:
            writeText(p, "data");
            held = CreateFileA(p.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            break;
#else
        case Thing::Fifo: ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); break;
        case Thing::Unreadable:
            writeText(p, "data");
            ASSERT_EQ(::chmod(p.c_str(), 0), 0);
            // The folder lets anybody in, so only the file's own mode refuses.
            fs::permissions(dir.path(), fs::perms::all);
            EXPECT_EQ(probeUnprivileged(p), c.expected);
            continue;
#endif
        case Thing::LinkToFile:
            writeText((dir / "target").string(), "data");
            fs::create_symlink(dir / "target", p);
            break;
        case Thing::DanglingLink: fs::create_symlink(dir / "gone", p); break;
        }
        std::string variable = p + c.suffix;
        EXPECT_EQ(FileUti::ProbeFile(variable, files).kind, c.expected);
        EXPECT_EQ(variable, p + c.suffixAfter);
        variable = p + c.suffix;
        EXPECT_EQ(FileUti::FileExists(variable, files), c.expected == S::None);
#if defined(_WIN32)
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
#endif
    }
    std::string empty;
    EXPECT_FALSE(FileUti::FileExists(empty, files));
}

TEST(FileExists, LeavesNoHandleOpen)
{
    TempDir dir;
    std::string p = (dir / "a.xwd").string();
    writeText(p, "data");
#if defined(_WIN32)
    const auto handles = [] {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return count;
    };
#else
    const auto handles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
#endif
    SystemFileSystem files;
    const auto before = handles();
    EXPECT_TRUE(FileUti::FileExists(p, files));
    EXPECT_TRUE(FileUti::FileExists(p, files));
    EXPECT_EQ(handles(), before);
}

TEST(MoveToRecycleBin, AsksThenMovesOrReports)
{
    struct Case {
        const char* name;
        std::deque<Answer> answers;
        std::string refusal;
        std::int32_t result;
        Names shown;  // after the path
        bool moved;
        bool shell = false;  // the trash asks itself, as the Windows shell does
        bool shellNo = false;  // and the user says No there
        bool refusalShown = false;  // the shell showed its refusal in its own box
    };
    const Case cases[] = {
        {"yes", {Answer::Yes}, "", FileUti::kMovedToTrash, {"ask: #a.xwd を\rごみ箱に移動するよ？"}, true},
        {"no", {Answer::No}, "", FileUti::kMoveDeclined, {"ask: #a.xwd を\rごみ箱に移動するよ？"}, false},
        {"refused", {Answer::Yes}, "理由", FileUti::kMoveFailed,
         {"ask: #a.xwd を\rごみ箱に移動するよ？", "report: #a.xwd を\rごみ箱に移動できなかったぞ。\r理由"}, false},
        // The shell's own question and error boxes are the only ones.
        {"shellYes", {}, "", FileUti::kMovedToTrash, {}, true, true},
        {"shellNo", {}, "", FileUti::kMoveDeclined, {}, false, true, true},
        {"shellShowedItsError", {}, "理由", FileUti::kMoveFailed, {}, false, true, false, true},
        {"shellShowedNothing", {}, "理由", FileUti::kMoveFailed,
         {"report: #a.xwd を\rごみ箱に移動できなかったぞ。\r理由"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string p = (dir / "a.xwd").string();
        writeText(p, "dump");
        FolderRecycleBin bin(dir / "bin");
        bin.refusal = c.refusal;
        bin.refusalShown = c.refusalShown;
        bin.shellAsks = c.shell;
        bin.declines = c.shellNo;
        ScriptedBoxes boxes;
        boxes.answers = c.answers;
        EXPECT_EQ(FileUti::MoveToRecycleBin(p, boxes, bin, nullptr), c.result);
        Names expected;
        for (std::string s : c.shown)
            expected.push_back(s.replace(s.find('#'), 1, folderPrefix(dir.path().string())));
        EXPECT_EQ(boxes.shown, expected);
        EXPECT_EQ(exists(p), !c.moved);
    }
}

// One call of doMain in a fresh folder holding a.xwd (unless missing), and
// perhaps an old a.bmp, with the real library.
struct Scenario {
    const char* name;
    bool sourceExists;
    bool targetExists;
    int check1;
    int check3;
    std::deque<Answer> answers;
    ConversionOutcome outcome;
    bool askedOverwrite;
    bool askedTrash;
    bool targetWritten;  // a.bmp is now the picture of a.xwd
    bool sourceTrashed;
};

void PrintTo(const Scenario& s, std::ostream* os)
{
    *os << s.name;
}

class DoMainTest : public testing::TestWithParam<Scenario> {};

TEST_P(DoMainTest, FollowsTheOptionsAndAnswers)
{
    const Scenario& s = GetParam();
    TempDir dir;
    const std::string source = (dir / "a.xwd").string();
    const std::string target = (dir / "a.bmp").string();
    if (s.sourceExists)
        writeDump(source);
    if (s.targetExists)
        writeText(target, "old bitmap");
    ScriptedBoxes boxes;
    boxes.answers = s.answers;
    RecordingLibrary library(&realLibrary());
    FolderRecycleBin bin(dir / "bin");
    SystemFileSystem files;
    ConversionContext context{boxes, AppServices{library, bin, files}, nullptr, [&] { return s.check1; },
                              [&] { return s.check3; }};
    EXPECT_EQ(doMain(source, context), s.outcome);
    Names expected;
    if (!s.sourceExists)
        expected.push_back("report: " + source + " は \r存在しねえぞ。");
    if (s.askedOverwrite)
        expected.push_back("ask: " + target + " を\r上書きするよ？");
    if (s.askedTrash)
        expected.push_back("ask: " + source + " を\rごみ箱に移動するよ？");
    EXPECT_EQ(boxes.shown, expected);
    EXPECT_TRUE(boxes.answers.empty());
    EXPECT_EQ(isBitmapOf(target), s.targetWritten);
    if (s.targetExists && !s.targetWritten) {
        EXPECT_EQ(contents(target), "old bitmap");
    }
    EXPECT_EQ(library.converted.size(), s.targetWritten ? 1u : 0u);
    EXPECT_EQ(bin.names(), s.sourceTrashed ? Names{"a.xwd"} : Names{});
    EXPECT_EQ(exists(source), s.sourceExists && !s.sourceTrashed);
}

constexpr int kOff = 0, kOn = 1, kGreyed = 2;
using O = ConversionOutcome;

INSTANTIATE_TEST_SUITE_P(
    Options, DoMainTest,
    testing::Values(
        Scenario{"MissingSourceOnlyReported", false, true, kOn, kOn, {}, O::SourceMissing, false, false, false, false},
        Scenario{"OverwriteDeclinedKeepsAll", true, true, kOn, kOn, {Answer::No}, O::Declined, true, false, false, false},
        Scenario{"OverwriteAcceptedThenTrashed", true, true, kOn, kOn, {Answer::Yes, Answer::Yes}, O::Converted, true,
                 true, true, true},
        Scenario{"OverwriteAcceptedTrashDeclined", true, true, kOn, kOn, {Answer::Yes, Answer::No}, O::Converted, true,
                 true, true, false},
        Scenario{"OverwriteAcceptedNoDelete", true, true, kOn, kOff, {Answer::Yes}, O::Converted, true, false, true,
                 false},
        Scenario{"NoTargetNoQuestion", true, false, kOn, kOff, {}, O::Converted, false, false, true, false},
        Scenario{"UncheckedOverwritesSilently", true, true, kOff, kOff, {}, O::Converted, false, false, true, false},
        Scenario{"GreyedCountsAsOff", true, true, kGreyed, kGreyed, {}, O::Converted, false, false, true, false}),
    [](const testing::TestParamInfo<Scenario>& row) { return std::string(row.param.name); });

// A failed conversion is reported with its reason and keeps the source,
// even when it was to be deleted; a damaged dump through the real library
// likewise.
TEST(DoMain, FailedConversionIsReportedAndKeepsTheSource)
{
    using F = FileFailure;
    const std::tuple<std::int32_t, F, std::string> cases[] = {
        {2, F::InUse, "XWD ファイルを開けない。ほかのプログラムが使っている。"},
        {2, F::NoPermission, "XWD ファイルを開けない。読む権限がない。"},
        {3, F::NoSpace, "BMP ファイルを書き込めない。ディスクがいっぱいだ。"},
        {3, F::NoPermission, "BMP ファイルを書き込めない。書き込む権限がない。"},
        {3, F::ReadOnlyDisk, "BMP ファイルを書き込めない。ディスクが書き込み禁止だ。"},
        {3, F::ReadOnlyFile, "BMP ファイルを書き込めない。読み取り専用のファイルだ。"},
        {3, F::InUse, "BMP ファイルを書き込めない。ほかのプログラムが使っている。"},
        {3, F::Quota, "BMP ファイルを書き込めない。ディスクの割り当てを使い切った。"},
        {3, F::NotFound, "BMP ファイルを書き込めない。フォルダーがない。"},
        {2, F::FolderInTheWay, "XWD ファイルを開けない。フォルダーだ。"},
        {3, F::FolderInTheWay, "BMP ファイルを書き込めない。同じ名前のフォルダーがある。"},
        {4, F::None, "XWD ファイルが壊れているか、空っぽだ。"},
        {5, F::None, "画像が大きすぎる。"},
        {7, F::None, "不明なエラー（7）。"},
    };
    TempDir dir;
    const std::string source = (dir / "a.xwd").string();
    writeDump(source);
    FolderRecycleBin bin(dir / "bin");
    SystemFileSystem files;
    for (const auto& [code, failure, reason] : cases) {
        ScriptedBoxes boxes;
        RecordingLibrary library;
        library.result = code;
        library.failure.kind = failure;
        ConversionContext context{boxes, AppServices{library, bin, files}, nullptr, [] { return 1; },
                                  [] { return 1; }};
        EXPECT_EQ(doMain(source, context), ConversionOutcome::Failed);
        EXPECT_EQ(boxes.shown, Names{"report: " + source + " を\r変換できなかったぞ。" + reason});
        EXPECT_TRUE(exists(source));
    }
    EXPECT_TRUE(bin.names().empty());
}

// A header the library refuses: the box says why, in one line.
TEST(DoMain, ARefusedHeaderIsToldWhy)
{
    // A 100-byte header of zero words but its size (byte 3) and the
    // first byte of its width (byte 16).
    const auto header = [](char size, char widthTop) {
        std::string h(100, '\0');
        h[3] = size;
        h[16] = widthTop;
        return h;
    };
    const std::pair<std::string, std::string> cases[] = {
        {"too short for a header", "100 バイトのヘッダーの途中でファイルが終わっている。"},
        {header(99, 0), "ヘッダーによるとヘッダーは 99 バイト。100 バイトはあるはずだ。"},
        {header(100, 0), "ヘッダーによると画像は 0×0。画素がひとつもない。"},
        {header(100, '\x80'), "ヘッダーによると画像は 2147483648×0。一辺が長すぎる。"},
    };
    TempDir dir;
    const std::string source = (dir / "a.xwd").string();
    FolderRecycleBin bin(dir / "bin");
    SystemFileSystem files;
    for (const auto& [bytes, reason] : cases) {
        writeText(source, bytes);
        ScriptedBoxes boxes;
        ConversionContext context{boxes, AppServices{realLibrary(), bin, files}, nullptr, [] { return 1; },
                                  [] { return 1; }};
        EXPECT_EQ(doMain(source, context), ConversionOutcome::Failed);
        EXPECT_EQ(boxes.shown, Names{"report: " + source + " を\r変換できなかったぞ。" + reason});
    }
    EXPECT_TRUE(bin.names().empty());
}

// The first `keep` bytes of the pixel area of a dump stored plane by plane:
// 8 planes of 12 x 4 pixels, rows of 3 bytes, 96 bytes in all.
Bytes planarDump(std::size_t keep)
{
    DumpKind k = zPixmap(1, 8, false, 3);
    k.format = 1;
    k.unitBits = 8;
    k.extraRowBytes = 1;
    Bytes map;
    for (std::uint32_t i = 0; i < 256; ++i)
        appendColourEntry(map, i, static_cast<std::uint16_t>(i * 257), 0, 0);
    XwdRecipe r = kindDump(k, 12, 4, std::vector<std::uint32_t>(48, 0xA5), map);
    r.pixels.resize(keep);
    return r.bytes();
}

// The last `cut` bytes taken from a 50 x 20 dump, or from a 33 x 7 8-bit one
// whose rows end in 67 bytes of padding (`padded`).
Bytes cutDump(std::size_t cut, bool padded = false)
{
    Bytes b;
    if (padded) {
        DumpKind k = zPixmap(8, 8, false, 3);
        k.extraRowBytes = 67;
        b = kindDump(k, 33, 7, std::vector<std::uint32_t>(33 * 7, 1), {}).bytes();
    } else {
        b = dumpBytes(50, 20);
    }
    b.resize(b.size() - cut);
    return b;
}

// A dump cut short gives its bitmap, black where it ends (or, stored plane
// by plane, lacking the bits of the planes missing), with a box, and stays;
// one that holds less than 1% of its pixels is not converted. One that
// lacks only the padding after its last row's pixels is whole.
TEST(DoMain, ADumpCutShortIsToldAndKept)
{
    struct Case {
        Bytes bytes;
        ConversionOutcome outcome;
        std::string text;  // empty: no box
    };
    const Case cases[] = {
        {cutDump(4000 - 1240), O::Incomplete, " は\r途中で切れているぞ。20 行のうち 6 行しかない。残りは黒になった。"},
        {cutDump(4000 - 40), O::Incomplete, " は\r途中で切れているぞ。20 行のうち 0 行しかない。残りは黒になった。"},
        {cutDump(4000 - 39), O::Failed,
         " を\r変換しなかったぞ。途中で切れていて、50×20 の画素が 1% も残っていない。BMP ファイルはほとんど真っ黒になる。"},
        {planarDump(7), O::Incomplete,
         " は\r途中で切れているぞ。ビット面ごとの XWD で、8 面のうち 1 面目の 4 行のうち 2 行しかない。"
         "その行はほかの面のビットが欠けていて、残りは黒になった。"},
        {planarDump(91), O::Incomplete,
         " は\r途中で切れているぞ。ビット面ごとの XWD で、8 面のうち 7 面と、次の面の 4 行のうち 2 行しかない。"
         "欠けたビットは 0 にしたので、色が正しくない。"},
        {cutDump(67, true), O::Converted, ""},
    };
    TempDir dir;
    const std::string source = (dir / "a.xwd").string();
    FolderRecycleBin bin(dir / "bin");
    bin.shellAsks = true;
    SystemFileSystem files;
    for (const Case& c : cases) {
        writeFile(source, c.bytes);
        std::filesystem::remove(dir / "a.bmp");
        bin.asked.clear();
        ScriptedBoxes boxes;
        ConversionContext context{boxes, AppServices{realLibrary(), bin, files}, nullptr, [] { return 0; },
                                  [] { return 1; }};
        EXPECT_EQ(doMain(source, context), c.outcome);
        EXPECT_EQ(boxes.shown, c.text.empty() ? Names{} : Names{"report: " + source + c.text});
        EXPECT_EQ(exists((dir / "a.bmp").string()), c.outcome != O::Failed);
        // Only a whole dump goes to the trash, as asked.
        EXPECT_EQ(exists(source), c.outcome != O::Converted);
        EXPECT_EQ(bin.asked.size(), c.outcome == O::Converted ? 1u : 0u);
    }
}

// A dump that is there but does not open is never said to be missing.
TEST(DoMain, TellsWhyTheSourceDoesNotOpen)
{
    const std::pair<SystemFailure, std::string> cases[] = {
        {{FileFailure::NotFound, ENOENT}, " は \r存在しねえぞ。"},
        {{FileFailure::InUse, EBUSY}, " を\r開けないぞ。ほかのプログラムが使っている。"},
        {{FileFailure::NoPermission, EACCES}, " を\r開けないぞ。読む権限がない。"},
        {{FileFailure::FolderInTheWay, EISDIR}, " を\r開けないぞ。フォルダーだ。"},
        {{FileFailure::NotAFile, 0}, " を\r開けないぞ。ファイルではない。"},
        {{FileFailure::Other, 0}, " を\r開けないぞ。"},
        // Any other failure in the system's own words.
        {{FileFailure::Other, EIO}, " を\r開けないぞ。（" + systemErrorText(EIO, false) + "）"},
    };
    TempDir dir;
    const std::string source = (dir / "a.xwd").string();
    FolderRecycleBin bin(dir / "bin");
    FixedFileSystem files;
    for (const auto& [state, text] : cases) {
        files.state = state;
        ScriptedBoxes boxes;
        RecordingLibrary library;
        ConversionContext context{boxes, AppServices{library, bin, files}, nullptr, [] { return 1; },
                                  [] { return 1; }};
        EXPECT_EQ(doMain(source, context), ConversionOutcome::SourceMissing);
        EXPECT_EQ(boxes.shown, Names{"report: " + source + text});
        EXPECT_TRUE(library.converted.empty());
    }
}

TEST(RuntimeConverterLibrary, AFailedBindNamesTheLibraryAndTheLoadersReason)
{
    struct Case {
        const char* name;
        std::string candidate;
        std::string reasonPart;  // the loader's words that must reach the user
    };
    const Case cases[] = {
#if defined(_WIN32)
        {"missing", "C:\\nonexistent\\RASTREX.DLL", "C:\\nonexistent\\RASTREX.DLL"},
        {"lacks fnRastrex", "kernel32.dll", "fnRastrex"},
#else
        {"missing", "/nonexistent/libRASTREX.so", "/nonexistent/libRASTREX.so"},
        {"lacks fnRastrex", "libm.so.6", "fnRastrex"},
#endif
    };
    for (const auto& c : cases) {
        RuntimeConverterLibrary library(kLibraryFile, {c.candidate});
        std::string reason;
        EXPECT_FALSE(library.bind(&reason)) << c.name;
        EXPECT_EQ(reason.rfind("変換ライブラリ " + kLibraryFile + " を読み込めなかったぞ。\r", 0), 0u) << reason;
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
        EXPECT_EQ(library.convert("/nonexistent.xwd", "/nonexistent.bmp"), RuntimeConverterLibrary::kNotBound);
    }
}

TEST(RuntimeConverterLibrary, TheFirstLoadableCandidateIsKept)
{
    RuntimeConverterLibrary library(kLibraryFile, {folderPrefix(executableFolder()) + "nonexistent" +
                                                       kFolderSeparator + kLibraryFile,
                                                   folderPrefix(executableFolder()) + kLibraryFile});
    std::string reason;
    ASSERT_TRUE(library.bind(&reason));
    ASSERT_TRUE(library.bind(&reason));
    TempDir dir;
    writeDump((dir / "a.xwd").string(), 5, 4, 9);
    EXPECT_EQ(library.convert((dir / "a.xwd").string(), (dir / "a.bmp").string()), 0);
    EXPECT_TRUE(isBitmapOf((dir / "a.bmp").string(), 5, 4, 9));
}

// Every row of both event tables names a handler and a control that exist:
// building the windows binds them all or throws.
TEST(EventTables, BindEveryRow)
{
    ScriptedToolkit toolkit;
    RecordingLibrary library;
    TempDir dir;
    FolderRecycleBin bin(dir / "bin");
    SystemFileSystem files;
    EXPECT_NO_THROW({
        MainForm form(toolkit, AppServices{library, bin, files});
        form.menuVersion_Click();
    });
}

}  // namespace
}  // namespace rastrex::test
