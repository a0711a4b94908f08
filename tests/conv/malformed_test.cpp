// Dumps whose layout words cannot describe real data, read the way a dump
// of the plain kind is read.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <vector>

#include "dump_texts.h"
#include "fs_support.h"
#include "rastrex.h"
#include "xwd_plan.h"
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
    std::vector<std::pair<int, std::uint32_t>> words;  // header words changed, and their values
    rastrex::HeaderFault fault;                        // why the layout words are not read
    const char* says;                                  // the line the front ends show for it
};

void PrintTo(const Mangle& m, std::ostream* os) { *os << m.name; }

// Why planDump refuses the dump or its layout words, and its result code.
rastrex::HeaderRefusal refusalOf(const fs::path& dump, std::int32_t& result)
{
    rastrex::InputFile in(dump.string().c_str());
    rastrex::DumpPlan plan;
    result = rastrex::planDump(in, plan);
    return plan.refusal;
}

class Malformed : public ::testing::TestWithParam<Mangle> {};

TEST_P(Malformed, FallsBackToThePlainReading)
{
    TempDir dir;
    XwdRecipe r = canonicalDump(6, 4, patternPixel);
    for (const auto& [word, value] : GetParam().words)
        r.word(word) = value;
    writeFile(dir / "in.xwd", r.bytes());
    std::int32_t planned = -1;
    const rastrex::HeaderRefusal why = refusalOf(dir / "in.xwd", planned);
    EXPECT_EQ(planned, RASTREX_OK);
    EXPECT_EQ(why.fault, GetParam().fault);
    EXPECT_EQ(rastrex::refusalText(why), std::string("the header") + GetParam().says);
    ASSERT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), RASTREX_OK);
    const Bitmap pic = parseBmp(readFile(dir / "out.bmp"));
    for (std::uint32_t y = 0; y < 4; ++y)
        for (std::uint32_t x = 0; x < 6; ++x)
            ASSERT_EQ(pic.at(x, y), patternPixel(x, y)) << x << "," << y;
}

using F = rastrex::HeaderFault;

