// Thumbnails of dumps: the library's own bitmap shrunk by area (the size
// and every pixel as tests/support/area_average.h makes them, its own plain
// way), of every fixture and of pictures whose fine detail must come out
// grey; damaged dumps refused as fnRastrex refuses them; and dumps that
// claim far more than they hold shrunk from what they hold; and dumps
// handed over as a stream that cannot seek given the file's thumbnail, the
// large ones of one plane without holding them. (Dumps read from memory are
// also compared in the Windows handler's test and fuzzed.)
#include <gtest/gtest.h>

#include "area_average.h"
#include "rastrex.h"
#include "thumbnail.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex;
using namespace rastrex::test;

namespace {

// A dump's bytes read from the front only, as a shell's stream that cannot
// seek; past `bytes`, up to `total` bytes in all, made as they are read
// (for dumps too large to hold).
class FrontOnlySource : public ByteSource {
public:
    explicit FrontOnlySource(Bytes bytes, std::uint64_t total = 0)
        : bytes_(std::move(bytes)), total_(std::max<std::uint64_t>(total, bytes_.size())) {}

    std::size_t read(unsigned char* into, std::size_t n) override
    {
        const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(n, total_ - at_));
        for (std::size_t i = 0; i < got; ++i, ++at_)
            into[i] = at_ < bytes_.size() ? bytes_[static_cast<std::size_t>(at_)] : static_cast<unsigned char>(at_ / 4);
        return got;
    }
    std::optional<std::uint64_t> size() override { return std::nullopt; }
    std::uint64_t readAt(std::uint64_t, unsigned char*, std::uint64_t) override
    {
        ADD_FAILURE() << "a stream that cannot seek was read by offset";
        return 0;
    }

private:
    Bytes bytes_;
    std::uint64_t total_;
    std::uint64_t at_ = 0;
};

Bitmap asBitmap(const Thumbnail& t)
{
    Bitmap b;
    b.width = t.width;
    b.height = t.height;
    for (std::size_t i = 0; i + 2 < t.bgr.size(); i += 3)
        b.pixels.push_back({t.bgr[i + 2], t.bgr[i + 1], t.bgr[i]});
    return b;
}

// The thumbnail of `dump` against the library's bitmap shrunk the plain way.
void expectLikeLibrary(const fs::path& dump, std::uint32_t box)
{
    TempDir dir;
    ASSERT_EQ(fnRastrex(nativePath(dump).c_str(), nativePath(dir / "full.bmp").c_str()), RASTREX_OK);
    Thumbnail t;
    int error = 0;
    ASSERT_EQ(makeThumbnail(nativePath(dump).c_str(), box, t, error), RASTREX_OK);
    const Bitmap full = parseBmp(readFile(dir / "full.bmp"));
    EXPECT_EQ(t.sourceWidth, full.width);
    EXPECT_EQ(compareWithin(areaAverage(full, box), asBitmap(t), 1), "") << dump << " in a box of " << box;
}

TEST(Thumbnail, EveryFixtureIsTheLibrarysBitmapShrunk)
{
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(RASTREX_TEST_DATA_DIR)) {
        if (entry.path().extension() != ".xwd")
            continue;
        for (std::uint32_t box : {1u, 7u, 16u, 256u})
            expectLikeLibrary(entry.path(), box);
        ++seen;
    }
    EXPECT_GT(seen, 50);
}

