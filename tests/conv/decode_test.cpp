// fnRastrex on every kind of dump: fixtures written by real X servers and
// image tools, dumps of each layout built from known pixel values, and
// headers whose layout words describe nothing real (read the plain way).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>

#include "fs_support.h"
#include "rastrex.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

std::int32_t convert(const fs::path& in, const fs::path& out)
{
    return fnRastrex(nativePath(in).c_str(), nativePath(out).c_str());
}

// ---------------------------------------------------------------------------
// Fixtures: every dump under tests/data decodes to its expected picture,
// each channel within 1.

std::vector<std::string> fixtureNames()
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(RASTREX_TEST_DATA_DIR))
        if (e.path().extension() == ".xwd")
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Fixture : public ::testing::TestWithParam<std::string> {};

TEST_P(Fixture, DecodesWithinOneOfItsExpectedPicture)
{
    const fs::path data = RASTREX_TEST_DATA_DIR;
    TempDir dir;
    ASSERT_EQ(convert(data / (GetParam() + ".xwd"), dir / "out.bmp"), RASTREX_OK);
    const Bitmap got = parseBmp(readFile(dir / "out.bmp"));
    const Bitmap want = parsePpm(readFile(data / (GetParam() + ".ppm")));
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    int off = 0;
    for (std::size_t i = 0; i < want.pixels.size(); ++i) {
        const Rgb a = got.pixels[i], b = want.pixels[i];
        const int d = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        if (d > 1 && off++ < 5)
            ADD_FAILURE() << "pixel " << i % want.width << "," << i / want.width << " is "
                          << int(a.r) << "," << int(a.g) << "," << int(a.b) << " not "
                          << int(b.r) << "," << int(b.g) << "," << int(b.b);
    }
    EXPECT_EQ(off, 0);
}

INSTANTIATE_TEST_SUITE_P(Data, Fixture, ::testing::ValuesIn(fixtureNames()), [](const auto& info) {
    std::string s = info.param;
    std::replace(s.begin(), s.end(), '-', '_');
    return s;
});

TEST(Fixtures, AllWritersAreThere)
{
    // ImageMagick, netpbm, and xwd against servers of five depths, both formats.
    EXPECT_GE(fixtureNames().size(), 17u);
}

// ---------------------------------------------------------------------------
// Dumps of each layout, built from known pixel values.

enum class Map { kNone, kPalette, kIdentity, kInverted };

struct KindCase {
    const char* name;
    DumpKind kind;
    Map map = Map::kNone;
    std::uint32_t entries = 0;
    std::uint32_t width = 13;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

// Palette entry i: three unrelated 8-bit levels, stored as 16-bit intensities.
Rgb paletteColour(std::uint32_t i)
{
    return {static_cast<std::uint8_t>(i * 53 + 7), static_cast<std::uint8_t>(i * 29 + 100),
            static_cast<std::uint8_t>(i * 91 + 3)};
}

Bytes buildMap(Map style, std::uint32_t entries, const DumpKind& k)
{
    Bytes map;
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::uint8_t r, g, b;
        if (style == Map::kPalette) {
            const Rgb c = paletteColour(i);
            r = c.r, g = c.g, b = c.b;
        } else {
            const std::uint8_t v = static_cast<std::uint8_t>(style == Map::kInverted ? 255 - i : i);
            r = g = b = v;
        }
        // DirectColor entries name the value of every channel at once.
        std::uint32_t pixel = i;
        if (k.visual == 5)
            pixel = (i << std::countr_zero(k.masks[0])) | (i << std::countr_zero(k.masks[1])) |
                    (i << std::countr_zero(k.masks[2]));
        appendColourEntry(map, pixel, static_cast<std::uint16_t>(r * 257),
                          static_cast<std::uint16_t>(g * 257), static_cast<std::uint16_t>(b * 257));
    }
    return map;
}

