// The library's reads of words in either byte order.
#include <gtest/gtest.h>

#include "byte_order.h"

namespace {

struct WordCase {
    unsigned char bytes[4];
    std::uint32_t be16, le16, be24, le24, be32, le32;
};

// Bytes whose high bits are set catch a byte widened through a signed type;
// distinct bytes catch one out of place.
const WordCase kWords[] = {
    {{0x01, 0x02, 0x03, 0x04}, 0x0102, 0x0201, 0x010203, 0x030201, 0x01020304, 0x04030201},
    {{0xFF, 0x80, 0x7F, 0xFE}, 0xFF80, 0x80FF, 0xFF807F, 0x7F80FF, 0xFF807FFE, 0xFE7F80FF},
    {{0x00, 0x00, 0x00, 0x64}, 0x0000, 0x0000, 0x000000, 0x000000, 0x00000064, 0x64000000},
};

TEST(ByteOrder, WordsReadInEitherOrder)
{
    for (const WordCase& c : kWords) {
        SCOPED_TRACE(c.be32);
        EXPECT_EQ(rastrex::loadBe16(c.bytes), c.be16);
        EXPECT_EQ(rastrex::loadLe16(c.bytes), c.le16);
        EXPECT_EQ(rastrex::loadBe24(c.bytes), c.be24);
        EXPECT_EQ(rastrex::loadLe24(c.bytes), c.le24);
        EXPECT_EQ(rastrex::loadBe32(c.bytes), c.be32);
        EXPECT_EQ(rastrex::loadLe32(c.bytes), c.le32);
        EXPECT_EQ(rastrex::load32(c.bytes, true), c.be32);
        EXPECT_EQ(rastrex::load32(c.bytes, false), c.le32);
    }
}

}  // namespace
