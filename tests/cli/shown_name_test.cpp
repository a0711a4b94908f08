// File names as xwd2bmp's messages show them: controls and stray bytes
// escaped, whatever else the name holds kept.
#include <gtest/gtest.h>

#include <string>

#include "shown_name.h"

using namespace std::string_literals;

namespace {

// Names as every message shows them, where names are UTF-8 and where they
// are in a code page (Windows), which takes any byte from 0x80 up.
struct ShownCase {
    std::string name;
    std::string utf8;      // shown where names are UTF-8
    std::string codePage;  // shown where they are not
    bool valid;            // the name is UTF-8
};

void PrintTo(const ShownCase& c, std::ostream* os)
{
    *os << c.utf8;
}

class ShownName : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownName, EscapesControlsAndStrayBytes)
{
    const ShownCase& c = GetParam();
    EXPECT_EQ(rastrex::cli::shownName(c.name, true), c.utf8);
    EXPECT_EQ(rastrex::cli::shownName(c.name, false), c.codePage);
    // Shown twice, shown the same.
    EXPECT_EQ(rastrex::cli::shownName(c.utf8, true), c.utf8);
    EXPECT_EQ(rastrex::cli::isUtf8(c.name), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShownName,
    ::testing::Values(ShownCase{"a b.xwd", "a b.xwd", "a b.xwd", true},
                      ShownCase{"\x1F\x20\x7E\x7F"s, "\\x1F ~\\x7F", "\\x1F ~\\x7F", true},
                      ShownCase{"\0\n\r"s, "\\x00\\x0A\\x0D", "\\x00\\x0A\\x0D", true},
                      // U+0080 and U+009F are controls, U+00A0 is not.
                      ShownCase{"\xC2\x80\xC2\x9F\xC2\xA0", "\\xC2\\x80\\xC2\\x9F\xC2\xA0",
                                "\xC2\x80\xC2\x9F\xC2\xA0", true},
                      ShownCase{"\xE5\x9B\xB3\xF0\x9F\x98\x80", "\xE5\x9B\xB3\xF0\x9F\x98\x80",
                                "\xE5\x9B\xB3\xF0\x9F\x98\x80", true},
                      // A stray byte, a character cut short, a surrogate.
                      ShownCase{"\xFF" "a\xE5\x9B", "\\xFFa\\xE5\\x9B", "\xFF" "a\xE5\x9B", false},
                      ShownCase{"\xED\xA0\x80", "\\xED\\xA0\\x80", "\xED\xA0\x80", false},
                      ShownCase{"\xC2", "\\xC2", "\xC2", false}),
    [](const auto& row) { return "row" + std::to_string(row.index); });

}  // namespace
