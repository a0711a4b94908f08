// fnRastrex on every kind of dump: fixtures written by real X servers and
// image tools, dumps of each layout built from known pixel values, and
// headers whose layout words describe nothing real (read the plain way).
// Linked with the library's objects, so that the widest pictures can be
// decoded at each level of row paths the processor has.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <bit>
#include <cmath>

#include "fs_support.h"
#include "rastrex.h"
#include "xwd_decoder.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

// ---------------------------------------------------------------------------
// Fixtures: every dump under tests/data decodes to its expected picture,
// each channel within 1, and to the very bitmap bytes pinned here (FNV-1a
// of the whole file), so that any change of output shows.

struct FixtureCase {
    const char* name;
    std::uint64_t bitmapFnv1a;
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.name; }

// One row per dump; tests/data/make_fixtures.sh tells how each was made.
const FixtureCase kFixtures[] = {
    {"ffmpeg-abgr", 0x1d3800748c9f62a6ull},
    {"ffmpeg-argb", 0x1d3800748c9f62a6ull},
    {"ffmpeg-bgr24", 0x1d3800748c9f62a6ull},
    {"ffmpeg-bgr4_byte", 0x0dc2ea78f705b2e4ull},
    {"ffmpeg-bgr555be", 0x4ea862a55750d91bull},
    {"ffmpeg-bgr555le", 0x4ea862a55750d91bull},
    {"ffmpeg-bgr565be", 0x1b8afee4bd9cb94full},
    {"ffmpeg-bgr565le", 0x1b8afee4bd9cb94full},
    {"ffmpeg-bgr8", 0xd878e5fea774f70aull},
    {"ffmpeg-bgra", 0x1d3800748c9f62a6ull},
    {"ffmpeg-gray", 0x77582fcd6f49945cull},
    {"ffmpeg-monow", 0xf8c41a2b63c26e8cull},
    {"ffmpeg-pal8", 0xd878e5fea774f70aull},
    {"ffmpeg-rgb24", 0x1d3800748c9f62a6ull},
    {"ffmpeg-rgb4_byte", 0x0dc2ea78f705b2e4ull},
    {"ffmpeg-rgb555be", 0x4ea862a55750d91bull},
    {"ffmpeg-rgb555le", 0x88f3d139eeec7971ull},
    {"ffmpeg-rgb565be", 0x1b8afee4bd9cb94full},
    {"ffmpeg-rgb565le", 0x33d5bc21c1b4240cull},
    {"ffmpeg-rgb8", 0xd878e5fea774f70aull},
    {"ffmpeg-rgba", 0x1d3800748c9f62a6ull},
    {"gimp-grey", 0x79de48d3aabff80full},
    {"gimp-indexed2", 0x6baa7ef8223eed3aull},
    {"gimp-indexed6", 0x405f3ec4913b4cd0ull},
    {"gimp-rgb", 0x1d3800748c9f62a6ull},
    {"gm-grey", 0xd7305406cf6079cdull},
    {"gm-mono", 0xeca41e60fdf8b731ull},
    {"gm-palette", 0x799377365aae1a14ull},
    {"gm-truecolor", 0x1d3800748c9f62a6ull},
    {"imagemagick-palette", 0x71189fa7c7b3f430ull},
    {"imagemagick-pseudo16", 0x6fed768d0508b090ull},
    {"imagemagick-rgb24", 0x7d2d257bdef51520ull},
    {"pnmtoxwd-direct", 0xb8444208598e359full},
    {"pnmtoxwd-gray", 0x2b128056050fbed2ull},
    {"pnmtoxwd-mono", 0xe6a5ece9d3d0fb54ull},
    {"pnmtoxwd-pseudo8", 0x16d096c7586d4f58ull},
    {"xwd-45x22-root-d15", 0x321010c072118833ull},
    {"xwd-45x22-root-d16-directcolor", 0x3c8e77fe789b94c3ull},
    {"xwd-45x22-root-d16-multivisual", 0x0f3e7187b4ed2b7full},
    {"xwd-45x22-root-d16", 0x0ba8db59570843ccull},
    {"xwd-45x22-root-d24-directcolor", 0xed9ae7e8e7ca2479ull},
    {"xwd-45x22-root-d24", 0x0f3e7187b4ed2b7full},
    {"xwd-45x22-root-d30", 0x0f3e7187b4ed2b7full},
    {"xwd-45x22-root-d8-directcolor", 0x1f6140e4c4e092ebull},
    {"xwd-45x22-root-d8-grayscale", 0x050b4874b6cbb106ull},
    {"xwd-45x22-root-d8-staticcolor", 0x23a369d9c58750c0ull},
    {"xwd-45x22-root-d8-staticgray", 0x9f26d63358f18fe0ull},
    {"xwd-45x22-root-d8-truecolor", 0x321f522da40eeef0ull},
    {"xwd-45x22-root-d8", 0xcc104a500581405cull},
    {"xwd-45x22-root-xy-d15", 0x321010c072118833ull},
    {"xwd-45x22-root-xy-d16", 0x0ba8db59570843ccull},
    {"xwd-45x22-root-xy-d24", 0x0f3e7187b4ed2b7full},
    {"xwd-45x22-root-xy-d30", 0x0f3e7187b4ed2b7full},
    {"xwd-45x22-root-xy-d8", 0xcc104a500581405cull},
    {"xwd-root-d15", 0xe48055a5e69eb2bdull},
    {"xwd-root-d16", 0x7c2d535db37a06ecull},
    {"xwd-root-d24", 0x0a5b929a1d57fe66ull},
    {"xwd-root-d30", 0xe8b526df874fca85ull},
    {"xwd-root-d8", 0x503bda8208e15751ull},
    {"xwd-root-xy-d15", 0xe48055a5e69eb2bdull},
    {"xwd-root-xy-d16", 0x7c2d535db37a06ecull},
    {"xwd-root-xy-d24", 0x0a5b929a1d57fe66ull},
    {"xwd-root-xy-d30", 0xe8b526df874fca85ull},
    {"xwd-root-xy-d8", 0x503bda8208e15751ull},
    {"xwd-window-d15", 0xe8e9a25450d511b1ull},
    {"xwd-window-d16", 0x16dd74d7fcda302cull},
    {"xwd-window-d24", 0x179345f1031f2de5ull},
    {"xwd-window-d30", 0x179345f1031f2de5ull},
    {"xwd-window-d8", 0xffca92f651c9888cull},
    {"xwd-window-xy-d15", 0xe8e9a25450d511b1ull},
    {"xwd-window-xy-d16", 0x16dd74d7fcda302cull},
    {"xwd-window-xy-d24", 0x179345f1031f2de5ull},
    {"xwd-window-xy-d30", 0x179345f1031f2de5ull},
    {"xwd-window-xy-d8", 0xffca92f651c9888cull},
};