std::uint8_t scaled(std::uint32_t v, int bits)
{
    return static_cast<std::uint8_t>(std::lround(v * 255.0 / ((1ull << bits) - 1)));
}

// What a pixel value shows, worked out from the dump's description.
Rgb expectedColour(const KindCase& c, std::uint32_t v)
{
    const DumpKind& k = c.kind;
    if (k.visual >= 4) {
        std::uint8_t ch[3];
        for (int i = 0; i < 3; ++i) {
            const std::uint32_t m = k.masks[i];
            const std::uint32_t field = (v & m) >> std::countr_zero(m);
            const int width = std::popcount(m);
            if (k.visual == 5 && c.map != Map::kNone)
                ch[i] = field >= c.entries ? 0
                        : c.map == Map::kInverted ? static_cast<std::uint8_t>(255 - field)
                                                  : static_cast<std::uint8_t>(field);
            else
                ch[i] = scaled(field, width);
        }
        return {ch[0], ch[1], ch[2]};
    }
    const std::uint32_t index = v & ((1ull << k.depth) - 1);
    if (c.map == Map::kPalette)
        return index < c.entries ? paletteColour(index) : Rgb{};
    if (k.visual <= 1) {
        const std::uint8_t g = scaled(index, static_cast<int>(k.depth));
        return {g, g, g};
    }
    return {};
}

// Pixel values that reach every bit a pixel can hold.
std::vector<std::uint32_t> pixelValues(const KindCase& c, std::uint32_t height)
{
    const DumpKind& k = c.kind;
    const std::uint32_t bits = k.format == 2 ? k.bitsPerPixel : k.depth;
    const std::uint32_t mask = bits >= 32 ? UINT32_MAX : (std::uint32_t{1} << bits) - 1;
    std::vector<std::uint32_t> v;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < c.width; ++x)
            v.push_back(((x + 1) * 2654435761u ^ (y + 3) * 40503u ^ (x * y * 977u)) & mask);
    return v;
}

constexpr std::uint32_t kHeight = 5;

DumpKind z(std::uint32_t bpp, std::uint32_t depth, bool msb, std::uint32_t visual,
           std::array<std::uint32_t, 3> masks = {0, 0, 0})
{
    DumpKind k;
    k.format = 2;
    k.bitsPerPixel = bpp;
    k.depth = depth;
    k.msbByteFirst = msb;
    k.visual = visual;
    std::copy(masks.begin(), masks.end(), k.masks);
    return k;
}

DumpKind bits(DumpKind k, std::uint32_t format, std::uint32_t unit, bool msbByte, bool msbBit)
{
    k.format = format;
    k.unitBits = unit;
    k.msbByteFirst = msbByte;
    k.msbBitFirst = msbBit;
    return k;
}

DumpKind wide(DumpKind k, std::uint32_t extra, std::uint32_t xOffset = 0)
{
    k.extraRowBytes = extra;
    k.xOffset = xOffset;
    return k;
}

constexpr std::array<std::uint32_t, 3> k888{0xFF0000, 0x00FF00, 0x0000FF};
constexpr std::array<std::uint32_t, 3> k565{0xF800, 0x07E0, 0x001F};
constexpr std::array<std::uint32_t, 3> k555{0x7C00, 0x03E0, 0x001F};
constexpr std::array<std::uint32_t, 3> k101010{0x3FF00000, 0x000FFC00, 0x000003FF};
constexpr std::array<std::uint32_t, 3> kBgr888{0x0000FF, 0x00FF00, 0xFF0000};