TEST(Thumbnail, BuiltPicturesOfEveryLayoutShrunkByArea)
{
    // Fine one-pixel checks whose thumbnail is grey; odd sizes whose pixels
    // straddle the thumbnail's; bit planes; an x offset.
    DumpKind bits = zPixmap(1, 1, true, 0);
    bits.msbBitFirst = true;
    DumpKind planes = zPixmap(1, 8, false, 3);
    planes.format = 1;
    DumpKind offset = zPixmap(8, 8, false, 3);
    offset.xOffset = 5;
    struct Case {
        DumpKind kind;
        std::uint32_t w, h, box;
    } const cases[] = {
        {bits, 640, 480, 64}, {bits, 333, 97, 40}, {zPixmap(32, 24, false, 4, {0xFF0000, 0xFF00, 0xFF}), 1001, 3, 256},
        {planes, 123, 321, 50}, {offset, 77, 300, 29},
    };
    TempDir dir;
    for (const Case& c : cases) {
        std::vector<std::uint32_t> values;
        for (std::uint32_t y = 0; y < c.h; ++y)
            for (std::uint32_t x = 0; x < c.w; ++x)
                values.push_back(c.kind.depth == 1 ? (x + y) & 1 : (x * 7 + y * 13) & 0xFFFFFF);
        Bytes map;
        for (std::uint32_t i = 0; c.kind.visual < 4 && i < (1u << c.kind.depth); ++i)
            appendColourEntry(map, i, static_cast<std::uint16_t>(i * 65535 / ((1u << c.kind.depth) - 1)),
                              static_cast<std::uint16_t>(i * 999), static_cast<std::uint16_t>(i * 257));
        writeFile(dir / "built.xwd", kindDump(c.kind, c.w, c.h, values, map).bytes());
        expectLikeLibrary(dir / "built.xwd", c.box);
    }
}

TEST(Thumbnail, DamagedDumpsAreRefusedAsTheLibraryRefusesThem)
{
    const Bytes whole = canonicalDump(40, 30, patternPixel).bytes();
    TempDir dir;
    for (std::size_t keep : {std::size_t{0}, std::size_t{60}, std::size_t{104}, std::size_t{3000},
                             whole.size() - 40 * 4 * 30, whole.size() - 40 * 4 * 30 + 3}) {
        writeFile(dir / "cut.xwd", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(keep)));
        const std::string path = nativePath(dir / "cut.xwd");
        Thumbnail t;
        int error = 0;
        const std::int32_t result = makeThumbnail(path.c_str(), 16, t, error);
        EXPECT_NE(result, RASTREX_OK) << keep;
        EXPECT_EQ(result, fnRastrex(path.c_str(), nativePath(dir / "cut.bmp").c_str())) << keep;
        EXPECT_TRUE(t.bgr.empty());
    }
    Thumbnail t;
    int error = 0;
    EXPECT_EQ(makeThumbnail(nativePath(dir / "missing.xwd").c_str(), 16, t, error), RASTREX_ERR_OPEN_INPUT);
    EXPECT_NE(error, 0);
}

TEST(Thumbnail, ADumpClaimingFarMoreThanItHoldsIsShrunkFromWhatItHoldsOrRefused)
{
    // A header of 300 x 200 pixels over two rows (1% of them), and one of a
    // single row of 6400 pixels over 64 of them: what is missing is black,
    // and is not decoded. One of 30000 x 30000 pixels over two rows, or a
    // row of 2^30 - 1 pixels over 64, holds less than 1%, which the front
    // ends do not convert: no thumbnail, not a black square.
    const auto white = [](auto, auto) { return Rgb{255, 255, 255}; };
    const auto claiming = [&](std::uint32_t width, std::uint32_t height, std::uint32_t claimedWidth,
                              std::uint32_t claimedHeight) {
        XwdRecipe r = canonicalDump(width, height, white);
        r.word(4) = claimedWidth;
        r.word(5) = claimedHeight;
        r.word(12) = claimedWidth * 4;
        return r;
    };
    // A 16-bit PseudoColor dump whose colour map of 65536 entries is cut
    // after 4000 bytes: the plain reading the library falls back on would
    // find 928 bytes of pixels after its 256 entries, none of the header's.
    XwdRecipe cutMap = claiming(4, 4, 4, 4);
    cutMap.word(2) = 2, cutMap.word(3) = 16, cutMap.word(11) = 16, cutMap.word(12) = 8, cutMap.word(13) = 3;
    cutMap.word(19) = 65536;
    cutMap.colormap.resize(4000);
    cutMap.pixels.clear();
    struct Case {
        XwdRecipe dump;
        std::int32_t result;
        std::uint32_t width, height;
        std::uint8_t topLeft;  // 255 times the share of white under it
    } const cases[] = {
        {claiming(300, 2, 300, 200), RASTREX_OK, 64, 43, 110},
        {claiming(64, 1, 6400, 1), RASTREX_OK, 64, 1, 163},
        {claiming(30000, 2, 30000, 30000), kThumbnailTooLittle, 0, 0, 0},
        {claiming(64, 1, 1073741823, 1), kThumbnailTooLittle, 0, 0, 0},
        {cutMap, kThumbnailTooLittle, 0, 0, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dump.words[4]);
        writeFile(dir / "claims.xwd", c.dump.bytes());
        Thumbnail t;
        int error = 0;
        ASSERT_EQ(makeThumbnail(nativePath(dir / "claims.xwd").c_str(), 64, t, error), c.result);
        const Bitmap b = asBitmap(t);
        ASSERT_EQ(b.width, c.width);
        ASSERT_EQ(b.height, c.height);
        if (c.result != RASTREX_OK)
            continue;
        EXPECT_EQ(b.at(0, 0), (Rgb{c.topLeft, c.topLeft, c.topLeft}));
        EXPECT_EQ(b.at(b.width - 1, b.height - 1), (Rgb{0, 0, 0}));
    }
}

