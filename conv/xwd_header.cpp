#include "xwd_header.h"

namespace rastrex {

XwdHeader decodeXwdHeader(const unsigned char* bytes)
{
    XwdHeader h;
    for (std::size_t i = 0; i < kXwdHeaderWords; ++i) {
        const unsigned char* b = bytes + 4 * i;
        h.word[i] = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                    (std::uint32_t{b[2]} << 8) | std::uint32_t{b[3]};
    }
    return h;
}

}  // namespace rastrex
