// The choice of a decoder's row path: the cap RASTREX_ROWS sets on what the
// processor has, and where 16-bit fields are scaled rather than looked up.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "rows/processor.h"
#include "rows/row_path.h"

namespace {

using rastrex::RowPaths;

struct CapCase {
    const char* what;
    RowPaths have;
    const char* setting;  // nullptr: unset
    RowPaths taken;
};

void PrintTo(const CapCase& c, std::ostream* os) { *os << c.what; }

const CapCase kCaps[] = {
    {"plain caps the widest", RowPaths::kAvx512Vbmi, "plain", RowPaths::kPlain},
    {"ssse3 caps the widest", RowPaths::kAvx512Vbmi, "ssse3", RowPaths::kSsse3},
    {"avx2 caps the widest", RowPaths::kAvx512Vbmi, "avx2", RowPaths::kAvx2},
    {"avx512 keeps the widest", RowPaths::kAvx512Vbmi, "avx512", RowPaths::kAvx512Vbmi},
    // A cap names the most; the processor's best below it is taken.
    {"avx512 never raises avx2", RowPaths::kAvx2, "avx512", RowPaths::kAvx2},
    {"avx2 on a processor with ssse3", RowPaths::kSsse3, "avx2", RowPaths::kSsse3},
    {"ssse3 where none is built", RowPaths::kPlain, "ssse3", RowPaths::kPlain},
    // Nothing that names no path caps anything.
    {"unset", RowPaths::kAvx2, nullptr, RowPaths::kAvx2},
    {"empty", RowPaths::kAvx2, "", RowPaths::kAvx2},
    {"unknown", RowPaths::kSsse3, "sse4", RowPaths::kSsse3},
    {"names are lower case", RowPaths::kAvx512Vbmi, "SSSE3", RowPaths::kAvx512Vbmi},
    {"a prefix of a name", RowPaths::kAvx512Vbmi, "avx", RowPaths::kAvx512Vbmi},
    {"a name and more", RowPaths::kAvx512Vbmi, "plain ", RowPaths::kAvx512Vbmi},
};

class Cap : public ::testing::TestWithParam<CapCase> {};

TEST_P(Cap, TakesTheNamedPathOrTheBestBelowIt)
{
    const CapCase& c = GetParam();
    EXPECT_EQ(rastrex::cappedRowPaths(c.have, c.setting), c.taken);
}

INSTANTIATE_TEST_SUITE_P(Settings, Cap, ::testing::ValuesIn(kCaps), [](const auto& row) {
    std::string s = row.param.what;
    std::replace(s.begin(), s.end(), ' ', '_');
    return s;
});

TEST(RowPathNames, EachLevelIsNamedAsTheCapSpellsIt)
{
    const char* const names[] = {"plain", "ssse3", "avx2", "avx512"};
    for (int i = 0; i < 4; ++i) {
        const auto level = static_cast<RowPaths>(i);
        EXPECT_STREQ(rastrex::rowPathsName(level), names[i]);
        EXPECT_EQ(rastrex::rowPathsNamed(names[i]), level);
    }
}

// A decoder takes the configured paths, lowered only by a test's cap.
TEST(RowPathCap, DecodersTakeTheConfiguredPathsWithinTheCap)
{
    const RowPaths configured = rastrex::configuredRowPaths();
    EXPECT_EQ(configured, std::min(rastrex::processorRowPaths(), configured));
    for (int i = 0; i < 4; ++i) {
        const auto cap = static_cast<RowPaths>(i);
        rastrex::capRowPaths(cap);
        EXPECT_EQ(rastrex::usableRowPaths(), std::min(configured, cap)) << i;
    }
    rastrex::capRowPaths(RowPaths::kAvx512Vbmi);
    EXPECT_EQ(rastrex::usableRowPaths(), configured);
}

// 16-bit fields are scaled by arithmetic on every wide level, when each
// channel is at most 8 bits wide and shows its value scaled; the plain level
// looks every value up.
struct ScaleCase {
    const char* what;
    RowPaths paths;
    std::array<std::uint32_t, 3> widths;  // red, green, blue; packed from the top
    bool scales;
};

const ScaleCase kScales[] = {
    {"565 plain", RowPaths::kPlain, {5, 6, 5}, false},
    {"565 ssse3", RowPaths::kSsse3, {5, 6, 5}, true},
    {"565 avx512", RowPaths::kAvx512Vbmi, {5, 6, 5}, true},
    {"9-bit red ssse3", RowPaths::kSsse3, {9, 5, 2}, false},
    {"8-bit red ssse3", RowPaths::kSsse3, {8, 4, 4}, true},
};

TEST(ScaledFields, OnEveryWideLevelWhereChannelsFitAByte)
{
    for (const ScaleCase& c : kScales) {
        SCOPED_TRACE(c.what);
        std::array<std::vector<std::uint8_t>, 3> levels;
        std::array<rastrex::FieldChannel, 3> rgb;
        int shift = 16;
        for (std::size_t i = 0; i < 3; ++i) {
            const int width = static_cast<int>(c.widths[i]);
            shift -= width;
            for (std::uint32_t v = 0; v < (1u << width); ++v)
                levels[i].push_back(rastrex::scaleToByte(v, width));
            rgb[i] = {((1u << width) - 1) << shift, shift, width, levels[i].data()};
        }
        EXPECT_EQ(rastrex::RowPath::scalesFields(c.paths, rgb), c.scales);
    }
}

}  // namespace
