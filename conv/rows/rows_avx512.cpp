// The AVX-512 row kernels: byte permutes of 64 bytes (VBMI). Compiled with
// -mavx512f -mavx512bw -mavx512vbmi (see row_kernels.h for what this file
// may include).
#include <immintrin.h>

#include <cstring>

#include "row_kernels.h"

namespace rastrex {

namespace {

struct ThirtyTwoPermutes {
    alignas(64) unsigned char swap[64];
    alignas(64) unsigned char fromLevels[2][64];
};

consteval ThirtyTwoPermutes makeThirtyTwoPermutes()
{
    ThirtyTwoPermutes t{};
    for (int i = 0; i < 64; ++i)
        t.swap[i] = static_cast<unsigned char>(i ^ 1);
    // Output byte p of the 96 is channel p % 3 of pixel q = p / 3. Packing
    // leaves, in each 16-byte lane l of the first source, the blue levels of
    // pixels 8l to 8l + 7 then their green ones; the second holds the red
    // ones likewise (the pair's bytes 64 on).
    for (int p = 0; p < 96; ++p) {
        const int q = p / 3, c = p % 3;
        const int at = 16 * (q / 8) + q % 8 + (c == 1 ? 8 : 0) + (c == 2 ? 64 : 0);
        t.fromLevels[p / 64][p % 64] = static_cast<unsigned char>(at);
    }
    return t;
}

constexpr ThirtyTwoPermutes kThirtyTwoPermutes = makeThirtyTwoPermutes();

struct SixtyFourPermutes {
    alignas(64) unsigned char fromBg[3][64];
    alignas(64) unsigned char fromR[3][64];
    std::uint64_t redBytes[3];
};

consteval SixtyFourPermutes makeSixtyFourPermutes()
{
    // Output byte j of part k is channel p % 3 of pixel p / 3, p = 64k + j:
    // blue or green (green's pixels counted from 64), and red apart.
    SixtyFourPermutes t{};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 64; ++j) {
            const int p = 64 * k + j, pixel = p / 3, c = p % 3;
            t.fromBg[k][j] = static_cast<unsigned char>(c == 1 ? 64 + pixel : pixel);
            t.fromR[k][j] = static_cast<unsigned char>(pixel);
            if (c == 2)
                t.redBytes[k] |= std::uint64_t{1} << j;
        }
    return t;
}

constexpr SixtyFourPermutes kSixtyFourPermutes = makeSixtyFourPermutes();

}  // namespace

// Thirty-two 16-bit pixels at a time, scaled as scaleEightSsse3() does; the
// three rows of levels are packed to bytes and interleaved by two byte
// permutes. Reads and writes stay within the pixels.
std::size_t scaleThirtyTwoAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                                 const void* tables)
{
    const ScaleTables& t = *static_cast<const ScaleTables*>(tables);
    const FieldScale* scale = t.channel;
    const bool msbFirst = t.msbFirst;
    const __m512i swap = _mm512_load_si512(kThirtyTwoPermutes.swap);
    const __m512i control0 = _mm512_load_si512(kThirtyTwoPermutes.fromLevels[0]);
    const __m512i control1 = _mm512_load_si512(kThirtyTwoPermutes.fromLevels[1]);
    const __m512i k255 = _mm512_set1_epi16(255);
    __m128i shift[3], post[3];
    __m512i mask[3], half[3], magic[3];
    for (int c = 0; c < 3; ++c) {
        shift[c] = _mm_cvtsi32_si128(scale[c].shift);
        mask[c] = _mm512_set1_epi16(static_cast<short>(scale[c].mask));
        half[c] = _mm512_set1_epi16(static_cast<short>(scale[c].half));
        magic[c] = _mm512_set1_epi16(static_cast<short>(scale[c].magic));
        post[c] = _mm_cvtsi32_si128(scale[c].post);
    }
    std::size_t done = 0;
    for (; count - done >= 32; done += 32, src += 64, out += 96) {
        __m512i v = _mm512_loadu_si512(src);
        if (msbFirst)
            v = _mm512_shuffle_epi8(v, swap);
        __m512i level[3];
        for (int c = 0; c < 3; ++c) {
            const __m512i field = _mm512_and_si512(_mm512_srl_epi16(v, shift[c]), mask[c]);
            const __m512i n = _mm512_add_epi16(_mm512_mullo_epi16(field, k255), half[c]);
            level[c] = _mm512_srl_epi16(_mm512_mulhi_epu16(n, magic[c]), post[c]);
        }
        const __m512i bg = _mm512_packus_epi16(level[0], level[1]);
        const __m512i r = _mm512_packus_epi16(level[2], level[2]);
        _mm512_storeu_si512(out, _mm512_permutex2var_epi8(bg, control0, r));
        _mm512_mask_storeu_epi8(out + 64, 0xFFFFFFFFull, _mm512_permutex2var_epi8(bg, control1, r));
    }
    return done;
}

