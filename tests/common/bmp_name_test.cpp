#include <gtest/gtest.h>

#include "bmp_name.h"
#include "case_names.h"

namespace {

struct NameCase {
    const char* xwd;
    const char* bmp;
    const char* what;  // the case's name
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
    ::testing::Values(NameCase{"/img/a.xwd", "/img/a.bmp", "lower-case extension"}, NameCase{"/img/A.XWD", "/img/A.BMP", "upper-case extension"},
                      NameCase{"/img/a.Xwd", "/img/a.Xwd.BMP", "mixed-case extension is kept"},
                      NameCase{"/img/a.xwd.xwd", "/img/a.bmp", "doubled extension"},
                      NameCase{"/img/b.XWD.xwd", "/img/b.XWD.bmp", "only the last extension"},
                      NameCase{"/img/dump", "/img/dump.BMP", "no extension"},
                      NameCase{"/data/shots.xwd/a.xwd", "/data/shots.xwd/a.bmp", "folder named like a dump"},
                      NameCase{"/data/shots.XWD/dump", "/data/shots.XWD/dump.BMP", "folder extension left alone"},
                      NameCase{"/data/x.xwd/A.XWD", "/data/x.xwd/A.BMP", "upper case in a dump named folder"},
                      NameCase{"a.xwd", "a.bmp", "relative name"}, NameCase{"", ".BMP", "empty path"},
                      NameCase{"/写真/画面.xwd", "/写真/画面.bmp", "japanese names"},
                      NameCase{"/img/\xff\xfe.xwd", "/img/\xff\xfe.bmp", "bytes that are no text"}),
    [](const auto& row) { return rastrex::test::caseName(row.param.what); });

}  // namespace
