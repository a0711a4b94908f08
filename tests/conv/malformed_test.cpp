// Dumps whose layout words cannot describe real data, read the way a dump
// of the plain kind is read.
#include <gtest/gtest.h>

#include "fs_support.h"
#include "rastrex.h"
#include "xwd_recipe.h"

namespace fs = std::filesystem;
using namespace rastrex::test;

namespace {

// ---------------------------------------------------------------------------
// Layout words that cannot describe real data: the dump is read the plain
// way (32-bit units of blue, green, red after 256 colour entries), which for
// these dumps is their true picture.

struct Mangle {
    const char* name;
    int word;
    std::uint32_t value;
    int alsoWord = 0;  // a second word changed too, when not 0
    std::uint32_t alsoValue = 0;
};

void PrintTo(const Mangle& m, std::ostream* os) { *os << m.name; }

class Malformed : public ::testing::TestWithParam<Mangle> {};

TEST_P(Malformed, FallsBackToThePlainReading)
{
    TempDir dir;
    XwdRecipe r = canonicalDump(6, 4, patternPixel);
    r.word(GetParam().word) = GetParam().value;
    if (GetParam().alsoWord != 0)
        r.word(GetParam().alsoWord) = GetParam().alsoValue;
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
                      Mangle{"depth_33", 3, 33}, Mangle{"xy_pixmap_depth_33", 3, 33, 2, 1},
                      Mangle{"bits_per_pixel_below_depth", 11, 16},
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
    [](const auto& row) { return std::string(row.param.name); });

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