// Sixty-four 16-bit pixels at a time: for each 64 output bytes a gathering
// permute, a multishift, a mask and a permute of the table of levels.
std::size_t lookUpFieldsAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                               const void* tables)
{
    const FieldPickTables& t = *static_cast<const FieldPickTables*>(tables);
    __m512i gather[3], shift[3], mask[3], place[3];
    for (int m = 0; m < 3; ++m) {
        gather[m] = _mm512_loadu_si512(t.gather + 64 * m);
        shift[m] = _mm512_loadu_si512(t.shift + 64 * m);
        mask[m] = _mm512_loadu_si512(t.mask + 64 * m);
        place[m] = _mm512_loadu_si512(t.place + 64 * m);
    }
    const __m512i tableLow = _mm512_loadu_si512(t.level);
    const __m512i tableHigh = _mm512_loadu_si512(t.level + 64);
    // (fields & mask) | place, as three-input logic.
    constexpr int kAndOr = 0xEA;
    std::size_t done = 0;
    for (; count - done >= 64; done += 64, src += 128, out += 192) {
        const __m512i low = _mm512_loadu_si512(src);
        const __m512i high = _mm512_loadu_si512(src + 64);
        for (int m = 0; m < 3; ++m) {
            const __m512i pixels = _mm512_permutex2var_epi8(low, gather[m], high);
            // (The zero-masked form: the plain one trips a false warning of GCC 12.)
            const __m512i fields = _mm512_maskz_multishift_epi64_epi8(~__mmask64{0}, shift[m], pixels);
            const __m512i index = _mm512_ternarylogic_epi32(fields, mask[m], place[m], kAndOr);
            _mm512_storeu_si512(out + 64 * m, _mm512_permutex2var_epi8(tableLow, index, tableHigh));
        }
    }
    return done;
}

// As many pixels of `stride` bytes (3 or 4) as 64 bytes hold at a time,
// their blue, green and red bytes picked by one byte permute; loads and
// stores are masked to the whole pixels.
std::size_t permuteBytesAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                               const void* tables)
{
    const PermuteTables& t = *static_cast<const PermuteTables*>(tables);
    const std::uint32_t stride = t.stride;
    const std::uint32_t pixels = 64 / stride;
    const __m512i control = _mm512_loadu_si512(t.pick);
    const __mmask64 in = ~0ull >> (64 - stride * pixels);
    const __mmask64 outBytes = ~0ull >> (64 - 3 * pixels);
    std::size_t done = 0;
    for (; count - done >= pixels; done += pixels, src += stride * pixels, out += 3 * pixels) {
        const __m512i v = _mm512_maskz_loadu_epi8(in, src);
        _mm512_mask_storeu_epi8(out, outBytes, _mm512_permutex2var_epi8(v, control, v));
    }
    return done;
}

// Eight bytes of 1-bit pixels, 64 of them, at a time: each bit becomes a
// byte of 0 or 1, spread by a permute to the 192 output bytes, which take
// the colour of a set or a clear pixel.
std::size_t expandBitsAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                             const void* tables)
{
    const BitPatternTables& t = *static_cast<const BitPatternTables*>(tables);
    __m512i clear[3], set[3], pick[3];
    for (int k = 0; k < 3; ++k) {
        clear[k] = _mm512_loadu_si512(t.clear + 64 * k);
        set[k] = _mm512_loadu_si512(t.set + 64 * k);
        pick[k] = _mm512_loadu_si512(t.pick + 64 * k);
    }
    const __m512i one = _mm512_set1_epi8(1);
    std::size_t done = 0;
    for (; count - done >= 8; done += 8, src += 8, out += 192) {
        std::uint64_t bits;
        std::memcpy(&bits, src, 8);
        const __m512i flags = _mm512_maskz_mov_epi8(bits, one);
        for (int k = 0; k < 3; ++k) {
            const __m512i spread = _mm512_permutex2var_epi8(flags, pick[k], flags);
            _mm512_storeu_si512(out + 64 * k,
                                _mm512_mask_blend_epi8(_mm512_test_epi8_mask(spread, spread), clear[k], set[k]));
        }
    }
    return done;
}

// Sixty-four 8-bit pixels at a time through the colour table held as three
// planes of 256 levels: each plane is looked up by byte permutes of its two
// halves, then the three rows of levels are interleaved by three more. Reads
// and writes stay within the pixels.
std::size_t lookUpLevelsAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                               const void* tables)
{
    const LevelPlaneTables& t = *static_cast<const LevelPlaneTables*>(tables);
    __m512i table[3][4];
    for (int c = 0; c < 3; ++c)
        for (int q = 0; q < 4; ++q)
            table[c][q] = _mm512_loadu_si512(t.level[c] + 64 * q);
    __m512i bgControl[3], rControl[3];
    for (int k = 0; k < 3; ++k) {
        bgControl[k] = _mm512_load_si512(kSixtyFourPermutes.fromBg[k]);
        rControl[k] = _mm512_load_si512(kSixtyFourPermutes.fromR[k]);
    }
    const std::uint64_t* redBytes = kSixtyFourPermutes.redBytes;
    std::size_t done = 0;
    for (; count - done >= 64; done += 64, src += 64, out += 192) {
        const __m512i index = _mm512_loadu_si512(src);
        const __mmask64 upper = _mm512_movepi8_mask(index);
        __m512i level[3];
        for (int c = 0; c < 3; ++c) {
            const __m512i low = _mm512_permutex2var_epi8(table[c][0], index, table[c][1]);
            const __m512i high = _mm512_permutex2var_epi8(table[c][2], index, table[c][3]);
            level[c] = _mm512_mask_blend_epi8(upper, low, high);
        }
        for (int k = 0; k < 3; ++k) {
            const __m512i bg = _mm512_permutex2var_epi8(level[0], bgControl[k], level[1]);
            _mm512_storeu_si512(out + 64 * k,
                                _mm512_mask_permutexvar_epi8(bg, redBytes[k], rControl[k], level[2]));
        }
    }
    return done;
}

}  // namespace rastrex
