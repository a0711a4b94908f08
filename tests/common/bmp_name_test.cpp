#include <gtest/gtest.h>

#include "bmp_name.h"
#include "case_names.h"

namespace {

struct NameCase {
    const char* xwd;
    const char* bmp;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << '"' << c.xwd << "\" -> \"" << c.bmp << '"';
}

class BmpName : public ::testing::TestWithParam<NameCase> {};

TEST_P(BmpName, ReplacesTheExtensionInTheFileNameOnly)
{
    EXPECT_EQ(rastrex::bmpPathFor(GetParam().xwd), GetParam().bmp);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpName,
    ::testing::Values(NameCase{"/img/a.xwd", "/img/a.bmp"}, NameCase{"/img/A.XWD", "/img/A.BMP"},
                      NameCase{"/img/a.Xwd", "/img/a.Xwd.BMP"},
                      NameCase{"/img/a.xwd.xwd", "/img/a.bmp"},
                      NameCase{"/img/b.XWD.xwd", "/img/b.XWD.bmp"},
                      NameCase{"/img/dump", "/img/dump.BMP"},
                      NameCase{"/data/shots.xwd/a.xwd", "/data/shots.xwd/a.bmp"},
                      NameCase{"/data/shots.XWD/dump", "/data/shots.XWD/dump.BMP"},
                      NameCase{"/data/x.xwd/A.XWD", "/data/x.xwd/A.BMP"},
                      NameCase{"a.xwd", "a.bmp"}, NameCase{"", ".BMP"}),
    [](const auto& info) { return rastrex::test::numberedCaseName(info.index, {info.param.xwd}); });

}  // namespace