const KindCase kKinds[] = {
    {"z32_lsb_truecolor", z(32, 24, false, 4, k888)},
    {"z32_msb_truecolor", z(32, 24, true, 4, k888)},
    {"z32_msb_blue_high", z(32, 24, true, 4, kBgr888)},
    {"z24_lsb_truecolor", z(24, 24, false, 4, k888)},
    {"z24_msb_truecolor", z(24, 24, true, 4, k888)},
    {"z16_lsb_565", z(16, 16, false, 4, k565)},
    {"z16_msb_565", z(16, 16, true, 4, k565)},
    {"z16_lsb_555", z(16, 15, false, 4, k555)},
    {"z16_msb_555", z(16, 15, true, 4, k555)},
    {"z32_lsb_10bit_channels", z(32, 30, false, 4, k101010)},
    {"z32_msb_10bit_channels", z(32, 30, true, 4, k101010)},
    {"z32_directcolor_no_map", z(32, 24, false, 5, k888)},
    {"z32_directcolor_identity_map", z(32, 24, false, 5, k888), Map::kIdentity, 256},
    {"z32_directcolor_inverted_map", z(32, 24, true, 5, k888), Map::kInverted, 256},
    {"z24_directcolor_short_map", z(24, 24, true, 5, k888), Map::kIdentity, 100},
    {"z32_truecolor_ignores_its_map", z(32, 24, false, 4, k888), Map::kInverted, 256},
    {"z8_pseudocolor", z(8, 8, false, 3), Map::kPalette, 256},
    {"z8_indexes_past_the_map", z(8, 8, false, 3), Map::kPalette, 40},
    {"z8_staticcolor", z(8, 8, true, 2), Map::kPalette, 256},
    {"z8_grayscale_no_map", z(8, 8, false, 1)},
    {"z8_staticgray_map", z(8, 8, false, 0), Map::kPalette, 256},
    {"z8_pseudocolor_no_map_is_black", z(8, 8, false, 3)},
    {"z16_pseudocolor_12bit", z(16, 12, true, 3), Map::kPalette, 4096},
    {"z4_msb_pseudocolor", z(4, 4, true, 3), Map::kPalette, 16},
    {"z4_lsb_pseudocolor", z(4, 4, false, 3), Map::kPalette, 16},
    {"z4_lsb_grayscale_no_map", z(4, 4, false, 1)},
    {"z1_msb_bits_unit8", bits(z(1, 1, false, 0), 2, 8, false, true), Map::kPalette, 2},
    {"z1_lsb_bits_unit8", bits(z(1, 1, false, 0), 2, 8, false, false), Map::kPalette, 2},
    {"z1_msb_bits_unit32_lsb_bytes", bits(z(1, 1, false, 0), 2, 32, false, true), Map::kPalette, 2, 70},
    {"z1_lsb_bits_unit32_msb_bytes", bits(z(1, 1, false, 0), 2, 32, true, false), Map::kPalette, 2, 70},
    {"z1_lsb_bits_unit16_lsb_bytes_gray", bits(z(1, 1, false, 0), 2, 16, false, false)},
    {"xybitmap_msb", bits(z(1, 1, false, 3), 0, 32, true, true), Map::kPalette, 2, 40},
    {"xypixmap_8_pseudocolor", bits(z(1, 8, false, 3), 1, 32, false, false), Map::kPalette, 256},
    {"xypixmap_24_truecolor_lsb", bits(z(1, 24, false, 4, k888), 1, 32, false, false)},
    {"xypixmap_24_truecolor_msb", bits(z(1, 24, true, 4, k888), 1, 32, true, true), Map::kNone, 0, 40},
    {"xypixmap_16_565_unit8", bits(z(1, 16, false, 4, k565), 1, 8, false, true)},
    {"xypixmap_30_10bit", bits(z(1, 30, false, 4, k101010), 1, 16, true, false)},
    {"wide_rows_z32", wide(z(32, 24, false, 4, k888), 12)},
    {"wide_rows_z8", wide(z(8, 8, false, 3), 5), Map::kPalette, 256},
    {"wide_rows_z24_msb", wide(z(24, 24, true, 4, k888), 7)},
    {"x_offset_z8", wide(z(8, 8, false, 3), 0, 3), Map::kPalette, 256},
    {"x_offset_z1", wide(bits(z(1, 1, false, 0), 2, 8, false, true), 0, 5), Map::kPalette, 2},
    {"x_offset_xypixmap", wide(bits(z(1, 8, true, 3), 1, 16, true, true), 2, 9), Map::kPalette, 200},
    {"x_offset_past_units_z1", wide(bits(z(1, 1, true, 0), 2, 16, true, false), 3, 37), Map::kPalette, 2},
    {"x_offset_past_units_xypixmap", wide(bits(z(1, 4, false, 3), 1, 32, false, true), 0, 70), Map::kPalette, 16},
    {"x_offset_odd_z4", wide(z(4, 4, true, 3), 2, 7), Map::kPalette, 16},
    {"x_offset_z24_msb", wide(z(24, 24, true, 4, k888), 5, 4)},
    {"z32_truecolor_no_map", z(32, 24, false, 4, k888), Map::kNone, 0, 300},
};

