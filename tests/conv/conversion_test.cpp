// fnRastrex on dumps of the kind a 24-bit little-endian X server writes:
// the bitmap's byte layout, every result code and what each leaves on disk.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <fstream>
#include <thread>

#include "fs_support.h"
#include "rastrex.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

class Conversion : public ::testing::Test {
protected:
    TempDir dir;
    fs::path xwd = dir / "in.xwd";
    fs::path bmp = dir / "out.bmp";
};

TEST_F(Conversion, ThreeByTwoIsSeventyEightBytesBottomUp)
{
    // Row 0: red, green, blue. Row 1: white, grey, black.
    const Rgb rows[2][3] = {{{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}},
                            {{0xFF, 0xFF, 0xFF}, {0x80, 0x80, 0x80}, {0, 0, 0}}};
    writeFile(xwd, canonicalDump(3, 2, [&](auto x, auto y) { return rows[y][x]; }).bytes());
    ASSERT_EQ(convert(xwd, bmp), RASTREX_OK);

    const Bytes expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // info header
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0xFF, 0xFF, 0xFF, 0x80, 0x80, 0x80, 0, 0, 0, 0, 0, 0,  // dump's row 1
        0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0,            // dump's row 0
    };
    EXPECT_EQ(readFile(bmp), expected);
}

TEST_F(Conversion, EveryWidthPadsRowsToFourBytes)
{
    for (std::uint32_t width = 1; width <= 8; ++width) {
        SCOPED_TRACE("width " + std::to_string(width));
        const std::uint32_t height = 3;
        writeFile(xwd, canonicalDump(width, height, patternPixel).bytes());
        ASSERT_EQ(convert(xwd, bmp), RASTREX_OK);
        const Bytes out = readFile(bmp);
        const std::size_t padding = width % 4;
        const std::size_t row = 3 * width + padding;
        ASSERT_EQ(out.size(), 54 + row * height);
        for (std::uint32_t r = 0; r < height; ++r)
            for (std::size_t i = 0; i < padding; ++i)
                EXPECT_EQ(out[54 + r * row + 3 * width + i], 0) << "row " << r;
        const Bitmap pic = parseBmp(out);
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x)
                ASSERT_EQ(pic.at(x, y), patternPixel(x, y)) << x << "," << y;
    }
}

TEST_F(Conversion, UnitBytesAreBlueGreenRedAndTheFourthIsDropped)
{
    XwdRecipe r = canonicalDump(1, 1, patternPixel);
    r.pixels = {0x10, 0x20, 0x30, 0xFF};
    writeFile(xwd, r.bytes());
    ASSERT_EQ(convert(xwd, bmp), RASTREX_OK);
    const Bytes out = readFile(bmp);
    EXPECT_EQ(Bytes(out.begin() + 54, out.end()), (Bytes{0x10, 0x20, 0x30, 0}));
}

// The window name: its length is the header size less 100.
struct NameCase {
    const char* what;
    std::uint32_t headerSize;
    std::size_t nameBytes;  // bytes actually stored after the header
    std::int32_t result;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.what;
}

class WindowName : public Conversion, public ::testing::WithParamInterface<NameCase> {};

TEST_P(WindowName, DecidesWhereTheColourMapStarts)
{
    const NameCase& c = GetParam();
    XwdRecipe r = canonicalDump(2, 2, patternPixel);
    r.name = std::string(c.nameBytes > 0 ? c.nameBytes - 1 : 0, 'n');
    if (c.nameBytes == 0)  // not even the terminating zero
        r.name.clear();
    r.headerSize = c.headerSize;
    Bytes bytes = r.bytes();
    if (c.nameBytes == 0)
        bytes.erase(bytes.begin() + 100);
    writeFile(xwd, bytes);
    writeFile(bmp, {'o', 'l', 'd'});
    ASSERT_EQ(convert(xwd, bmp), c.result);
    if (c.result == RASTREX_OK) {
        const Bitmap pic = parseBmp(readFile(bmp));
        EXPECT_EQ(pic.at(1, 1), patternPixel(1, 1));
        EXPECT_EQ(pic.at(0, 0), patternPixel(0, 0));
    } else {
        EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowName,
    ::testing::Values(NameCase{"none at all", 100, 0, RASTREX_OK},
                      NameCase{"below the fixed header", 99, 1, RASTREX_ERR_READ_INPUT},
                      NameCase{"zero", 0, 1, RASTREX_ERR_READ_INPUT},
                      NameCase{"only its zero", 101, 1, RASTREX_OK},
                      NameCase{"thirteen bytes", 113, 13, RASTREX_OK},
                      NameCase{"fills the name area", 228, 128, RASTREX_OK},
                      NameCase{"longer than the name area", 229, 129, RASTREX_OK},
                      NameCase{"a thousand bytes", 1100, 1000, RASTREX_OK}),
    [](const auto& row) {
        std::string s = row.param.what;
        for (char& ch : s)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return s;
    });

TEST_F(Conversion, HeaderSizeWordIsBigEndian)
{
    XwdRecipe r = canonicalDump(1, 1, patternPixel);
    r.name = std::string(12, 'x');  // 13 bytes with its zero
    const Bytes bytes = r.bytes();
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0, 0, 0, 0x71}));
    writeFile(xwd, bytes);
    ASSERT_EQ(convert(xwd, bmp), RASTREX_OK);
    EXPECT_EQ(parseBmp(readFile(bmp)).at(0, 0), patternPixel(0, 0));
}