// The thumbnail of `bytes` from a stream that cannot seek equals the one
// of the same bytes in a file, or fails as that one does.
void expectStreamLikeFile(const Bytes& bytes, std::uint32_t box, const std::string& what)
{
    TempDir dir;
    writeFile(dir / "dump.xwd", bytes);
    Thumbnail fromFile, fromStream;
    int error = 0;
    const std::int32_t fileResult = makeThumbnail(nativePath(dir / "dump.xwd").c_str(), box, fromFile, error);
    FrontOnlySource source(bytes);
    InputFile in(source);
    EXPECT_EQ(makeThumbnail(in, box, fromStream), fileResult) << what;
    EXPECT_EQ(fromStream.width, fromFile.width) << what;
    EXPECT_EQ(fromStream.height, fromFile.height) << what;
    EXPECT_TRUE(fromStream.bgr == fromFile.bgr) << what;
}

TEST(Thumbnail, AStreamThatCannotSeekGivesTheFilesThumbnail)
{
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(RASTREX_TEST_DATA_DIR)) {
        if (entry.path().extension() != ".xwd")
            continue;
        for (std::uint32_t box : {5u, 64u})
            expectStreamLikeFile(readFile(entry.path()), box, entry.path().filename().string());
        ++seen;
    }
    EXPECT_GT(seen, 50);
}

TEST(Thumbnail, AStreamThatCannotSeekCutShortOrClaimingMoreIsShrunkFromWhatItHolds)
{
    // Rows of 40 pixels of 4 bytes after a header of 1129 bytes (with its
    // colour map): cut before a pixel, inside the first pixel, inside a
    // row, at a row's end, inside the last row. Rows longer than a band
    // (70000 pixels), with padding and an x offset, whole and cut inside a
    // row; rows longer than a held block (300000 pixels). A header claiming
    // a row of 2^30 - 1 pixels over 64 of them, and 30000 rows over two.
    const Bytes whole = canonicalDump(40, 30, patternPixel).bytes();
    const std::size_t area = whole.size() - 40 * 4 * 30;
    DumpKind padded = zPixmap(32, 24, false, 4, {0xFF0000, 0xFF00, 0xFF});
    padded.extraRowBytes = 13;
    padded.xOffset = 3;
    auto longRows = [&](std::uint32_t width, std::uint32_t height) {
        std::vector<std::uint32_t> values;
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x)
                values.push_back((x * 7919u + y * 104729u) & 0xFFFFFF);
        return kindDump(padded, width, height, values, {}).bytes();
    };
    const Bytes band = longRows(70000, 3);
    const Bytes block = longRows(300000, 2);
    XwdRecipe wide = canonicalDump(64, 1, patternPixel);
    wide.word(4) = 1073741823;
    wide.word(12) = 1073741823u * 4;
    XwdRecipe tall = canonicalDump(30000, 2, patternPixel);
    tall.word(5) = 30000;
    struct Case {
        const Bytes bytes;
        std::size_t keep;
    } const cases[] = {
        {whole, area}, {whole, area + 2}, {whole, area + 4}, {whole, area + 70}, {whole, area + 160 * 7},
        {whole, whole.size() - 1}, {band, SIZE_MAX}, {band, band.size() - 280000 - 9}, {block, SIZE_MAX},
        {wide.bytes(), SIZE_MAX}, {tall.bytes(), SIZE_MAX},
    };
    for (const Case& c : cases) {
        const std::size_t keep = std::min(c.keep, c.bytes.size());
        expectStreamLikeFile(Bytes(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(keep)), 16,
                             std::to_string(c.bytes.size()) + " bytes cut to " + std::to_string(keep));
    }
}