class Kind : public ::testing::TestWithParam<KindCase> {
protected:
    TempDir dir;
    fs::path xwd = dir / "in.xwd";
    fs::path bmp = dir / "out.bmp";

    XwdRecipe dump(const std::vector<std::uint32_t>& values) const
    {
        const KindCase& c = GetParam();
        return kindDump(c.kind, c.width, kHeight, values, buildMap(c.map, c.entries, c.kind));
    }
};

// The dump's rows are read by offset while the bitmap goes beside it or
// over it, or held whole from a pipe: every way gives one picture. The
// bitmap's path comes back in `out`.
enum class Route { kBeside, kOverTheDump, kFromAPipe };
const Route kRoutes[] = {Route::kBeside, Route::kOverTheDump, Route::kFromAPipe};
const char* const kRouteNames[] = {"bitmap beside the dump", "bitmap over the dump", "dump from a pipe"};

std::int32_t convertBy(Route route, const Bytes& dump, const fs::path& xwd, const fs::path& bmp,
                       fs::path& out)
{
    out = route == Route::kOverTheDump ? xwd : bmp;
    if (route == Route::kFromAPipe) {
        PipeFeed feed(dump);
        return fnRastrex(feed.path().c_str(), nativePath(out).c_str());
    }
    writeFile(xwd, dump);
    return convert(xwd, out);
}

TEST_P(Kind, DecodesToTheKnownPicture)
{
    const KindCase& c = GetParam();
    const std::vector<std::uint32_t> values = pixelValues(c, kHeight);
    for (Route route : kRoutes) {
        SCOPED_TRACE(kRouteNames[static_cast<int>(route)]);
        fs::path out;
        ASSERT_EQ(convertBy(route, dump(values).bytes(), xwd, bmp, out), RASTREX_OK);
        const Bitmap pic = parseBmp(readFile(out));
        ASSERT_EQ(pic.width, c.width);
        ASSERT_EQ(pic.height, kHeight);
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < c.width; ++x) {
                const std::uint32_t v = values[std::size_t{y} * c.width + x];
                const Rgb want = expectedColour(c, v);
                const Rgb got = pic.at(x, y);
                ASSERT_TRUE(got == want) << "pixel " << x << "," << y << " value " << std::hex << v
                                         << std::dec << ": " << int(got.r) << "," << int(got.g)
                                         << "," << int(got.b) << " not " << int(want.r) << ","
                                         << int(want.g) << "," << int(want.b);
            }
    }
}

TEST_P(Kind, AShortAreaKeepsItsWholeRowsAndBlackensTheRest)
{
    const KindCase& c = GetParam();
    const std::vector<std::uint32_t> values = pixelValues(c, kHeight);
    XwdRecipe r = dump(values);
    // Keep two rows of the last plane (of the only one, for ZPixmap).
    const std::size_t planeBytes = r.pixels.size() / (c.kind.format == 2 ? 1 : c.kind.depth);
    const std::size_t rowBytes = planeBytes / kHeight;
    r.pixels.resize(r.pixels.size() - planeBytes + 2 * rowBytes);
    for (Route route : kRoutes) {
        SCOPED_TRACE(kRouteNames[static_cast<int>(route)]);
        fs::path out;
        ASSERT_EQ(convertBy(route, r.bytes(), xwd, bmp, out), RASTREX_OK);
        const Bitmap pic = parseBmp(readFile(out));
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < c.width; ++x)
                ASSERT_EQ(pic.at(x, y),
                          y < 2 ? expectedColour(c, values[std::size_t{y} * c.width + x]) : Rgb{})
                    << x << "," << y;
    }
}