INSTANTIATE_TEST_SUITE_P(
    Words, Malformed,
    ::testing::Values(
        Mangle{"version_6", {{1, 6}}, F::Version, " says file version 6; its layout is read in version 7 only"},
        Mangle{"format_3", {{2, 3}}, F::Format, " says pixmap format 3; 0, 1 and 2 are known"},
        Mangle{"format_huge", {{2, 0xFFFFFFFF}}, F::Format, " says pixmap format 4294967295; 0, 1 and 2 are known"},
        Mangle{"depth_0", {{3, 0}}, F::Depth, " says a depth of 0 bits; a pixel value has 1 to 32"},
        Mangle{"depth_33", {{3, 33}}, F::Depth, " says a depth of 33 bits; a pixel value has 1 to 32"},
        Mangle{"xy_pixmap_depth_33", {{3, 33}, {2, 1}}, F::Depth, " says a depth of 33 bits; a pixel value has 1 to 32"},
        Mangle{"bits_per_pixel_below_depth", {{11, 16}}, F::DepthAbovePixel, " says a depth of 24 bits in 16 bits per pixel"},
        Mangle{"byte_order_2", {{7, 2}}, F::ByteOrder, " says byte order 2; 0 and 1 are known"},
        Mangle{"bits_per_pixel_0", {{11, 0}}, F::PixelSize, " says 0 bits per pixel; a dump has 1, 4, 8, 16, 24 or 32"},
        Mangle{"bits_per_pixel_57", {{11, 57}}, F::PixelSize, " says 57 bits per pixel; a dump has 1, 4, 8, 16, 24 or 32"},
        Mangle{"bits_per_pixel_12", {{11, 12}}, F::PixelSize, " says 12 bits per pixel; a dump has 1, 4, 8, 16, 24 or 32"},
        Mangle{"xy_bitmap_depth_24", {{2, 0}}, F::BitmapDepth, " says a bitmap of depth 24; a bitmap has depth 1"},
        Mangle{"bitmap_unit_12", {{2, 0}, {3, 1}, {8, 12}}, F::BitmapUnit, " says bitmap units of 12 bits; 8, 16 and 32 are known"},
        Mangle{"bit_order_2", {{2, 0}, {3, 1}, {8, 8}, {9, 2}}, F::BitOrder, " says bit order 2; 0 and 1 are known"},
        Mangle{"bytes_per_line_0", {{12, 0}}, F::ShortRows, " says 0 bytes a row; its pixels need 24"},
        Mangle{"bytes_per_line_short", {{12, 23}}, F::ShortRows, " says 23 bytes a row; its pixels need 24"},
        Mangle{"visual_class_6", {{13, 6}}, F::VisualClass, " says visual class 6; 0 to 5 are known"},
        Mangle{"red_mask_0", {{14, 0}}, F::BrokenMask, "'s colour masks 0x0, 0xFF00 and 0xFF are not each one run of bits within a pixel"},
        Mangle{"all_masks_ones", {{14, 0xFFFFFFFF}}, F::MasksOverlap, "'s colour masks 0xFFFFFFFF, 0xFF00 and 0xFF share bits"},
        Mangle{"masks_overlap", {{15, 0xFFFF00}}, F::MasksOverlap, "'s colour masks 0xFF0000, 0xFFFF00 and 0xFF share bits"},
        Mangle{"mask_not_one_run", {{16, 0x0F0F}}, F::BrokenMask, "'s colour masks 0xFF0000, 0xFF00 and 0xF0F are not each one run of bits within a pixel"},
        Mangle{"colour_entries_over_65536", {{19, 65537}}, F::ColourEntries, " says 65537 colour entries; at most 65536 are read"},
        Mangle{"colour_entries_all_ones", {{19, 0xFFFFFFFF}}, F::ColourEntries, " says 4294967295 colour entries; at most 65536 are read"},
        Mangle{"colour_map_past_the_end", {{19, 300}}, F::ColourMapPastEnd, " says 300 colour entries; the file ends inside them"},
        Mangle{"x_offset_past_the_row", {{6, 1}}, F::ShortRows, " says 24 bytes a row; its pixels need 28"},
        // 4-bit pixels from an x offset of 1: 28 bits, so 4 bytes.
        Mangle{"half_byte_past_the_row", {{3, 4}, {11, 4}, {6, 1}, {12, 3}}, F::ShortRows,
               " says 3 bytes a row; its pixels need 4"}),
    [](const auto& row) { return std::string(row.param.name); });