TEST(Thumbnail, AStreamThatCannotSeekIsHeldOnlyWhenItsPlanesMustBe)
{
    // Pixel areas past the bound of what is held: a one-plane dump is read
    // row by row all the same, a planar one (24 planes) refused.
    const std::uint32_t width = 8192;
    const std::uint32_t height = static_cast<std::uint32_t>(kMaxHeldThumbnailBytes / (width * 4) + 1);
    XwdRecipe rows = canonicalDump(1, 1, patternPixel);
    rows.word(4) = width;
    rows.word(5) = height;
    rows.word(12) = width * 4;
    rows.pixels.clear();
    XwdRecipe planes = rows;
    planes.word(2) = 1;  // XYPixmap: one bit a pixel in each of 24 planes
    planes.word(11) = 1;
    planes.word(12) = width / 8;
    const std::uint64_t planeBytes = std::uint64_t{width / 8} * height;
    const std::uint32_t planarHeight = static_cast<std::uint32_t>(kMaxHeldThumbnailBytes / (planeBytes / height * 24) + 1);
    planes.word(5) = planarHeight;
    struct Case {
        Bytes header;
        std::uint64_t area;
        std::int32_t result;
    } const cases[] = {
        {rows.bytes(), std::uint64_t{width} * 4 * height, RASTREX_OK},
        {planes.bytes(), std::uint64_t{width / 8} * planarHeight * 24, RASTREX_ERR_NO_MEMORY},
    };
    for (const Case& c : cases) {
        ASSERT_GT(c.area, kMaxHeldThumbnailBytes);
        FrontOnlySource source(c.header, c.header.size() + c.area);
        InputFile in(source);
        Thumbnail t;
        EXPECT_EQ(makeThumbnail(in, 32, t), c.result) << c.area;
        EXPECT_EQ(t.bgr.empty(), c.result != RASTREX_OK);
    }
}

// Each thumbnail pixel is its area's mean rounded to the nearest level: a
// white and a black pixel in a box of 1 give 127.5, so 128.
TEST(Thumbnail, TheMeanIsRoundedNotCut)
{
    TempDir dir;
    writeFile(dir / "two.xwd",
              canonicalDump(2, 1, [](std::uint32_t x, auto) { return x == 0 ? Rgb{255, 255, 255} : Rgb{}; }).bytes());
    Thumbnail t;
    int error = 0;
    ASSERT_EQ(makeThumbnail(nativePath(dir / "two.xwd").c_str(), 1, t, error), RASTREX_OK);
    EXPECT_EQ(t.bgr, (std::vector<unsigned char>{128, 128, 128}));
}

// A dump stored plane by plane and cut inside its first plane: its
// thumbnail is the library's bitmap shrunk, the rows with bits of the
// first plane among them.
TEST(Thumbnail, APlanarDumpCutShortIsShrunkLikeTheLibrarysBitmap)
{
    TempDir dir;
    const Bytes whole = readFile(fs::path(RASTREX_TEST_DATA_DIR) / "xwd-45x22-root-xy-d24.xwd");
    // 24 planes of 22 rows (bytes per line in word 12, height in word 5,
    // big-endian): keep 11 rows of the first.
    const auto word = [&](std::size_t i) {
        return std::size_t{whole[4 * i]} << 24 | std::size_t{whole[4 * i + 1]} << 16 | std::size_t{whole[4 * i + 2]} << 8 |
               whole[4 * i + 3];
    };
    const std::size_t plane = word(12) * word(5);
    writeFile(dir / "cut.xwd", Bytes(whole.begin(), whole.end() - static_cast<std::ptrdiff_t>(23 * plane + plane / 2)));
    expectLikeLibrary(dir / "cut.xwd", 16);
}

}  // namespace
