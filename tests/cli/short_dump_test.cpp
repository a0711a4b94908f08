// Dumps cut short as xwd2bmp tells them: a dump stored plane by plane cut
// at several points, where the message must match the bitmap, and a folder
// named as a dump.
#include <gtest/gtest.h>

#include <cerrno>

#include "batch_fixture.h"
#include "cli_support.h"
#include "conversion.h"
#include "rastrex.h"

using namespace rastrex::test;

namespace {

// A dump stored plane by plane, cut at several points: 8 planes of 12 x 4
// pixels, rows of 3 bytes (two of pixels, one of padding), 12 bytes a
// plane. The message tells what the bitmap shows: the planes there give
// their bits, the others 0, and a pixel with none of its bits is black.
struct PlanarCutCase {
    const char* what;
    std::size_t keep;  // bytes of the 96-byte pixel area
    std::string says;  // the line after the dump's name; empty: whole
};

class PlanarCut : public Batch, public ::testing::WithParamInterface<PlanarCutCase> {};

TEST_P(PlanarCut, TheMessageTellsWhatTheBitmapShows)
{
    constexpr std::uint32_t kWidth = 12, kHeight = 4, kPlanes = 8, kRowBytes = 3;
    DumpKind k = zPixmap(1, kPlanes, false, 3);
    k.format = 1;
    k.unitBits = 8;
    k.msbBitFirst = true;
    k.extraRowBytes = 1;
    Bytes map;
    for (std::uint32_t i = 0; i < 256; ++i)
        appendColourEntry(map, i, static_cast<std::uint16_t>(i * 257), static_cast<std::uint16_t>((255 - i) * 257),
                          77 * 257);
    std::vector<std::uint32_t> values;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            values.push_back((x * 37 + y * 11 + 5) & 0xFF);
    XwdRecipe r = kindDump(k, kWidth, kHeight, values, map);
    ASSERT_EQ(r.pixels.size(), 96u);
    const PlanarCutCase& c = GetParam();
    r.pixels.resize(c.keep);
    writeFile(dir / "x.xwd", r.bytes());

    const Outcome o = runInProcess({nativePath(dir / "x.xwd")});
    EXPECT_EQ(o.err, c.says.empty() ? "" : nativePath(dir / "x.xwd") + ": " + c.says + "\n");
    EXPECT_EQ(o.status, c.says.empty() ? 0 : 1);
    if (c.keep == 0) {
        EXPECT_FALSE(fs::exists(dir / "x.bmp"));
        return;
    }
    const Bitmap pic = parseBmp(readFile(dir / "x.bmp"));
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            // Plane p holds bit 7 - p; the pixel's byte of it is x / 8 of its row.
            std::uint32_t v = 0;
            bool any = false;
            for (std::uint32_t p = 0; p < kPlanes; ++p)
                if (p * kRowBytes * kHeight + y * kRowBytes + x / 8 < c.keep) {
                    v |= values[std::size_t{y} * kWidth + x] & (0x80u >> p);
                    any = true;
                }
            const Rgb want = any ? Rgb{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v), 77} : Rgb{};
            EXPECT_EQ(pic.at(x, y), want) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanarCut,
    ::testing::Values(
        PlanarCutCase{"header_whole", 0,
                      "not converted: the dump ends early and holds less than 1% of the pixels its header "
                      "announces (0 of 96 bytes for 12x4); its bitmap would be almost all black"},
        PlanarCutCase{"inside_the_first_plane", 7,
                      "the dump ends early: of its 8 bit planes it holds 2 of 4 rows of the first; those rows "
                      "lack the other planes' bits and the rest of the bitmap is black"},
        PlanarCutCase{"between_planes", 36,
                      "the dump ends early: it holds 3 of its 8 bit planes and 0 of 4 rows of the next; the "
                      "bitmap lacks the other bits (taken as 0), so its colours are off"},
        PlanarCutCase{"inside_the_last_plane", 91,
                      "the dump ends early: it holds 7 of its 8 bit planes and 2 of 4 rows of the next; the "
                      "bitmap lacks the other bits (taken as 0), so its colours are off"},
        PlanarCutCase{"all_but_the_last_padding", 95, ""}),
    [](const auto& row) { return std::string(row.param.what); });

// A folder named as a dump is told as a folder, and one in the bitmap's
// place as standing in its way.
TEST(Results, AFolderIsToldAsAFolder)
{
    const rastrex::SystemFailure folder{rastrex::FileFailure::FolderInTheWay, EISDIR};
    EXPECT_EQ(rastrex::cli::describeResult(RASTREX_ERR_OPEN_INPUT, "b.bmp", folder), "cannot open the dump: it is a folder");
    EXPECT_EQ(rastrex::cli::describeResult(RASTREX_ERR_WRITE_OUTPUT, "b.bmp", folder),
              "cannot write the bitmap b.bmp: a folder has that name");
}

}  // namespace
