// The row kernels: the plain ones (rows_plain.cpp) and the wide ones, one
// file for each instruction set (rows_ssse3.cpp, rows_avx2.cpp,
// rows_avx512.cpp), each compiled for that set alone and called only where
// the processor has it. RowPath sets them, once for each decoder, on a
// ladder: the widest first, the plain one last.
//
// The wide files include nothing but this header, <immintrin.h> and C
// headers, and keep their helpers in unnamed namespaces: an inline function
// or template of a shared header instantiated there would be compiled with
// their instructions, and the linker may keep that copy for every caller.
// For the same reason the tables below are plain aggregates, with nothing
// to construct.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rastrex {

// --- The wide kernels -------------------------------------------------------

// Each decodes units (pixels, or bytes of eight 1-bit pixels) from the start
// of `src` in whole steps while a step's worth remains, writes their blue,
// green and red bytes to `out` and returns how many it did (a plain one does
// them all). `tables` are the
// kernel's own, as RowPath makes them: the struct named with the kernel.
using RowKernel = std::size_t (*)(const unsigned char* src, std::size_t count, unsigned char* out,
                                  const void* tables);

// A channel of 16-bit pixels at most 8 bits wide, scaled by arithmetic: its
// level is (field * 255 + half) * magic >> (16 + post), where field is the
// pixel shifted right by `shift` and masked with `mask`.
struct FieldScale {
    std::uint16_t shift, mask, half, magic, post;
};

// scale...(): blue, green and red, and whether the pixels are stored most
// significant byte first.
struct ScaleTables {
    FieldScale channel[3];
    bool msbFirst;
};

// shuffleFourSsse3(): pixels of `stride` bytes (3 or 4); the shuffle that
// makes the twelve output bytes of four of them.
struct ShuffleTables {
    signed char pattern[16];
    std::uint32_t stride;
};

// permuteBytesAvx512(): pixels of `stride` bytes (3 or 4); output byte j of
// the 64 / stride pixels that one permute takes is byte pick[j] of theirs.
struct PermuteTables {
    unsigned char pick[64];
    std::uint32_t stride;
};

// lookUpFieldsAvx512(): for each 64-byte third of the output of sixty-four
// 16-bit pixels, the byte permute that gathers each output byte's pixel, the
// multishift that brings its channel's field down, the field's mask and the
// channel's place in `level`, the one table of every channel's levels.
inline constexpr std::uint32_t kFieldPickLevels = 128;
struct FieldPickTables {
    unsigned char gather[192], shift[192], mask[192], place[192];
    unsigned char level[kFieldPickLevels];
};

// expandBitsAvx512(): for each of the 192 output bytes of eight bytes of
// 1-bit pixels, its value for a clear pixel, for a set one, and which of the
// 64 bits is its pixel's.
struct BitPatternTables {
    unsigned char clear[192], set[192], pick[192];
};

// lookUpLevelsAvx512(): the blue, green and red levels of the 256 values of
// 8-bit pixels.
struct LevelPlaneTables {
    unsigned char level[3][256];
};

// Eight 16-bit pixels' 24 output bytes: byte j is channel j % 3 of pixel
// j / 3. The shuffles that take it from the packed blue and green levels
// (blue in bytes 0-7, green in 8-15) or from the red ones (bytes 0-7); the
// second of each pair makes bytes 8 to 23. For the SSSE3 and AVX2 kernels.
struct EightPixelShuffles {
    alignas(16) signed char fromBg[2][16];
    alignas(16) signed char fromR[2][16];
};

consteval EightPixelShuffles makeEightPixelShuffles()
{
    EightPixelShuffles t{};
    for (int half16 = 0; half16 < 2; ++half16)
        for (int i = 0; i < 16; ++i) {
            const int j = 8 * half16 + i, pixel = j / 3, c = j % 3;
            t.fromBg[half16][i] = c == 2 ? -1 : static_cast<signed char>(8 * c + pixel);
            t.fromR[half16][i] = c == 2 ? static_cast<signed char>(pixel) : -1;
        }
    return t;
}

inline constexpr EightPixelShuffles kEightPixelShuffles = makeEightPixelShuffles();

// SSSE3 (ShuffleTables): four pixels a step, read and written 16 bytes at a
// time, past the four: it stops while at least two pixels remain.
std::size_t shuffleFourSsse3(const unsigned char* src, std::size_t count, unsigned char* out,
                             const void* tables);
// SSSE3, AVX2, AVX-512 (ScaleTables): eight, sixteen, thirty-two 16-bit
// pixels a step.
std::size_t scaleEightSsse3(const unsigned char* src, std::size_t count, unsigned char* out,
                            const void* tables);
std::size_t scaleSixteenAvx2(const unsigned char* src, std::size_t count, unsigned char* out,
                             const void* tables);
std::size_t scaleThirtyTwoAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                                 const void* tables);
// AVX-512 VBMI, sixty-four 16-bit pixels a step (FieldPickTables).
std::size_t lookUpFieldsAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                               const void* tables);
// AVX-512 VBMI, as many pixels as 64 bytes hold a step (PermuteTables).
std::size_t permuteBytesAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                               const void* tables);
// AVX-512 VBMI, eight bytes of 1-bit pixels a step (BitPatternTables).
std::size_t expandBitsAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                             const void* tables);
// AVX-512 VBMI, sixty-four 8-bit pixels a step (LevelPlaneTables).
std::size_t lookUpLevelsAvx512(const unsigned char* src, std::size_t count, unsigned char* out,
                               const void* tables);

// --- The plain kernels ------------------------------------------------------
// The last rung of every ladder: each takes every unit of `count` and
// returns it, as a RowKernel. Colours packed as blue | green << 8 | red
// << 16.

// copyBytesPlain(), copyFourPlain(): pixels of `stride` bytes (3 or 4) whose
// blue, green and red bytes sit at pos[0], pos[1] and pos[2]; copyFourPlain()
// for 4-byte pixels whose first three bytes are blue, green, red.
struct ByteCopyTables {
    std::uint32_t stride;
    std::uint32_t pos[3];
};

// lookUpColours8Plain(), lookUpColours16LsbPlain(), ...MsbPlain(): 8-bit
// pixels, and 16-bit ones in either byte order, through a table of all
// their values' colours, which the decoder owns.
struct ColourTables {
    const std::uint32_t* colours;
};

// expandBitsPlain(): bytes of 1-bit pixels in row order; with units of
// `unitBytes` (2 or 4) whose bytes run backwards, expandBitsBackwardsPlain(),
// from the start of a unit. `bytes` holds the 24 output bytes of the eight
// pixels of each byte value.
struct BitByteTables {
    unsigned char bytes[256 * 24];
    std::uint32_t unitBytes;
};

// scaleEachPlain(): 16-bit pixels one at a time by the arithmetic of
// ScaleTables.
std::size_t copyThreePlain(const unsigned char* src, std::size_t count, unsigned char* out,
                           const void* tables);
std::size_t copyFourPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                          const void* tables);
std::size_t copyBytesPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                           const void* tables);
std::size_t lookUpColours8Plain(const unsigned char* src, std::size_t count, unsigned char* out,
                                const void* tables);
std::size_t lookUpColours16LsbPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                                    const void* tables);
std::size_t lookUpColours16MsbPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                                    const void* tables);
std::size_t expandBitsPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                            const void* tables);
std::size_t expandBitsBackwardsPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                                     const void* tables);
std::size_t scaleEachPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                           const void* tables);

}  // namespace rastrex