// A file that ends early: where it ends decides the result.
struct CutCase {
    const char* what;
    std::size_t keep;  // bytes kept of a 4 x 2 dump with a 5-byte name (100 + 5 + 3072 + 32)
    std::int32_t result;
};

void PrintTo(const CutCase& c, std::ostream* os)
{
    *os << c.what << " (" << c.keep << " bytes kept)";
}

class Truncated : public Conversion, public ::testing::WithParamInterface<CutCase> {};

TEST_P(Truncated, GivesItsResultAndTouchesNoOldBitmapOnFailure)
{
    const CutCase& c = GetParam();
    XwdRecipe r = canonicalDump(4, 2, patternPixel);
    r.name = "four";
    Bytes bytes = r.bytes();
    ASSERT_EQ(bytes.size(), 100u + 5 + 3072 + 32);
    bytes.resize(c.keep);
    writeFile(xwd, bytes);
    writeFile(bmp, {'o', 'l', 'd'});
    ASSERT_EQ(convert(xwd, bmp), c.result);
    if (c.result != RASTREX_OK) {
        EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
        return;
    }
    // The full picture is written; the units the file lacks are black.
    const Bitmap pic = parseBmp(readFile(bmp));
    const std::size_t units = (c.keep - 3177) / 4;
    for (std::uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(pic.at(i % 4, i / 4), i < units ? patternPixel(i % 4, i / 4) : Rgb{}) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Truncated,
    ::testing::Values(CutCase{"empty", 0, RASTREX_ERR_READ_INPUT},
                      CutCase{"inside the header", 99, RASTREX_ERR_READ_INPUT},
                      CutCase{"right after the header", 100, RASTREX_ERR_READ_INPUT},
                      CutCase{"inside the name", 102, RASTREX_ERR_READ_INPUT},
                      CutCase{"inside the colour map", 2000, RASTREX_ERR_READ_INPUT},
                      CutCase{"before the pixels", 3177, RASTREX_ERR_READ_INPUT},
                      CutCase{"inside the first unit", 3180, RASTREX_ERR_READ_INPUT},
                      CutCase{"after one unit", 3181, RASTREX_OK},
                      CutCase{"inside the second row", 3177 + 22, RASTREX_OK},
                      CutCase{"complete", 3177 + 32, RASTREX_OK}),
    [](const auto& row) { return "keep_" + std::to_string(row.param.keep); });

// Dimensions that give nothing to read, or more than any block can hold.
struct SizeCase {
    std::uint32_t width, height;
    std::int32_t result;
};

void PrintTo(const SizeCase& c, std::ostream* os)
{
    *os << c.width << " x " << c.height;
}

class Dimensions : public Conversion, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(Dimensions, AreRejectedBeforeAnyOutput)
{
    const SizeCase& c = GetParam();
    XwdRecipe r = canonicalDump(2, 2, patternPixel);
    r.word(4) = c.width;
    r.word(5) = c.height;
    // No pixel area: a picture within the limits is planned, then has no
    // pixel to read.
    r.pixels.clear();
    writeFile(xwd, r.bytes());
    EXPECT_EQ(convert(xwd, bmp), c.result);
    EXPECT_FALSE(fs::exists(bmp));
}

INSTANTIATE_TEST_SUITE_P(Cases, Dimensions,
                         ::testing::Values(SizeCase{0, 2, RASTREX_ERR_READ_INPUT},
                                           SizeCase{2, 0, RASTREX_ERR_READ_INPUT},
                                           SizeCase{0, 0, RASTREX_ERR_READ_INPUT},
                                           SizeCase{0x80000000u, 1, RASTREX_ERR_NO_MEMORY},
                                           SizeCase{1, 0x80000000u, RASTREX_ERR_NO_MEMORY},
                                           SizeCase{0xFFFFFFFFu, 0xFFFFFFFFu, RASTREX_ERR_NO_MEMORY},
                                           SizeCase{65536, 16384, RASTREX_ERR_NO_MEMORY},
                                           SizeCase{0x40000000u, 1, RASTREX_ERR_NO_MEMORY},
                                           // The most pixels, and one more.
                                           SizeCase{0x3FFFFFFFu, 1, RASTREX_ERR_READ_INPUT},
                                           SizeCase{4, 0x0FFFFFFFu, RASTREX_ERR_READ_INPUT},
                                           SizeCase{4, 0x10000000u, RASTREX_ERR_NO_MEMORY},
                                           // The largest bitmap whose size fits its 32-bit
                                           // field (2^32 - 2 bytes), and one row more.
                                           SizeCase{1, 1073741810u, RASTREX_ERR_READ_INPUT},
                                           SizeCase{1, 1073741811u, RASTREX_ERR_NO_MEMORY}),
                         [](const auto& row) {
                             return std::to_string(row.param.width) + "x" +
                                    std::to_string(row.param.height);
                         });

// Streams that go on far past what the picture needs: the converter reads
// only what its pixels need (and what the pipe buffers meanwhile).
struct StreamCase {
    const char* name;
    std::uint32_t headerSize;    // 0: as the recipe makes it
    std::uint32_t bytesPerLine;  // 0: as the recipe makes it
    std::int32_t result;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class EndlessStream : public Conversion, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(EndlessStream, IsReadOnlyAsFarAsThePictureNeeds)
{
    const StreamCase& c = GetParam();
    XwdRecipe r = canonicalDump(1, 1, patternPixel);
    if (c.headerSize != 0)
        r.headerSize = c.headerSize;
    if (c.bytesPerLine != 0)
        r.word(12) = c.bytesPerLine;
    constexpr std::uint64_t kTail = std::uint64_t{64} << 20;
    PipeFeed feed(r.bytes(), kTail);
    ASSERT_EQ(fnRastrex(feed.path().c_str(), nativePath(bmp).c_str()), c.result);
    // What the pipe took beyond the picture: its own buffer, and a window
    // name of at most a MiB skipped.
    EXPECT_LT(feed.finish(), std::uint64_t{2} << 20);
    if (c.result == RASTREX_OK) {
        EXPECT_EQ(parseBmp(readFile(bmp)).at(0, 0), patternPixel(0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EndlessStream,
    ::testing::Values(StreamCase{"longest_row_length", 0, 0xFFFFFFFFu, RASTREX_OK},
                      StreamCase{"longest_header_size", 0xFFFFFFFFu, 0, RASTREX_ERR_READ_INPUT},
                      StreamCase{"window_name_just_too_long", 100 + (1u << 20) + 1, 0,
                                 RASTREX_ERR_READ_INPUT}),
    [](const auto& row) { return std::string(row.param.name); });

#if !defined(__SANITIZE_ADDRESS__)
// Two rows 2^32 - 1 bytes apart in a sparse file: the memory needed is that
// of two pixels, which a limit on the address space far below the rows'
// length lets through.
TEST_F(Conversion, RowsFarApartInAFileNeedOnlyTheirPixels)
{
    XwdRecipe r = canonicalDump(1, 2, patternPixel);
    r.word(12) = 0xFFFFFFFFu;
    const Bytes bytes = r.bytes();
    const std::size_t area = bytes.size() - 8;
    {
        std::ofstream f(xwd, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(area + 4));
        f.seekp(static_cast<std::streamoff>(area + 0xFFFFFFFFull));
        f.write(reinterpret_cast<const char*>(bytes.data() + area + 4), 4);
        ASSERT_TRUE(f);
    }
#if defined(_WIN32)
    // No limit on the address space here; the rows lie past 4 GiB, which
    // offsets of 32 bits cannot reach.
    ASSERT_EQ(convert(xwd, bmp), RASTREX_OK);
#else
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        long pages = 0;
        if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        const rlimit limit{static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{512} << 20),
                           RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        _exit(fnRastrex(xwd.c_str(), bmp.c_str()));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), RASTREX_OK);
#endif
    const Bitmap pic = parseBmp(readFile(bmp));
    EXPECT_EQ(pic.at(0, 0), patternPixel(0, 0));
    EXPECT_EQ(pic.at(0, 1), patternPixel(0, 1));
}
#endif

TEST_F(Conversion, MissingInputLeavesAnExistingBitmapAlone)
{
    writeFile(bmp, {'o', 'l', 'd'});
    EXPECT_EQ(convert(dir / "absent.xwd", bmp), RASTREX_ERR_OPEN_INPUT);
    EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(convert(dir.path(), bmp), RASTREX_ERR_OPEN_INPUT);  // a folder does not open, anywhere
    EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
}

TEST_F(Conversion, NullPathsAreRefused)
{
    writeFile(xwd, canonicalDump(1, 1, patternPixel).bytes());
    EXPECT_EQ(fnRastrex(nullptr, nativePath(bmp).c_str()), RASTREX_ERR_OPEN_INPUT);
    EXPECT_EQ(fnRastrex(nativePath(xwd).c_str(), nullptr), RASTREX_ERR_WRITE_OUTPUT);
}

// Outputs that cannot be written: nothing may be left behind but what was
// there before.
TEST_F(Conversion, UnwritableOutputsGiveThreeAndLeaveNoFile)
{
    writeFile(xwd, canonicalDump(3, 3, patternPixel).bytes());
    writeFile(dir / "plain", {'x'});
    const fs::path cases[] = {dir / "no-such-folder" / "a.bmp", dir / "plain" / "a.bmp",
                              dir.path()};
    for (const fs::path& out : cases) {
        SCOPED_TRACE(out.string());
        EXPECT_EQ(convert(xwd, out), RASTREX_ERR_WRITE_OUTPUT);
    }
    EXPECT_FALSE(fs::exists(dir / "no-such-folder"));
    EXPECT_EQ(readFile(dir / "plain"), Bytes{'x'});
    EXPECT_EQ(readFile(xwd), canonicalDump(3, 3, patternPixel).bytes());
}

// Sides of a bitmap written in one piece and of one written in many, its
// pixels straddling the ends of the writes.
constexpr std::uint32_t kWrittenBySides[] = {64, 1024};

TEST_F(Conversion, FullDiskGivesThreeAndKeepsTheDevice)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    for (const std::uint32_t side : kWrittenBySides) {
        SCOPED_TRACE("side " + std::to_string(side));
        writeFile(xwd, canonicalDump(side, side, patternPixel).bytes());
        EXPECT_EQ(convert(xwd, "/dev/full"), RASTREX_ERR_WRITE_OUTPUT);
        EXPECT_EQ(fs::status("/dev/full").type(), fs::file_type::character);
    }
}

#if !defined(_WIN32)
// A write refused part way through the bitmap (the process may write files
// of 1 MiB at most): the old bitmap stays, and no file of the call's own.
TEST_F(Conversion, WriteRefusedPartWayKeepsTheOldBitmap)
{
    for (const std::uint32_t side : kWrittenBySides) {
        SCOPED_TRACE("side " + std::to_string(side));
        writeFile(xwd, canonicalDump(side, side, patternPixel).bytes());
        writeFile(bmp, {'o', 'l', 'd'});
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t{1} << 20, rlim_t{1} << 20};
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(fnRastrex(xwd.c_str(), bmp.c_str()));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        // The small bitmap fits the limit.
        EXPECT_EQ(WEXITSTATUS(status), side < 512 ? RASTREX_OK : RASTREX_ERR_WRITE_OUTPUT);
        if (side >= 512) {
            EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
        }
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
            ++files;
        EXPECT_EQ(files, 2u);
    }
}
#endif

TEST_F(Conversion, ReadOnlyBitmapIsNotReplaced)
{
    writeFile(xwd, canonicalDump(2, 2, patternPixel).bytes());
    writeFile(bmp, {'o', 'l', 'd'});
    fs::permissions(bmp, fs::perms::owner_read);
    if (std::ofstream(bmp, std::ios::app))
        GTEST_SKIP() << "this account writes read-only files (root; Wine run by root)";
    EXPECT_EQ(convert(xwd, bmp), RASTREX_ERR_WRITE_OUTPUT);
    EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
}

TEST_F(Conversion, SamePathReplacesTheDumpWithItsBitmap)
{
    writeFile(xwd, canonicalDump(5, 3, patternPixel).bytes());
    ASSERT_EQ(convert(xwd, xwd), RASTREX_OK);
    const Bitmap pic = parseBmp(readFile(xwd));
    EXPECT_EQ(pic.width, 5u);
    EXPECT_EQ(pic.at(4, 2), patternPixel(4, 2));
}

TEST_F(Conversion, RelativePathsFollowTheCurrentFolder)
{
    writeFile(xwd, canonicalDump(2, 2, patternPixel).bytes());
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const std::int32_t result = fnRastrex("in.xwd", "relative.bmp");
    fs::current_path(before);
    ASSERT_EQ(result, RASTREX_OK);
    EXPECT_EQ(parseBmp(readFile(dir / "relative.bmp")).at(1, 1), patternPixel(1, 1));
}

TEST_F(Conversion, Utf8NamesAreBytesPassedThrough)
{
#if defined(_WIN32)
    // Names are in the ANSI code page there: these two letters are in most.
    const fs::path in = dir.path() / L"caf\u00e9.xwd", out = dir.path() / L"caf\u00e9.bmp";
#else
    const fs::path in = dir / "画面.xwd", out = dir / "画面.bmp";
#endif
    writeFile(in, canonicalDump(2, 1, patternPixel).bytes());
    EXPECT_EQ(convert(in, out), RASTREX_OK);
    EXPECT_TRUE(fs::exists(out));
}

TEST_F(Conversion, LargeEnoughToCrossTheOutputBuffer)
{
    // 300 x 400 pixels make 360,000 bytes of rows, more than one buffer load.
    writeFile(xwd, canonicalDump(301, 400, patternPixel).bytes());
    ASSERT_EQ(convert(xwd, bmp), RASTREX_OK);
    const Bitmap pic = parseBmp(readFile(bmp));
    for (std::uint32_t y = 0; y < 400; y += 7)
        for (std::uint32_t x = 0; x < 301; x += 3)
            ASSERT_EQ(pic.at(x, y), patternPixel(x, y)) << x << "," << y;
}

TEST_F(Conversion, RowsLongerThanAHeldBlockArriveInPiecesFromAPipe)
{
    // Rows of 1.6 MB, the second cut short after 300,000 pixels.
    constexpr std::uint32_t kWide = 400000, kKept = 300000;
    XwdRecipe r = canonicalDump(kWide, 2, patternPixel);
    r.pixels.erase(r.pixels.end() - 4 * std::ptrdiff_t{kWide - kKept}, r.pixels.end());
    PipeFeed feed(r.bytes());
    ASSERT_EQ(fnRastrex(feed.path().c_str(), nativePath(bmp).c_str()), RASTREX_OK);
    const Bitmap pic = parseBmp(readFile(bmp));
    for (std::uint32_t x = 0; x < kWide; x += 997) {
        ASSERT_EQ(pic.at(x, 0), patternPixel(x, 0)) << x;
        ASSERT_EQ(pic.at(x, 1), x < kKept ? patternPixel(x, 1) : Rgb{}) << x;
    }
}

TEST_F(Conversion, CallsOnSeveralThreadsDoNotInterfere)
{
    constexpr std::uint32_t kThreads = 8;
    for (std::uint32_t i = 0; i < kThreads; ++i)
        writeFile(dir / ("t" + std::to_string(i) + ".xwd"),
                  canonicalDump(40 + i, 30, [i](auto x, auto y) {
                      return patternPixel(x + i, y);
                  }).bytes());
    std::vector<std::int32_t> results(kThreads, -1);
    std::vector<std::thread> threads;
    for (std::uint32_t i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            const std::string base = nativePath(dir / ("t" + std::to_string(i)));
            for (int round = 0; round < 5; ++round)
                results[i] = fnRastrex((base + ".xwd").c_str(), (base + ".bmp").c_str());
        });
    for (auto& t : threads)
        t.join();
    for (std::uint32_t i = 0; i < kThreads; ++i) {
        ASSERT_EQ(results[i], RASTREX_OK) << i;
        const Bitmap pic = parseBmp(readFile(dir / ("t" + std::to_string(i) + ".bmp")));
        EXPECT_EQ(pic.width, 40u + i);
        EXPECT_EQ(pic.at(7, 9), patternPixel(7 + i, 9));
    }
}

}  // namespace