// Headers the library refuses: the result code stays the public one, and
// xwd2bmp and the thumbnailer say why in one line.
TEST(Malformed, ARefusedHeaderTellsWhy)
{
    struct Case {
        const char* name;
        std::function<void(XwdRecipe&)> mangle;
        std::size_t keep;  // bytes of the dump written, 0 for all
        std::int32_t result;
        F fault;
        const char* says;
    };
    const Case cases[] = {
        {"short_header", [](XwdRecipe&) {}, 99, RASTREX_ERR_READ_INPUT, F::ShortHeader,
         "the file ends inside the 100-byte header"},
        {"header_size_99", [](XwdRecipe& r) { r.headerSize = 99; }, 0, RASTREX_ERR_READ_INPUT, F::HeaderSize,
         "the header says it is 99 bytes long; a header has at least 100"},
        {"name_too_long", [](XwdRecipe& r) { r.headerSize = 100 + (1u << 20) + 1; }, 0, RASTREX_ERR_READ_INPUT,
         F::LongName, "the header says a window name of 1048577 bytes; at most 1048576 are read"},
        {"no_name", [](XwdRecipe&) {}, 100, RASTREX_ERR_READ_INPUT, F::NoName,
         "the file ends before the window name its header announces"},
        {"width_2_to_the_31", [](XwdRecipe& r) { r.word(4) = 0x80000000; }, 0, RASTREX_ERR_NO_MEMORY, F::LongSide,
         "the header says 2147483648x4 pixels; a side has at most 2147483647"},
        {"height_2_to_the_31", [](XwdRecipe& r) { r.word(5) = 0x80000000; }, 0, RASTREX_ERR_NO_MEMORY, F::LongSide,
         "the header says 6x2147483648 pixels; a side has at most 2147483647"},
        {"too_many_pixels", [](XwdRecipe& r) { r.word(4) = r.word(5) = 65536; }, 0, RASTREX_ERR_NO_MEMORY,
         F::TooManyPixels, "the header says 65536x65536 pixels; at most 1073741823 pixels are read"},
        {"bitmap_past_4_gib", [](XwdRecipe& r) { r.word(4) = 1; r.word(5) = 1073741823; }, 0,
         RASTREX_ERR_NO_MEMORY, F::BitmapTooLarge, "the header says 1x1073741823 pixels; their bitmap would pass 4 GiB"},
        {"width_0", [](XwdRecipe& r) { r.word(4) = 0; }, 0, RASTREX_ERR_READ_INPUT, F::Empty,
         "the header says 0x4 pixels: there is no picture"},
        {"height_0", [](XwdRecipe& r) { r.word(5) = 0; }, 0, RASTREX_ERR_READ_INPUT, F::Empty,
         "the header says 6x0 pixels: there is no picture"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XwdRecipe r = canonicalDump(6, 4, patternPixel);
        c.mangle(r);
        Bytes bytes = r.bytes();
        if (c.keep != 0)
            bytes.resize(c.keep);
        writeFile(dir / "in.xwd", bytes);
        std::int32_t planned = -1;
        const rastrex::HeaderRefusal why = refusalOf(dir / "in.xwd", planned);
        EXPECT_EQ(planned, c.result);
        EXPECT_EQ(convert(dir / "in.xwd", dir / "out.bmp"), c.result);
        EXPECT_EQ(why.fault, c.fault);
        EXPECT_EQ(rastrex::resultText(c.result, {}, why), std::string("not converted: ") + c.says);
    }
    // Without a refusal of the dump, the result's own words.
    EXPECT_EQ(rastrex::resultText(RASTREX_ERR_NO_MEMORY, {}, {}), "not enough memory for its pixels");
    EXPECT_EQ(rastrex::resultText(RASTREX_ERR_READ_INPUT, {}, {F::Version, 6, 0, 0}),
              "not a complete dump: its header, window name or first pixel is missing");
}

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

// Each result in xwd2bmp's and the thumbnailer's words, with the system's
// cause of a failed open or write.
TEST(ResultText, NamesTheCause)
{
    using K = rastrex::FileFailure;
    const struct {
        std::int32_t result;
        rastrex::SystemFailure cause;
        const char* bitmap;
        std::string says;
    } cases[] = {
        {RASTREX_OK, {}, "", "converted"},
        {RASTREX_ERR_OPEN_INPUT, {K::NotFound, 0}, "", "cannot open the dump: no such file"},
        {RASTREX_ERR_OPEN_INPUT, {K::NotAFile, 0}, "", "cannot open the dump: not a file: a pipe or a device"},
        {RASTREX_ERR_OPEN_INPUT, {K::FolderInTheWay, EISDIR}, "", "cannot open the dump: it is a folder"},
        {RASTREX_ERR_OPEN_INPUT, {K::InUse, 0}, "", "cannot open the dump: another program is using the file"},
        {RASTREX_ERR_WRITE_OUTPUT, {K::NotFound, 0}, "a.bmp", "cannot write the bitmap a.bmp: its folder does not exist"},
        {RASTREX_ERR_WRITE_OUTPUT, {K::Quota, 0}, "", "cannot write the bitmap: the disk quota is used up"},
        {RASTREX_ERR_WRITE_OUTPUT, {K::Other, EIO}, "a.bmp",
         "cannot write the bitmap a.bmp: " + rastrex::systemErrorText(EIO, true)},
        {7, {}, "", "unexpected result 7 from the converter"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rastrex::resultText(c.result, c.cause, {}, c.bitmap), c.says);
}

}  // namespace
