// The SSSE3 row kernels: byte shuffles of 16 bytes. Compiled with -mssse3
// (see row_kernels.h for what this file may include).
#include <immintrin.h>

#include "row_kernels.h"

namespace rastrex {

// Four pixels of `stride` bytes become twelve bytes of blue, green, red by
// one byte shuffle. Both the 16 bytes read and the 16 written reach past the
// four pixels, so the loop stops while at least two pixels remain.
std::size_t shuffleFourSsse3(const unsigned char* src, std::size_t count, unsigned char* out,
                             const void* tables)
{
    const ShuffleTables& t = *static_cast<const ShuffleTables*>(tables);
    const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.pattern));
    const std::uint32_t stride = t.stride;
    std::size_t done = 0;
    for (; count - done >= 6; done += 4, src += 4 * stride, out += 12) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(v, shuffle));
    }
    return done;
}

// Eight 16-bit pixels at a time become 24 bytes of blue, green, red: each
// channel's field is scaled by multiplying (see FieldScale), then the three
// rows of levels are interleaved by two byte shuffles (kEightPixelShuffles).
// Reads and writes stay within the eight pixels.
std::size_t scaleEightSsse3(const unsigned char* src, std::size_t count, unsigned char* out,
                            const void* tables)
{
    const ScaleTables& t = *static_cast<const ScaleTables*>(tables);
    const FieldScale* scale = t.channel;
    const bool msbFirst = t.msbFirst;
    const __m128i swap = _mm_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14);
    const __m128i k255 = _mm_set1_epi16(255);
    __m128i shift[3], mask[3], half[3], magic[3], post[3];
    for (int c = 0; c < 3; ++c) {
        shift[c] = _mm_cvtsi32_si128(scale[c].shift);
        mask[c] = _mm_set1_epi16(static_cast<short>(scale[c].mask));
        half[c] = _mm_set1_epi16(static_cast<short>(scale[c].half));
        magic[c] = _mm_set1_epi16(static_cast<short>(scale[c].magic));
        post[c] = _mm_cvtsi32_si128(scale[c].post);
    }
    const auto& fromBg = kEightPixelShuffles.fromBg;
    const auto& fromR = kEightPixelShuffles.fromR;
    const __m128i bgLo = _mm_load_si128(reinterpret_cast<const __m128i*>(fromBg[0]));
    const __m128i bgHi = _mm_load_si128(reinterpret_cast<const __m128i*>(fromBg[1]));
    const __m128i rLo = _mm_load_si128(reinterpret_cast<const __m128i*>(fromR[0]));
    const __m128i rHi = _mm_load_si128(reinterpret_cast<const __m128i*>(fromR[1]));
    std::size_t done = 0;
    for (; count - done >= 8; done += 8, src += 16, out += 24) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        if (msbFirst)
            v = _mm_shuffle_epi8(v, swap);
        __m128i level[3];
        for (int c = 0; c < 3; ++c) {
            const __m128i field = _mm_and_si128(_mm_srl_epi16(v, shift[c]), mask[c]);
            const __m128i n = _mm_add_epi16(_mm_mullo_epi16(field, k255), half[c]);
            level[c] = _mm_srl_epi16(_mm_mulhi_epu16(n, magic[c]), post[c]);
        }
        const __m128i bg = _mm_packus_epi16(level[0], level[1]);
        const __m128i r = _mm_packus_epi16(level[2], level[2]);
        const __m128i lo = _mm_or_si128(_mm_shuffle_epi8(bg, bgLo), _mm_shuffle_epi8(r, rLo));
        const __m128i hi = _mm_or_si128(_mm_shuffle_epi8(bg, bgHi), _mm_shuffle_epi8(r, rHi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), hi);
    }
    return done;
}

}  // namespace rastrex
