// xwd2bmp's batch logic, run in-process on folders of dumps: where each
// bitmap goes, which dumps a folder gives, what -n keeps, what a failure
// reports, and that no dump is ever changed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <map>

#include "cli_support.h"
#include "batch_fixture.h"
#include "conversion.h"
#include "rastrex.h"

using namespace rastrex::test;
using namespace std::string_literals;

namespace {

struct PlacementCase {
    const char* what;
    std::vector<std::string> dumps;
    std::vector<std::string> args;
    std::set<std::string> bitmaps;  // the files the run adds
    std::string input = {};         // standard input; "@" is the test's folder
};

void PrintTo(const PlacementCase& c, std::ostream* os)
{
    *os << c.what;
}

const PlacementCase kPlacementCases[] = {
    // The naming rule of the window.
    {"lower-case extension", {"a.xwd"}, {"@a.xwd"}, {"a.bmp"}},
    {"upper-case extension", {"A.XWD"}, {"@A.XWD"}, {"A.BMP"}},
    {"mixed case is no extension", {"a.Xwd"}, {"@a.Xwd"}, {"a.Xwd.BMP"}},
    {"first .xwd wins", {"a.xwd.xwd"}, {"@a.xwd.xwd"}, {"a.bmp"}},
    {".xwd before .XWD", {"b.XWD.xwd"}, {"@b.XWD.xwd"}, {"b.XWD.bmp"}},
    {"no extension", {"dump"}, {"@dump"}, {"dump.BMP"}},
    {"folder name is not searched", {"shots.xwd/dump"}, {"@shots.xwd/dump"}, {"shots.xwd/dump.BMP"}},
    {"-o with a file", {"in/a.xwd"}, {"-o", "@out", "@in/a.xwd"}, {"out/a.bmp"}},
    {"-o creates its folders", {"in/A.XWD"}, {"--output-dir", "@new/deep", "@in/A.XWD"}, {"new/deep/A.BMP"}},
    // Folders: dumps by extension in any case, subfolders only with -r.
    {"folder", {"a.xwd", "B.XWD", "c.Xwd", "dump", "sub/s.xwd"}, {"@"},
     {"a.bmp", "B.BMP", "c.Xwd.BMP"}},
    {"folder, -r", {"a.xwd", "sub/s.xwd", "sub/deeper/d.XWD", "sub/dump"}, {"-r", "@"},
     {"a.bmp", "sub/s.bmp", "sub/deeper/d.BMP"}},
    {"-r -o keeps subfolders", {"in/a.xwd", "in/sub/s.xwd"}, {"-r", "-o", "@out", "@in"},
     {"out/a.bmp", "out/sub/s.bmp"}},
    {"-o without -r", {"in/a.xwd", "in/sub/s.xwd"}, {"-o", "@out", "@in"}, {"out/a.bmp"}},
    {"folder and file", {"in/a.xwd", "solo"}, {"@in", "@solo"}, {"in/a.bmp", "solo.BMP"}},
    {"same dump twice is converted once", {"a.xwd"}, {"-j", "4", "@a.xwd", "@", "@./a.xwd"},
     {"a.bmp"}},
    // Lists of PATHs, after those of the command line.
    {"files from standard input", {"a.xwd", "in/B.XWD", "c.xwd", "d.xwd"},
     {"@d.xwd", "--files-from=-"}, {"a.bmp", "in/B.BMP", "d.bmp"}, "@a.xwd\n\n@in/B.XWD\n"},
#if !defined(_WIN32)
    {"-0, a name holding a line end", {"n\nl.xwd", "a.xwd", "c d.xwd"}, {"-0", "--files-from", "-"},
     {"n\nl.bmp", "c d.bmp"}, "@n\nl.xwd\0@c d.xwd\0"s},
    // Only a line end takes its CR with it.
    {"-0, a name ending in a CR", {"cr.xwd\r"}, {"-0", "--files-from=-"}, {"cr.bmp"}, "@cr.xwd\r\0"s},
#endif
    {"-0, names with spaces", {"a b.xwd", "c.xwd"}, {"--null", "--files-from=-"},
     {"a b.bmp", "c.bmp"}, "@a b.xwd\0\0@c.xwd"s},
};

class Placement : public Batch, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(Placement, WritesEachBitmapWhereTheRuleSays)
{
    const PlacementCase& c = GetParam();
    const Outcome o = run(c.dumps, c.args, {}, c.input);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(added(c.dumps), c.bitmaps);
    for (const std::string& b : c.bitmaps)
        EXPECT_NO_THROW(parseBmp(readFile(dir / b))) << b;
}

INSTANTIATE_TEST_SUITE_P(Cases, Placement, ::testing::ValuesIn(kPlacementCases),
                         [](const auto& row) { return caseName(row.param.what); });

// A folder PATH without a dump says so, and the run still succeeds.
struct NoDumpCase {
    const char* what;
    std::vector<std::pair<std::string, Bytes>> files;
    std::vector<std::string> args;
    std::string err;
};

void PrintTo(const NoDumpCase& c, std::ostream* os)
{
    *os << c.what;
}

const NoDumpCase kNoDumpCases[] = {
    {"empty folder", {}, {"@"}, "@: no dump in this folder (no file named *.xwd)\n"},
    {"only other files", {{"notes.txt", {'x'}}, {"sub/s.xwd", dumpBytes()}}, {"@"},
     "@: no dump in this folder (no file named *.xwd)\n"},
    {"-r, only other files", {{"notes.txt", {'x'}}, {"sub/s.txt", {}}}, {"-r", "@"},
     "@: no dump in this folder or its subfolders (no file named *.xwd)\n"},
    {"beside a converted dump", {{"in/a.xwd", dumpBytes()}, {"empty/x.txt", {}}},
     {"@in", "@empty"}, "@empty: no dump in this folder (no file named *.xwd)\n"},
};

class NoDump : public Batch, public ::testing::WithParamInterface<NoDumpCase> {};

TEST_P(NoDump, IsSaidOnStandardError)
{
    const NoDumpCase& c = GetParam();
    for (const auto& [name, bytes] : c.files) {
        fs::create_directories((dir / name).parent_path());
        writeFile(dir / name, bytes);
    }
    const Outcome o = run({}, c.args);
    const std::string expected = spelled(c.err, dir.path());
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NoDump, ::testing::ValuesIn(kNoDumpCases),
                         [](const auto& row) { return caseName(row.param.what); });

TEST_F(Batch, EachBitmapIsItsOwnDumpsPicture)
{
    const Outcome o = run({"a.xwd", "b.xwd", "sub/c.xwd"}, {"-r", "-j", "3", "@"});
    ASSERT_EQ(o.status, 0) << o.err;
    for (const char* name : {"a", "b", "sub/c"})
        EXPECT_EQ(readFile(dir / (std::string(name) + ".bmp")),
                  converted(dir / (std::string(name) + ".xwd"), scratch / "ref.bmp"))
            << name;
}

TEST_F(Batch, LinkLoopsInFoldersAreNotFollowed)
{
    makeDumps(dir.path(), {"sub/a.xwd"});
    std::error_code ec;
    fs::create_directory_symlink("..", dir / "sub/up", ec);
    if (ec)
        GTEST_SKIP() << "no links to folders here: " << ec.message();
    const Outcome o = run({}, {"-r", "@"});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(added({"sub/a.xwd"}), std::set<std::string>{"sub/a.bmp"});
}

// -n keeps an existing bitmap; without it the bitmap is replaced.
struct ClobberCase {
    std::vector<std::string> args;
    bool kept;
    std::string out;
    const char* what;  // the case's name
};

void PrintTo(const ClobberCase& c, std::ostream* os)
{
    for (const std::string& a : c.args)
        *os << a << ' ';
}

class Clobber : public Batch, public ::testing::WithParamInterface<ClobberCase> {};

TEST_P(Clobber, ExistingBitmap)
{
    const ClobberCase& c = GetParam();
    writeFile(dir / "a.bmp", {'o', 'l', 'd'});
    const Outcome o = run({"a.xwd", "b.xwd"}, c.args);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(readFile(dir / "a.bmp") == Bytes({'o', 'l', 'd'}), c.kept);
    EXPECT_NO_THROW(parseBmp(readFile(dir / "b.bmp")));
    const std::string expected = spelled(c.out, dir.path());
    EXPECT_EQ(o.out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Clobber,
    ::testing::Values(
        ClobberCase{{"@"}, false, "", "replaced by default"},
        ClobberCase{{"-n", "@"}, true, "", "kept with n"},
        ClobberCase{{"--no-clobber", "-v", "@"}, true,
                    "@a.xwd: skipped, @a.bmp exists\n@b.xwd -> @b.bmp\n", "kept and said with no clobber v"},
        ClobberCase{{"-v", "@"}, false, "@a.xwd -> @a.bmp\n@b.xwd -> @b.bmp\n", "replaced and said with v"}),
    [](const auto& row) { return caseName(row.param.what); });

// Failures: one line each, in the order of the files, and the rest is
// converted. "@" in an expected line stands for the test's folder.
struct FailureCase {
    const char* what;
    std::vector<std::string> dumps;
    std::vector<std::pair<std::string, Bytes>> others;  // files made as given
    std::vector<std::string> args;
    std::set<std::string> bitmaps;
    std::string err;
    std::size_t brokenInput = 0;  // standard input: a dump's first bytes, then an I/O error
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.what;
}

// A header whose size word is shorter than the header itself.
Bytes dumpWithoutName()
{
    XwdRecipe r = canonicalDump(2, 2, patternPixel);
    r.headerSize = 99;
    return r.bytes();
}

// The first `n` bytes of a dump, in its own order or with each header word
// stored least significant byte first.
Bytes dumpStart(std::size_t n, bool littleEndian = false)
{
    Bytes b = dumpBytes();
    if (littleEndian)
        for (std::size_t i = 0; i + 4 <= 100; i += 4)
            std::reverse(b.begin() + static_cast<std::ptrdiff_t>(i),
                         b.begin() + static_cast<std::ptrdiff_t>(i + 4));
    b.resize(n);
    return b;
}

// A dump of width x height whose pixel area ends after `bytes` bytes (its
// colour map after `bytes` less 0 when negative).
Bytes cutDump(std::uint32_t width, std::uint32_t height, std::ptrdiff_t bytes)
{
    Bytes b = dumpBytes(0, width, height);
    b.resize(static_cast<std::size_t>(static_cast<std::ptrdiff_t>(b.size() - 4 * width * height) + bytes));
    return b;
}

// A small dump whose header claims 20000 x 20000 pixels.
Bytes hugeClaim()
{
    XwdRecipe r = canonicalDump(40, 40, patternPixel);
    r.word(4) = r.word(5) = 20000;
    r.word(12) = 4 * 20000;  // bytes per line
    return r.bytes();
}

// An 8-bit dump of width x height whose rows carry `pad` bytes after their
// pixels, lacking its last `missing` bytes.
Bytes paddedDump(std::uint32_t width, std::uint32_t height, std::uint32_t pad, std::size_t missing)
{
    DumpKind k = zPixmap(8, 8, false, 3);
    k.extraRowBytes = pad;
    Bytes map;
    for (std::uint32_t i = 0; i < 256; ++i)
        appendColourEntry(map, i, static_cast<std::uint16_t>(i * 257), 0, 0);
    Bytes b = kindDump(k, width, height, std::vector<std::uint32_t>(std::size_t{width} * height, 7), map).bytes();
    b.resize(b.size() - missing);
    return b;
}

const FailureCase kFailureCases[] = {
    {"bad dumps among good ones", {"a.xwd", "c.xwd"},
     {{"b.xwd", {'s', 'h', 'o', 'r', 't'}}, {"d.xwd", dumpWithoutName()}}, {"@"},
     {"a.bmp", "c.bmp"},
     "@b.xwd: not an XWD dump: the file ends inside the 100-byte header\n"
     "@d.xwd: not an XWD dump: the header says it is 99 bytes long; a header has at least 100\n"},
    // Only a file that cannot begin a dump is called no dump at all.
    {"no dump or a cut one", {},
     {{"empty.xwd", {}},
      {"header-size-99.xwd", {0, 0, 0, 99, 0, 0, 0, 7}},
      {"png.xwd", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13}},
      {"version-6.xwd", {0, 0, 0, 120, 0, 0, 0, 6}},
      {"v-cut-2.xwd", dumpStart(2)},
      {"v-cut-6.xwd", dumpStart(6)},
      {"v-cut-60.xwd", dumpStart(60)},
      {"v-little-cut-60.xwd", dumpStart(60, true)}},
     {"@"}, {},
     "@empty.xwd: not an XWD dump: the file ends inside the 100-byte header\n"
     "@header-size-99.xwd: not an XWD dump: the file ends inside the 100-byte header\n"
     "@png.xwd: not an XWD dump: the file ends inside the 100-byte header\n"
     "@v-cut-2.xwd: not converted: the file ends inside the 100-byte header\n"
     "@v-cut-6.xwd: not converted: the file ends inside the 100-byte header\n"
     "@v-cut-60.xwd: not converted: the file ends inside the 100-byte header\n"
     "@v-little-cut-60.xwd: not converted: the file ends inside the 100-byte header\n"
     "@version-6.xwd: not an XWD dump: the file ends inside the 100-byte header\n"},
    {"missing path", {"a.xwd"}, {}, {"@nope.xwd", "@a.xwd", "@gone"}, {"a.bmp"},
     "@nope.xwd: No such file or directory\n@gone: No such file or directory\n"},
    {"two dumps of one bitmap", {"a.xwd", "a.xwd.xwd"}, {}, {"@a.xwd.xwd", "@a.xwd"}, {"a.bmp"},
     "@a.xwd: not converted: @a.xwd.xwd has the same bitmap @a.bmp\n"},
#if !defined(_WIN32)
    {"odd names in a reason", {"n\nl.xwd", "n\nl.xwd.xwd"}, {}, {"@n\nl.xwd.xwd", "@n\nl.xwd"},
     {"n\nl.bmp"}, "@n\\x0Al.xwd: not converted: @n\\x0Al.xwd.xwd has the same bitmap @n\\x0Al.bmp\n"},
#endif
    {"two folders into one -o", {"p/x.xwd", "q/x.xwd", "q/y.xwd"}, {},
     {"-o", "@out", "@p", "@q"}, {"out/x.bmp", "out/y.bmp"},
     "@q/x.xwd: not converted: @p/x.xwd has the same bitmap @out/x.bmp\n"},
    {"bitmap path names a dump", {"x.xwd", "x.bmp"}, {}, {"@x.xwd", "@x.bmp"}, {"x.bmp.BMP"},
     "@x.xwd: not converted: its bitmap @x.bmp is a dump of this batch\n"},
    {"bitmap path is a folder", {"a.xwd", "b.xwd"}, {{"a.bmp/keep", {}}}, {"@"}, {"b.bmp"},
     "@a.xwd: cannot write the bitmap @a.bmp: a folder has that name\n"},
    // A cut dump's bitmap is kept, black where the dump ends; one that holds
    // less than 1% of its pixels is not converted.
    {"dumps cut short", {},
     {{"in-map.xwd", cutDump(5, 10, -1000)}, {"one-pixel.xwd", cutDump(5, 10, 4)},
      {"rows.xwd", cutDump(5, 10, 90)}, {"last-row.xwd", cutDump(5, 10, 199)},
      {"under-1pc.xwd", cutDump(50, 20, 39)}, {"at-1pc.xwd", cutDump(50, 20, 40)},
      {"huge-claim.xwd", hugeClaim()}, {"first-row.xwd", cutDump(5, 10, 20)},
      // 1 byte of 140: the least share, 1.4 bytes, is rounded up.
      {"one-byte-of-140.xwd", cutDump(5, 7, 1)},
      // The header's numbers, not those of the plain reading: 307200 bytes
      // of 8-bit pixels.
      {"in-8-bit-map.xwd", paddedDump(640, 480, 0, 640 * 480 + 12 * 200)},
      // Only the padding after the last row's pixels is missing: whole.
      {"last-pad.xwd", paddedDump(33, 7, 67, 67)}, {"last-pad-and-pixel.xwd", paddedDump(33, 7, 67, 68)}},
     {"@"}, {"one-pixel.bmp", "rows.bmp", "last-row.bmp", "at-1pc.bmp", "first-row.bmp", "last-pad.bmp",
             "last-pad-and-pixel.bmp"},
     "@at-1pc.xwd: the dump ends early: 0 of 20 rows; the rest of the bitmap is black\n"
     "@first-row.xwd: the dump ends early: 1 of 10 rows; the rest of the bitmap is black\n"
     "@huge-claim.xwd: not converted: the dump ends early and holds less than 1% of the pixels its "
     "header announces (6400 of 1600000000 bytes for 20000x20000); its bitmap would be almost all black\n"
     "@in-8-bit-map.xwd: not converted: the dump ends early and holds less than 1% of the pixels its "
     "header announces (0 of 307200 bytes for 640x480); its bitmap would be almost all black\n"
     "@in-map.xwd: not converted: the dump ends early and holds less than 1% of the pixels its header "
     "announces (0 of 200 bytes for 5x10); its bitmap would be almost all black\n"
     "@last-pad-and-pixel.xwd: the dump ends early: 6 of 7 rows; the rest of the bitmap is black\n"
     "@last-row.xwd: the dump ends early: 9 of 10 rows; the rest of the bitmap is black\n"
     "@one-byte-of-140.xwd: not converted: the dump ends early and holds less than 1% of the pixels its "
     "header announces (1 of 140 bytes for 5x7); its bitmap would be almost all black\n"
     "@one-pixel.xwd: the dump ends early: 0 of 10 rows; the rest of the bitmap is black\n"
     "@rows.xwd: the dump ends early: 4 of 10 rows; the rest of the bitmap is black\n"
     "@under-1pc.xwd: not converted: the dump ends early and holds less than 1% of the pixels its "
     "header announces (39 of 4000 bytes for 50x20); its bitmap would be almost all black\n"},
    // A dump of 83,177 bytes whose input breaks after 70,000: its first
    // bytes alone would convert, the rest black.
    {"standard input failing mid-dump", {}, {}, {"-"}, {},
     "-: cannot read the dump: " + std::generic_category().message(EBADF) + "\n", 70000},
};

class Failures : public Batch, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(Failures, OneLineEachAndTheRestConverted)
{
    const FailureCase& c = GetParam();
    std::vector<std::string> others;
    for (const auto& [name, bytes] : c.others) {
        fs::create_directories((dir / name).parent_path());
        writeFile(dir / name, bytes);
        others.push_back(name);
    }
    std::vector<std::string> present = c.dumps;
    present.insert(present.end(), others.begin(), others.end());
    const std::string expected = spelled(c.err, dir.path());
    for (const char* jobs : {"1", "4"}) {
        SCOPED_TRACE(std::string("-j ") + jobs);
        for (const std::string& b : c.bitmaps)
            fs::remove(dir / b);
        std::vector<std::string> args{"-j", jobs};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Bytes in = dumpBytes(0, 200, 100);
        const auto inEnd = in.begin() + static_cast<std::ptrdiff_t>(c.brokenInput);
        const Outcome o = c.brokenInput == 0 ? run(c.dumps, args, others)
                                             : runInProcess(args, std::string(in.begin(), inEnd), true);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err, expected);
        EXPECT_TRUE(o.out.empty()) << o.out.size() << " bytes on standard output";
        EXPECT_EQ(added(present), c.bitmaps);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Failures, ::testing::ValuesIn(kFailureCases),
                         [](const auto& row) { return caseName(row.param.what); });

#if !defined(_WIN32)
// Makes a chain of folders with long names below `root`, each at most
// `name` bytes, until the chain's path is at least `length` bytes long; the
// system calls take each step relative to the last, so no path is too long
// for them. Returns the chain's relative path.
fs::path makeLongChain(const fs::path& root, std::size_t length)
{
    const std::string name(200, 'd');
    fs::path chain;
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    while ((root / chain).native().size() < length && fd >= 0) {
        ::mkdirat(fd, name.c_str(), 0700);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        chain /= name;
    }
    if (fd < 0)
        throw std::runtime_error("cannot make a long chain of folders");
    ::close(fd);
    return chain;
}

// Writes a dump at `relative` below `root` however long the path.
void writeDumpAt(const fs::path& root, const fs::path& relative)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (const fs::path& part : relative.parent_path()) {
        const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    const int file = ::openat(fd, relative.filename().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::close(fd);
    const Bytes bytes = dumpBytes();
    const bool written = file >= 0 && ::write(file, bytes.data(), bytes.size()) ==
                                          static_cast<ssize_t>(bytes.size());
    if (file >= 0)
        ::close(file);
    if (!written)
        throw std::runtime_error("cannot write a dump at the end of a long chain");
}

// -r names every path it cannot reach, converts the rest and fails: a dump
// whose path is too long for the system, a folder too deep to open, a link
// that leads nowhere (as a file that vanished), a folder it may not read.
TEST_F(Batch, RecursiveRunReportsEveryPathItCannotReach)
{
    makeDumps(dir.path(), {"a.xwd", "locked/l.xwd"});
    // The folder can be opened, the dump in it cannot.
    fs::create_directory(dir / "deep");
    const fs::path chain = makeLongChain(dir / "deep", PATH_MAX - 240);
    const std::string far = std::string(240, 'f') + ".xwd";
    writeDumpAt(dir / "deep", chain / far);
    // Below it, a folder whose own path is too long.
    const fs::path deeper = makeLongChain(dir / "deep" / chain, PATH_MAX + 10);
    fs::path tooDeep = dir / "deep" / chain;
    for (const fs::path& part : deeper)
        if ((tooDeep /= part).native().size() >= PATH_MAX)
            break;
    fs::create_symlink("nowhere.xwd", dir / "dangling.xwd");
    const bool mayLock = ::geteuid() != 0;  // root reads every folder
    if (mayLock)
        fs::permissions(dir / "locked", fs::perms::none);

    const Outcome o = runInProcess(expand({"-r", "@"}, dir.path()));

    if (mayLock)
        fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_EQ(o.status, 1);
    const std::string base = dir.path().string();
    std::vector<std::string> lines{
        base + "/dangling.xwd: cannot reach it: No such file or directory\n",
        base + "/deep/" + (chain / far).string() +
            ": cannot reach it: the path is longer than the 4095 bytes the system allows\n",
        tooDeep.string() +
            ": cannot reach it: the path is longer than the 4095 bytes the system allows\n"};
    if (mayLock)
        lines.push_back(base + "/locked: cannot read the folder: Permission denied\n");
    for (const std::string& line : lines)
        EXPECT_NE(o.err.find(line), std::string::npos) << line << "\nnot in\n" << o.err;
    EXPECT_TRUE(fs::exists(dir / "a.bmp"));
}

#endif

TEST_F(Batch, OutputFolderThatIsAFileIsAWrongCommandLine)
{
    writeFile(dir / "out", {'x'});
    const Outcome o = run({"a.xwd"}, {"-o", "@out", "@a.xwd"}, {"out"});
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err.find("xwd2bmp: --output-dir: "), 0u) << o.err;
    EXPECT_EQ(added({"a.xwd", "out"}), std::set<std::string>{});
}

// A stop request (Ctrl-C) before the start: nothing is converted, failures
// already known are still reported, and the run says what it left undone.
TEST_F(Batch, StopRequestLeavesTheRestAndSaysSo)
{
    makeDumps(dir.path(), {"a.xwd", "b.xwd"});
    rastrex::cli::Options options;
    options.paths = {(dir / "nope").string(), dir.path().string()};
    const std::atomic<bool> stop{true};
    std::ostringstream out, err;
    const rastrex::cli::Reporting reporting{out, err, std::nullopt, &stop};
    EXPECT_EQ(rastrex::cli::runBatch(rastrex::cli::planBatch(options), options, reporting),
              rastrex::cli::ExitStatus::Failure);
    EXPECT_EQ(err.str(), (dir / "nope").string() +
                             ": No such file or directory\n"
                             "xwd2bmp: interrupted; 2 dumps were not converted\n");
    EXPECT_EQ(added({"a.xwd", "b.xwd"}), std::set<std::string>{});
}

// Results, files and messages do not depend on the number of threads.
TEST_F(Batch, OneThreadAndFourGiveTheSameFilesAndMessages)
{
    std::vector<std::string> dumps;
    for (int i = 0; i < 24; ++i)
        dumps.push_back("f" + std::to_string(i) + (i % 3 == 0 ? ".XWD" : ".xwd"));
    makeDumps(dir.path(), dumps);
    for (int i = 0; i < 24; i += 5)  // sizes differ, so threads finish out of order
        writeFile(dir / dumps[static_cast<std::size_t>(i)], dumpBytes(7, 97 + static_cast<std::uint32_t>(i), 61));
    writeFile(dir / "f3.xwd", {'x'});
    writeFile(dir / "f17.xwd", {});

    std::vector<std::pair<Outcome, std::map<std::string, Bytes>>> runs;
    for (const char* jobs : {"1", "4"}) {
        for (const std::string& f : filesUnder(dir.path()))
            if (f.ends_with(".bmp") || f.ends_with(".BMP"))
                fs::remove(dir / f);
        Outcome o = runInProcess(expand({"-v", "-j", jobs, "@"}, dir.path()));
        runs.emplace_back(std::move(o), snapshot(dir.path()));
    }
    EXPECT_EQ(runs[0].first.status, 1);
    EXPECT_EQ(runs[0].first.status, runs[1].first.status);
    EXPECT_EQ(runs[0].first.out, runs[1].first.out);
    EXPECT_EQ(runs[0].first.err, runs[1].first.err);
    EXPECT_EQ(std::count(runs[0].first.err.begin(), runs[0].first.err.end(), '\n'), 2);
    EXPECT_TRUE(runs[0].second == runs[1].second);
}

// Usage errors: exit status 2, a hint to --help, and nothing converted.
// Each case: the arguments, how the message begins (the option named), and
// the case's name.
struct UsageCase {
    std::vector<std::string> args;
    std::string message;
    const char* what;
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    for (const std::string& a : c.args)
        *os << a << ' ';
}

class UsageError : public Batch, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageError, ExitsWithTwo)
{
    const Outcome o = run({"a.xwd"}, GetParam().args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err.find("xwd2bmp: " + GetParam().message), 0u) << o.err;
    EXPECT_NE(o.err.find("Try 'xwd2bmp --help' for more information.\n"), std::string::npos);
    EXPECT_EQ(added({"a.xwd"}), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsageError,
    ::testing::Values(UsageCase{{}, "missing PATH", "no arguments"}, UsageCase{{"-v"}, "missing PATH", "only an option"},
                      UsageCase{{"-j", "0", "@"}, "--jobs", "no jobs"}, UsageCase{{"-j", "257", "@"}, "--jobs", "too many jobs"},
                      UsageCase{{"--jobs=two", "@"}, "--jobs", "jobs not a number"},
                      UsageCase{{"--bogus", "@"}, "The following argument was not expected: --bogus", "unknown option"},
                      UsageCase{{"-q", "-v", "@"}, "--quiet", "quiet and verbose"}, UsageCase{{"@", "-o"}, "--output-dir", "output dir missing"},
                      UsageCase{{"-o", "", "@"}, "--output-dir", "output dir empty"},
                      UsageCase{{"-c", "@a.xwd", "@a.xwd"}, "--stdout", "stdout with two dumps"},
                      UsageCase{{"-c", "@"}, "--stdout", "stdout with a folder"}, UsageCase{{"-", "@a.xwd"}, "-: ", "stdin with a dump"},
                      UsageCase{{"-", "--files-from=-"}, "-: ", "stdin twice"},
                      UsageCase{{"-c", "-o", "@out", "@a.xwd"}, "--stdout", "stdout with output dir"},
                      UsageCase{{"-0", "@"}, "--null", "null without files from"},
                      UsageCase{{"--files-from=@nope"}, "--files-from: cannot open", "files from missing list"},
                      UsageCase{{"--list-encoding=utf-8", "@"}, "--list-encoding: there is no --files-from",
                                "list encoding without files from"},
                      UsageCase{{"--list-encoding=latin1", "--files-from=@a.xwd"},
                                "--list-encoding: latin1 is none of utf-8, utf-16 and cp932", "unknown list encoding"}),
    [](const auto& row) { return caseName(row.param.what); });

}  // namespace
