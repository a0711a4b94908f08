#include "xwd_header.h"

#include "byte_order.h"

namespace rastrex {

XwdHeader decodeXwdHeader(const unsigned char* bytes)
{
    XwdHeader h;
    for (std::size_t i = 0; i < kXwdHeaderWords; ++i)
        h.word[i] = loadBe32(bytes + 4 * i);
    return h;
}

}  // namespace rastrex