TEST_P(Kind, NotOneWholePixelIsAReadFailure)
{
    XwdRecipe r = dump(pixelValues(GetParam(), kHeight));
    // What is left is less than the first pixel needs in its last plane.
    const DumpKind& k = GetParam().kind;
    const std::size_t planeBytes = r.pixels.size() / (k.format == 2 ? 1 : k.depth);
    std::size_t firstPixelBytes = 1;  // 1-bit data: none of the last plane
    if (k.format == 2 && k.bitsPerPixel >= 8)
        firstPixelBytes = (k.xOffset + 1) * (k.bitsPerPixel / 8);
    else if (k.format == 2 && k.bitsPerPixel == 4)
        firstPixelBytes = k.xOffset / 2 + 1;
    r.pixels.resize(r.pixels.size() - planeBytes + firstPixelBytes - 1);
    writeFile(xwd, r.bytes());
    writeFile(bmp, {'o', 'l', 'd'});
    EXPECT_EQ(convert(xwd, bmp), RASTREX_ERR_READ_INPUT);
    EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, Kind, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// Pictures taller than one band of rows read at a time, or than one block
// of rows held from a pipe, with the dump ending inside a later one.
TEST(TallDump, CrossesBandsAndBlocksAndEndsInOne)
{
    const KindCase cases[] = {
        {"z8", z(8, 8, false, 3), Map::kPalette, 256, 301},
        {"xypixmap_24", bits(z(1, 24, false, 4, k888), 1, 32, false, false), Map::kNone, 0, 200},
        {"z32", z(32, 24, false, 4, k888), Map::kNone, 0, 700},
    };
    constexpr std::uint32_t kTall = 1500;
    for (const KindCase& c : cases)
        for (Route route : {Route::kBeside, Route::kFromAPipe}) {
            SCOPED_TRACE(std::string(c.name) + ", " + kRouteNames[static_cast<int>(route)]);
            TempDir dir;
            const std::vector<std::uint32_t> values = pixelValues(c, kTall);
            XwdRecipe r = kindDump(c.kind, c.width, kTall, values, buildMap(c.map, c.entries, c.kind));
            const std::size_t rowBytes = r.word(12);
            const std::uint32_t keptRows = 1234;
            r.pixels.resize(r.pixels.size() - std::size_t{kTall - keptRows} * rowBytes);
            fs::path out;
            ASSERT_EQ(convertBy(route, r.bytes(), dir / "in.xwd", dir / "out.bmp", out), RASTREX_OK);
            const Bitmap pic = parseBmp(readFile(out));
            for (std::uint32_t y = 0; y < kTall; ++y)
                for (std::uint32_t x = 0; x < c.width; ++x)
                    ASSERT_EQ(pic.at(x, y),
                              y < keptRows ? expectedColour(c, values[std::size_t{y} * c.width + x])
                                           : Rgb{})
                        << x << "," << y;
        }
}

// ---------------------------------------------------------------------------
// Layout words that cannot describe real data: the dump is read the plain
// way (32-bit units of blue, green, red after 256 colour entries), which for
// these dumps is their true picture.

struct Mangle {
    const char* name;
    int word;
    std::uint32_t value;
};

void PrintTo(const Mangle& m, std::ostream* os) { *os << m.name; }

class Malformed : public ::testing::TestWithParam<Mangle> {};

TEST_P(Malformed, FallsBackToThePlainReading)
{
    TempDir dir;
    XwdRecipe r = canonicalDump(6, 4, patternPixel);
    r.word(GetParam().word) = GetParam().value;
    writeFile(dir / "in.xwd", r.bytes());
    ASSERT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_OK);
    const Bitmap pic = parseBmp(readFile(dir / "out.bmp"));
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 6; ++x)
            ASSERT_EQ(pic.at(x, y), patternPixel(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Words, Malformed,
    ::testing::Values(Mangle{"version_6", 1, 6}, Mangle{"format_3", 2, 3},
                      Mangle{"format_huge", 2, 0xFFFFFFFF}, Mangle{"depth_0", 3, 0},
                      Mangle{"depth_33", 3, 33}, Mangle{"bits_per_pixel_below_depth", 11, 16},
                      Mangle{"byte_order_2", 7, 2}, Mangle{"bits_per_pixel_0", 11, 0},
                      Mangle{"bits_per_pixel_57", 11, 57}, Mangle{"bits_per_pixel_12", 11, 12},
                      Mangle{"bytes_per_line_0", 12, 0}, Mangle{"bytes_per_line_short", 12, 23},
                      Mangle{"visual_class_6", 13, 6}, Mangle{"red_mask_0", 14, 0},
                      Mangle{"all_masks_ones", 14, 0xFFFFFFFF},
                      Mangle{"masks_overlap", 15, 0xFFFF00}, Mangle{"mask_not_one_run", 16, 0x0F0F},
                      Mangle{"colour_entries_over_65536", 19, 65537},
                      Mangle{"colour_entries_all_ones", 19, 0xFFFFFFFF},
                      Mangle{"colour_map_past_the_end", 19, 300},
                      Mangle{"x_offset_past_the_row", 6, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Malformed, AllOnesMaskOnEveryChannelFallsBack)
{
    TempDir dir;
    XwdRecipe r = canonicalDump(3, 2, patternPixel);
    r.word(14) = r.word(15) = r.word(16) = 0xFFFFFFFF;
    writeFile(dir / "in.xwd", r.bytes());
    ASSERT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_OK);
    EXPECT_EQ(parseBmp(readFile(dir / "out.bmp")).at(2, 1), patternPixel(2, 1));
}

TEST(Malformed, HugeRowLengthKeepsTheFirstRowAndBlackensTheRest)
{
    // A row length of 2^32 - 1 describes rows far apart: only the first is
    // in the file.
    TempDir dir;
    XwdRecipe r = canonicalDump(5, 3, patternPixel);
    r.word(12) = 0xFFFFFFFF;
    writeFile(dir / "in.xwd", r.bytes());
    ASSERT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_OK);
    const Bitmap pic = parseBmp(readFile(dir / "out.bmp"));
    for (std::uint32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(pic.at(x, 0), patternPixel(x, 0));
        EXPECT_EQ(pic.at(x, 1), Rgb{});
        EXPECT_EQ(pic.at(x, 2), Rgb{});
    }
}

TEST(Malformed, ColourMapEndingTheFileIsAReadFailureNotAFallbackPicture)
{
    // 300 entries run past the end; the plain reading's 256 entries take
    // everything that is left, so no pixel remains.
    TempDir dir;
    XwdRecipe r = canonicalDump(2, 2, patternPixel);
    r.word(19) = 300;
    r.pixels.clear();
    writeFile(dir / "in.xwd", r.bytes());
    EXPECT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_ERR_READ_INPUT);
    EXPECT_FALSE(fs::exists(dir / "out.bmp"));
}

TEST(Malformed, HugeHeaderSizeReadsNothing)
{
    TempDir dir;
    XwdRecipe r = canonicalDump(2, 2, patternPixel);
    r.headerSize = 0xFFFFFFFF;
    writeFile(dir / "in.xwd", r.bytes());
    EXPECT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_ERR_READ_INPUT);
}

}  // namespace