std::uint64_t fnv1a(const Bytes& bytes)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const std::uint8_t b : bytes)
        h = (h ^ b) * 0x100000001b3ull;
    return h;
}

class Fixture : public ::testing::TestWithParam<FixtureCase> {
protected:
    const fs::path data = RASTREX_TEST_DATA_DIR;
    TempDir dir;

    Bytes bitmap()
    {
        const fs::path out = dir / "out.bmp";
        EXPECT_EQ(convert(data / (std::string(GetParam().name) + ".xwd"), out), RASTREX_OK);
        return fs::exists(out) ? readFile(out) : Bytes{};
    }
};

TEST_P(Fixture, DecodesWithinOneOfItsExpectedPicture)
{
    const Bitmap got = parseBmp(bitmap());
    const Bitmap want = parsePpm(readFile(data / (std::string(GetParam().name) + ".ppm")));
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

TEST_P(Fixture, BitmapBytesAreThePinnedOnes)
{
    EXPECT_EQ(fnv1a(bitmap()), GetParam().bitmapFnv1a)
        << std::hex << "FNV-1a of the bitmap is 0x" << fnv1a(bitmap());
}

INSTANTIATE_TEST_SUITE_P(Data, Fixture, ::testing::ValuesIn(kFixtures), [](const auto& row) {
    std::string s = row.param.name;
    std::replace_if(s.begin(), s.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return s;
});

TEST(Fixtures, EveryDumpHasARow)
{
    std::vector<std::string> files, rows;
    for (const auto& e : fs::directory_iterator(RASTREX_TEST_DATA_DIR))
        if (e.path().extension() == ".xwd")
            files.push_back(e.path().stem().string());
    for (const FixtureCase& c : kFixtures)
        rows.push_back(c.name);
    std::sort(files.begin(), files.end());
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(files, rows);
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
    return static_cast<std::uint8_t>(std::lround(static_cast<double>(v) * 255.0 / static_cast<double>((1ull << bits) - 1)));
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
    const auto index = static_cast<std::uint32_t>(v & ((1ull << k.depth) - 1));
    if (c.map == Map::kPalette)
        return index < c.entries ? paletteColour(index) : Rgb{};
    if (k.visual <= 1 && k.depth == 1)  // a bitmap: set bits are black
        return index != 0 ? Rgb{} : Rgb{255, 255, 255};
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
        for (std::uint32_t x = 0; x < c.width; ++x) {
            // Mixed so that the low bits vary too: 1-bit rows need pixels
            // that differ from byte to byte.
            std::uint32_t h = (x + 1) * 2654435761u ^ (y + 3) * 40503u ^ (x * y * 977u);
            h ^= h >> 15;
            h *= 0x2C1B3C6Du;
            h ^= h >> 12;
            v.push_back(h & mask);
        }
    return v;
}

constexpr std::uint32_t kHeight = 5;

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
constexpr std::array<std::uint32_t, 3> k444{0x0F00, 0x00F0, 0x000F};
constexpr std::array<std::uint32_t, 3> k101010{0x3FF00000, 0x000FFC00, 0x000003FF};
constexpr std::array<std::uint32_t, 3> kBgr888{0x0000FF, 0x00FF00, 0xFF0000};

const KindCase kKinds[] = {
    {"z32_lsb_truecolor", zPixmap(32, 24, false, 4, k888)},
    {"z32_msb_truecolor", zPixmap(32, 24, true, 4, k888)},
    {"z32_msb_blue_high", zPixmap(32, 24, true, 4, kBgr888)},
    {"z24_lsb_truecolor", zPixmap(24, 24, false, 4, k888)},
    {"z24_msb_truecolor", zPixmap(24, 24, true, 4, k888)},
    {"z24_lsb_blue_high", zPixmap(24, 24, false, 4, kBgr888)},
    // Channels of 6 bits: no byte to copy, each pixel read by itself.
    {"z24_lsb_18bit_channels", zPixmap(24, 18, false, 4, {0x3F000, 0xFC0, 0x3F})},
    {"z24_msb_18bit_channels", zPixmap(24, 18, true, 4, {0x3F000, 0xFC0, 0x3F})},
    {"z16_lsb_565", zPixmap(16, 16, false, 4, k565)},
    {"z16_msb_565", zPixmap(16, 16, true, 4, k565)},
    {"z16_lsb_555", zPixmap(16, 15, false, 4, k555)},
    {"z16_msb_555", zPixmap(16, 15, true, 4, k555)},
    {"z32_lsb_10bit_channels", zPixmap(32, 30, false, 4, k101010)},
    {"z32_msb_10bit_channels", zPixmap(32, 30, true, 4, k101010)},
    {"z32_directcolor_no_map", zPixmap(32, 24, false, 5, k888)},
    {"z32_directcolor_identity_map", zPixmap(32, 24, false, 5, k888), Map::kIdentity, 256},
    {"z32_directcolor_inverted_map", zPixmap(32, 24, true, 5, k888), Map::kInverted, 256},
    {"z24_directcolor_short_map", zPixmap(24, 24, true, 5, k888), Map::kIdentity, 100},
    {"z32_truecolor_ignores_its_map", zPixmap(32, 24, false, 4, k888), Map::kInverted, 256},
    {"z8_pseudocolor", zPixmap(8, 8, false, 3), Map::kPalette, 256},
    {"z8_indexes_past_the_map", zPixmap(8, 8, false, 3), Map::kPalette, 40},
    {"z8_staticcolor", zPixmap(8, 8, true, 2), Map::kPalette, 256},
    {"z8_grayscale_no_map", zPixmap(8, 8, false, 1)},
    {"z8_staticgray_map", zPixmap(8, 8, false, 0), Map::kPalette, 256},
    {"z8_pseudocolor_no_map_is_black", zPixmap(8, 8, false, 3)},
    {"z16_pseudocolor_12bit", zPixmap(16, 12, true, 3), Map::kPalette, 4096},
    {"z16_lsb_444_12bit", zPixmap(16, 12, false, 4, k444)},
    {"z16_pseudocolor_largest_map", zPixmap(16, 16, false, 3), Map::kPalette, 65536},
    {"z32_depth_32", zPixmap(32, 32, true, 4, k888)},
    {"z4_msb_pseudocolor", zPixmap(4, 4, true, 3), Map::kPalette, 16},
    {"z4_lsb_pseudocolor", zPixmap(4, 4, false, 3), Map::kPalette, 16},
    {"z4_lsb_grayscale_no_map", zPixmap(4, 4, false, 1)},
    {"z1_msb_bits_unit8", bits(zPixmap(1, 1, false, 0), 2, 8, false, true), Map::kPalette, 2},
    {"z1_lsb_bits_unit8", bits(zPixmap(1, 1, false, 0), 2, 8, false, false), Map::kPalette, 2},
    {"z1_msb_bits_unit32_lsb_bytes", bits(zPixmap(1, 1, false, 0), 2, 32, false, true), Map::kPalette, 2, 70},
    {"z1_lsb_bits_unit32_msb_bytes", bits(zPixmap(1, 1, false, 0), 2, 32, true, false), Map::kPalette, 2, 70},
    {"z1_lsb_bits_unit16_lsb_bytes_gray", bits(zPixmap(1, 1, false, 0), 2, 16, false, false)},
    {"xybitmap_msb", bits(zPixmap(1, 1, false, 3), 0, 32, true, true), Map::kPalette, 2, 40},
    {"xypixmap_8_pseudocolor", bits(zPixmap(1, 8, false, 3), 1, 32, false, false), Map::kPalette, 256},
    {"xypixmap_24_truecolor_lsb", bits(zPixmap(1, 24, false, 4, k888), 1, 32, false, false)},
    {"xypixmap_24_truecolor_msb", bits(zPixmap(1, 24, true, 4, k888), 1, 32, true, true), Map::kNone, 0, 40},
    {"xypixmap_16_565_unit8", bits(zPixmap(1, 16, false, 4, k565), 1, 8, false, true)},
    {"xypixmap_30_10bit", bits(zPixmap(1, 30, false, 4, k101010), 1, 16, true, false)},
    {"wide_rows_z32", wide(zPixmap(32, 24, false, 4, k888), 12)},
    {"wide_rows_z8", wide(zPixmap(8, 8, false, 3), 5), Map::kPalette, 256},
    {"wide_rows_z24_msb", wide(zPixmap(24, 24, true, 4, k888), 7)},
    {"x_offset_z8", wide(zPixmap(8, 8, false, 3), 0, 3), Map::kPalette, 256},
    {"x_offset_z1", wide(bits(zPixmap(1, 1, false, 0), 2, 8, false, true), 0, 5), Map::kPalette, 2},
    {"x_offset_xypixmap", wide(bits(zPixmap(1, 8, true, 3), 1, 16, true, true), 2, 9), Map::kPalette, 200},
    {"x_offset_past_units_z1", wide(bits(zPixmap(1, 1, true, 0), 2, 16, true, false), 3, 37), Map::kPalette, 2},
    {"x_offset_past_units_xypixmap", wide(bits(zPixmap(1, 4, false, 3), 1, 32, false, true), 0, 70), Map::kPalette, 16},
    {"x_offset_odd_z4", wide(zPixmap(4, 4, true, 3), 2, 7), Map::kPalette, 16},
    {"x_offset_z24_msb", wide(zPixmap(24, 24, true, 4, k888), 5, 4)},
    {"x_offset_z16_msb_565", wide(zPixmap(16, 16, true, 4, k565), 3, 5)},
    {"x_offset_z1_lsb_bits_unit32_lsb_bytes", wide(bits(zPixmap(1, 1, false, 0), 2, 32, false, false), 0, 11), Map::kPalette, 2, 70},
    {"z32_truecolor_no_map", zPixmap(32, 24, false, 4, k888), Map::kNone, 0, 300},
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
    // Keep two rows of the last plane (of the only one, for ZPixmap): the
    // rows below lack that plane's bit, the lowest, taken as 0; those of a
    // row dump are black.
    const bool planar = c.kind.format != 2 && c.kind.depth > 1;
    const std::size_t planeBytes = r.pixels.size() / (c.kind.format == 2 ? 1 : c.kind.depth);
    const std::size_t rowBytes = planeBytes / kHeight;
    r.pixels.resize(r.pixels.size() - planeBytes + 2 * rowBytes);
    for (Route route : kRoutes) {
        SCOPED_TRACE(kRouteNames[static_cast<int>(route)]);
        fs::path out;
        ASSERT_EQ(convertBy(route, r.bytes(), xwd, bmp, out), RASTREX_OK);
        const Bitmap pic = parseBmp(readFile(out));
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < c.width; ++x) {
                const std::uint32_t v = values[std::size_t{y} * c.width + x];
                ASSERT_EQ(pic.at(x, y), y < 2 ? expectedColour(c, v) : planar ? expectedColour(c, v & ~1u) : Rgb{})
                    << x << "," << y;
            }
    }
}

TEST_P(Kind, NotOneWholePixelIsAReadFailure)
{
    XwdRecipe r = dump(pixelValues(GetParam(), kHeight));
    // What is left is less than the first pixel needs in the first plane
    // (the only one, for ZPixmap): a pixel with one bit of several planes
    // is one to show.
    const DumpKind& k = GetParam().kind;
    std::size_t firstPixelBytes = 1;  // 1-bit data: none
    if (k.format == 2 && k.bitsPerPixel >= 8)
        firstPixelBytes = (k.xOffset + 1) * (k.bitsPerPixel / 8);
    else if (k.format == 2 && k.bitsPerPixel == 4)
        firstPixelBytes = k.xOffset / 2 + 1;
    r.pixels.resize(firstPixelBytes - 1);
    writeFile(xwd, r.bytes());
    writeFile(bmp, {'o', 'l', 'd'});
    EXPECT_EQ(convert(xwd, bmp), RASTREX_ERR_READ_INPUT);
    EXPECT_EQ(readFile(bmp), (Bytes{'o', 'l', 'd'}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, Kind, ::testing::ValuesIn(kKinds),
                         [](const auto& row) { return std::string(row.param.name); });

// Run once for each level of row paths the processor has, the decoders
// capped at it.
class AtRowPaths : public ::testing::TestWithParam<rastrex::RowPaths> {
protected:
    void SetUp() override
    {
        if (GetParam() > rastrex::processorRowPaths())
            GTEST_SKIP() << "this processor (or this build) has no such row paths";
        rastrex::capRowPaths(GetParam());
    }
    void TearDown() override { rastrex::capRowPaths(rastrex::RowPaths::kAvx512Vbmi); }
};

const char* const kRowPathNames[] = {"Plain", "Ssse3", "Avx2", "Avx512Vbmi"};

}  // namespace

// A case's row paths by name, not by the bytes of the enumerator.
namespace rastrex {
void PrintTo(RowPaths paths, std::ostream* os)
{
    *os << kRowPathNames[static_cast<int>(paths)];
}
}  // namespace rastrex

namespace {

// Pictures taller than one band of rows read at a time, or than one block
// of rows held from a pipe, with the dump ending inside a later one. The
// widest cover each level's widest paths, and their pixels straddle the
// ends of the bitmap's writes.
class TallDump : public AtRowPaths {};

TEST_P(TallDump, CrossesBandsAndBlocksAndEndsInOne)
{
    const KindCase cases[] = {
        {"z8", zPixmap(8, 8, false, 3), Map::kPalette, 256, 301},
        {"xypixmap_24", bits(zPixmap(1, 24, false, 4, k888), 1, 32, false, false), Map::kNone, 0, 200},
        {"z32", zPixmap(32, 24, false, 4, k888), Map::kNone, 0, 400},
        {"z8_wide", zPixmap(8, 8, false, 3), Map::kPalette, 256, 1001},
        {"z8_short_map_wide", zPixmap(8, 8, false, 3), Map::kPalette, 40, 130},
        {"z16_wide", zPixmap(16, 16, true, 4, k565), Map::kNone, 0, 999},
        {"z24_msb_wide", zPixmap(24, 24, true, 4, k888), Map::kNone, 0, 701},
        {"z1_msb_bits_wide", bits(zPixmap(1, 1, false, 0), 2, 8, false, true), Map::kPalette, 2, 517},
        {"z1_lsb_bits_wide", bits(zPixmap(1, 1, false, 0), 2, 32, false, false), Map::kPalette, 2, 517},
        {"z1_units_backwards_wide", bits(zPixmap(1, 1, false, 0), 2, 32, false, true), Map::kPalette, 2, 517},
        {"z1_units_backwards_x_offset", wide(bits(zPixmap(1, 1, false, 0), 2, 32, false, true), 0, 11),
         Map::kPalette, 2, 517},
        {"z24_lsb_wide", zPixmap(24, 24, false, 4, k888), Map::kNone, 0, 701},
        {"z32_msb_blue_high_wide", zPixmap(32, 24, true, 4, kBgr888), Map::kNone, 0, 403},
        {"z16_lsb_555_wide", zPixmap(16, 15, false, 4, k555), Map::kNone, 0, 999},
        {"z16_pseudocolor_msb_wide", zPixmap(16, 12, true, 3), Map::kPalette, 4096, 999},
    };
    constexpr std::uint32_t kTall = 1500;
    constexpr std::uint32_t kKeptRows = 1234;
    for (const KindCase& c : cases) {
        const std::vector<std::uint32_t> values = pixelValues(c, kTall);
        XwdRecipe r = kindDump(c.kind, c.width, kTall, values, buildMap(c.map, c.entries, c.kind));
        const std::size_t cut = std::size_t{kTall - kKeptRows} * r.word(12);
        ASSERT_LT(cut, r.pixels.size());
        r.pixels.erase(r.pixels.end() - static_cast<std::ptrdiff_t>(cut), r.pixels.end());
        // Rows past the end are black; a planar dump's lack only the last
        // plane's bit, the lowest.
        std::vector<Rgb> want(values.size());
        const bool planar = c.kind.format == 1;
        for (std::size_t i = 0; i < values.size(); ++i)
            if (i < std::size_t{kKeptRows} * c.width)
                want[i] = expectedColour(c, values[i]);
            else if (planar)
                want[i] = expectedColour(c, values[i] & ~1u);
        for (Route route : {Route::kBeside, Route::kFromAPipe}) {
            SCOPED_TRACE(std::string(c.name) + ", " + kRouteNames[static_cast<int>(route)]);
            TempDir dir;
            fs::path out;
            ASSERT_EQ(convertBy(route, r.bytes(), dir / "in.xwd", dir / "out.bmp", out), RASTREX_OK);
            const Bitmap pic = parseBmp(readFile(out));
            const auto wrong = std::mismatch(want.begin(), want.end(), pic.pixels.begin());
            const auto at = static_cast<std::size_t>(wrong.first - want.begin());
            EXPECT_TRUE(wrong.first == want.end())
                << "first wrong pixel " << at % c.width << "," << at / c.width;
        }
    }
}

// Every value of a 16-bit pixel, in rows of 255 pixels: each row is taken
// thirty-two, sixteen or eight pixels at a time, then one by one, as the
// level allows. Channels of up to 8 bits are scaled by arithmetic, wider
// ones and colour maps go through tables.
class SixteenBits : public AtRowPaths {};

TEST_P(SixteenBits, EveryValueDecodesToItsColour)
{
    const KindCase cases[] = {
        {"565_lsb", zPixmap(16, 16, false, 4, k565)},
        {"565_msb", zPixmap(16, 16, true, 4, k565)},
        {"555_lsb", zPixmap(16, 15, false, 4, k555)},
        {"555_msb", zPixmap(16, 15, true, 4, k555)},
        {"444_msb", zPixmap(16, 12, true, 4, k444)},
        {"8_bit_red", zPixmap(16, 16, false, 4, {0xFF00, 0x00F0, 0x000F})},
        {"9_bit_red", zPixmap(16, 16, false, 4, {0xFF80, 0x007C, 0x0003})},
        {"10_bit_red", zPixmap(16, 16, true, 4, {0xFFC0, 0x0038, 0x0007})},
        {"directcolor_no_map", zPixmap(16, 16, false, 5, k565)},
        {"directcolor_map", zPixmap(16, 16, true, 5, {0x7C00, 0x03E0, 0x001F}), Map::kInverted, 32},
    };
    constexpr std::uint32_t kWidth = 255;
    constexpr std::uint32_t kRows = 65536 / kWidth + 1;
    std::vector<std::uint32_t> values(std::size_t{kWidth} * kRows);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint32_t>(i & 0xFFFF);
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(dir / "in.xwd",
                  kindDump(c.kind, kWidth, kRows, values, buildMap(c.map, c.entries, c.kind)).bytes());
        ASSERT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_OK);
        const Bitmap pic = parseBmp(readFile(dir / "out.bmp"));
        ASSERT_EQ(pic.pixels.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(pic.pixels[i], expectedColour(c, values[i])) << "value " << values[i];
    }
}

const rastrex::RowPaths kRowPaths[] = {rastrex::RowPaths::kPlain, rastrex::RowPaths::kSsse3,
                                       rastrex::RowPaths::kAvx2, rastrex::RowPaths::kAvx512Vbmi};
const auto rowPathName = [](const auto& row) { return std::string(kRowPathNames[static_cast<int>(row.param)]); };
INSTANTIATE_TEST_SUITE_P(RowPaths, TallDump, ::testing::ValuesIn(kRowPaths), rowPathName);
INSTANTIATE_TEST_SUITE_P(RowPaths, SixteenBits, ::testing::ValuesIn(kRowPaths), rowPathName);

}  // namespace
