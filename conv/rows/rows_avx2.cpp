// The AVX2 row kernel: 16-bit pixels scaled sixteen at a time. Compiled with
// -mavx2 (see row_kernels.h for what this file may include).
#include <immintrin.h>

#include "row_kernels.h"

namespace rastrex {

// As scaleEightSsse3(), each 128-bit half doing eight pixels.
std::size_t scaleSixteenAvx2(const unsigned char* src, std::size_t count, unsigned char* out,
                             const void* tables)
{
    const ScaleTables& t = *static_cast<const ScaleTables*>(tables);
    const FieldScale* scale = t.channel;
    const bool msbFirst = t.msbFirst;
    const __m256i swap = _mm256_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14,
                                          1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14);
    const __m256i k255 = _mm256_set1_epi16(255);
    __m128i shift[3], post[3];
    __m256i mask[3], half[3], magic[3];
    for (int c = 0; c < 3; ++c) {
        shift[c] = _mm_cvtsi32_si128(scale[c].shift);
        mask[c] = _mm256_set1_epi16(static_cast<short>(scale[c].mask));
        half[c] = _mm256_set1_epi16(static_cast<short>(scale[c].half));
        magic[c] = _mm256_set1_epi16(static_cast<short>(scale[c].magic));
        post[c] = _mm_cvtsi32_si128(scale[c].post);
    }
    const auto& fromBg = kEightPixelShuffles.fromBg;
    const auto& fromR = kEightPixelShuffles.fromR;
    const __m256i bgLo = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(fromBg[0])));
    const __m256i bgHi = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(fromBg[1])));
    const __m256i rLo = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(fromR[0])));
    const __m256i rHi = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(fromR[1])));
    std::size_t done = 0;
    for (; count - done >= 16; done += 16, src += 32, out += 48) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
        if (msbFirst)
            v = _mm256_shuffle_epi8(v, swap);
        __m256i level[3];
        for (int c = 0; c < 3; ++c) {
            const __m256i field = _mm256_and_si256(_mm256_srl_epi16(v, shift[c]), mask[c]);
            const __m256i n = _mm256_add_epi16(_mm256_mullo_epi16(field, k255), half[c]);
            level[c] = _mm256_srl_epi16(_mm256_mulhi_epu16(n, magic[c]), post[c]);
        }
        // Within each half: blue and green of its eight pixels, and red.
        const __m256i bg = _mm256_packus_epi16(level[0], level[1]);
        const __m256i r = _mm256_packus_epi16(level[2], level[2]);
        const __m256i lo = _mm256_or_si256(_mm256_shuffle_epi8(bg, bgLo), _mm256_shuffle_epi8(r, rLo));
        const __m256i hi = _mm256_or_si256(_mm256_shuffle_epi8(bg, bgHi), _mm256_shuffle_epi8(r, rHi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(lo));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm256_castsi256_si128(hi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 24), _mm256_extracti128_si256(lo, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm256_extracti128_si256(hi, 1));
    }
    return done;
}

}  // namespace rastrex
