// The choice of each decoder's ladder of row kernels and the making of
// their tables.
// The build defines RASTREX_ROWS_<SET> for each instruction set whose
// kernels it compiles (row_kernels.cmake); the processor check never allows
// a set without them.
#include "row_path.h"

#include <cstring>
#include <optional>
#include <type_traits>

namespace rastrex {

namespace {

// Byte j of an output colour packed as blue | green << 8 | red << 16.
unsigned char channelByte(std::uint32_t colour, std::uint32_t j)
{
    return static_cast<unsigned char>(colour >> (8 * j));
}

// The arithmetic that gives every level of 16-bit fields (see FieldScale),
// when each channel is at most 8 bits wide and shows its value scaled.
std::optional<ScaleTables> fieldScales(const std::array<FieldChannel, 3>& rgb, bool msbByteFirst)
{
    ScaleTables t{};
    t.msbFirst = msbByteFirst;
    for (std::size_t c = 0; c < 3; ++c) {
        const FieldChannel& ch = rgb[c];
        if (ch.width > 8)
            return std::nullopt;
        const std::uint32_t max = (std::uint32_t{1} << ch.width) - 1;
        for (std::uint32_t i = 0; i <= max; ++i)
            if (ch.level[i] != scaleToByte(i, ch.width))
                return std::nullopt;
        // The smallest magic number, and its shift, that divides every
        // numerator the field can give exactly as the rounding does.
        bool found = false;
        for (std::uint32_t post = 0; !found && post < 16; ++post) {
            const std::uint64_t magic = ((std::uint64_t{1} << (16 + post)) + max - 1) / max;
            if (magic > UINT16_MAX)
                break;
            found = true;
            for (std::uint32_t i = 0; found && i <= max; ++i)
                found = (((i * 255 + max / 2) * magic) >> (16 + post)) == ch.level[i];
            if (found)
                t.channel[2 - c] = {static_cast<std::uint16_t>(ch.shift), static_cast<std::uint16_t>(max),
                                    static_cast<std::uint16_t>(max / 2), static_cast<std::uint16_t>(magic),
                                    static_cast<std::uint16_t>(post)};
        }
        if (!found)
            return std::nullopt;
    }
    return t;
}

// Sixty-four 16-bit pixels make 192 output bytes, three parts of 64. For
// part m, a byte permute gathers into each 8-byte lane k the four pixels its
// eight output bytes come from, from pixel (64m + 8k) / 3 on, as
// little-endian values; a multishift brings to each output byte the eight
// bits from its channel's field on; masked to the field's width, plus the
// channel's place in the table, that is the index of its level. Only for
// channels that are runs of at most 7 bits within the pixel and whose levels
// fit the table together.
[[maybe_unused]] std::optional<FieldPickTables> fieldPicks(const std::array<FieldChannel, 3>& rgb, bool msbByteFirst)
{
    std::uint32_t shift[3], width[3], place[3];  // blue, green, red
    for (std::size_t c = 0; c < 3; ++c) {
        const FieldChannel& ch = rgb[2 - c];
        width[c] = static_cast<std::uint32_t>(ch.width);
        shift[c] = ch.width == 0 ? 0 : static_cast<std::uint32_t>(ch.shift);
        if (width[c] > 7 || (ch.mask >> shift[c]) != (1u << width[c]) - 1 || shift[c] + width[c] > 16)
            return std::nullopt;
    }
    // The widest channel's levels first: each place is then a multiple of
    // its channel's count of levels, so that a field ORed onto it adds.
    std::uint32_t levels = 0;
    for (std::uint32_t w = 8; w-- > 0;)
        for (std::size_t c = 0; c < 3; ++c)
            if (width[c] == w) {
                place[c] = levels;
                levels += 1u << w;
            }
    if (levels > kFieldPickLevels)
        return std::nullopt;
    FieldPickTables t{};
    for (std::uint32_t m = 0; m < 3; ++m)
        for (std::uint32_t j = 0; j < 64; ++j) {
            const std::uint32_t lanePixel = (64 * m + 8 * (j / 8)) / 3;
            const std::uint32_t pixel = lanePixel + j % 8 / 2;
            const std::uint32_t byte = msbByteFirst ? 1 - j % 2 : j % 2;
            const std::uint32_t q = (64 * m + j) / 3, c = (64 * m + j) % 3;
            const std::size_t at = 64 * m + j;
            // (A lane's fourth pixel may lie past the sixty-four; it is not used.)
            t.gather[at] = static_cast<unsigned char>(pixel < 64 ? 2 * pixel + byte : 0);
            t.shift[at] = static_cast<unsigned char>(16 * (q - lanePixel) + shift[c]);
            t.mask[at] = static_cast<unsigned char>((1u << width[c]) - 1);
            t.place[at] = static_cast<unsigned char>(place[c]);
        }
    for (std::size_t c = 0; c < 3; ++c)
        for (std::uint32_t i = 0; i < (std::uint32_t{1} << width[c]); ++i)
            t.level[place[c] + i] = rgb[2 - c].level[i];
    return t;
}

}  // namespace

template <class Tables>
void RowPath::add(RowKernel kernel, std::size_t least, const Tables& tables)
{
    static_assert(std::is_trivially_copyable_v<Tables>);
    step_[steps_++] = {kernel, least, keep(&tables, sizeof(Tables))};
}

// Each kernel's tables start a block of 64 bytes, aligned for any of them
// and for the wide loads of them; copying their bytes there makes them.
// (Out of line: inlined into a path just made, whose blocks are none, GCC 12
// warns of an overflow that cannot happen.)
[[gnu::noinline]] std::size_t RowPath::keep(const void* tables, std::size_t size)
{
    const std::size_t first = tables_.size();
    tables_.resize(first + (size + sizeof(Block) - 1) / sizeof(Block));
    std::memcpy(reinterpret_cast<unsigned char*>(tables_.data()) + first * sizeof(Block), tables, size);
    return first * sizeof(Block);
}

void RowPath::run(const unsigned char* src, std::size_t count, unsigned char* out) const
{
    std::size_t done = 0;
    for (std::size_t i = 0; i < steps_; ++i) {
        const Step& s = step_[i];
        if (count - done >= s.least)
            done += s.kernel(src + done * inBytes_, count - done, out + done * outBytes_,
                             reinterpret_cast<const unsigned char*>(tables_.data()) + s.tables);
    }
}

RowPath RowPath::forBits(RowPaths paths, std::uint32_t clear, std::uint32_t set, bool msbBitFirst,
                         std::uint32_t unitBytes)
{
    RowPath path;
    path.inBytes_ = 1;
    path.outBytes_ = 24;
    BitByteTables plain{};
    for (std::uint32_t b = 0; b < 256; ++b)
        for (std::uint32_t k = 0; k < 8; ++k) {
            const bool on = ((b >> (msbBitFirst ? 7 - k : k)) & 1) != 0;
            for (std::uint32_t j = 0; j < 3; ++j)
                plain.bytes[24 * b + 3 * k + j] = channelByte(on ? set : clear, j);
        }
    plain.unitBytes = unitBytes;
    if (unitBytes > 1) {
        path.end(expandBitsBackwardsPlain, plain);
        return path;
    }
#if defined(RASTREX_ROWS_AVX512)
    // Byte p of the 192 that sixty-four pixels make is channel p % 3 of pixel
    // p / 3, whose bit lies where `pick` says among the 64 of eight bytes.
    if (paths >= RowPaths::kAvx512Vbmi) {
        BitPatternTables t{};
        for (std::uint32_t p = 0; p < 192; ++p) {
            const std::uint32_t q = p / 3;
            t.clear[p] = channelByte(clear, p % 3);
            t.set[p] = channelByte(set, p % 3);
            t.pick[p] = static_cast<unsigned char>(msbBitFirst ? q - q % 8 + 7 - q % 8 : q);
        }
        path.add(expandBitsAvx512, 8, t);
    }
#else
    (void)paths;
#endif
    path.end(expandBitsPlain, plain);
    return path;
}

RowPath RowPath::forBytes(RowPaths paths, std::uint32_t stride, const std::uint32_t pos[3])
{
    RowPath path;
    path.inBytes_ = stride;
    const bool inOrder = pos[0] == 0 && pos[1] == 1 && pos[2] == 2;
    // Three bytes already in order: one copy, faster than any shuffle.
    if (stride == 3 && inOrder) {
        path.end(copyThreePlain, ByteCopyTables{});
        return path;
    }
#if defined(RASTREX_ROWS_AVX512)
    if (paths >= RowPaths::kAvx512Vbmi) {
        PermuteTables t{};
        for (std::uint32_t j = 0; j < 3 * (64 / stride); ++j)
            t.pick[j] = static_cast<unsigned char>(stride * (j / 3) + pos[j % 3]);
        t.stride = stride;
        path.add(permuteBytesAvx512, 64 / stride, t);
    }
#endif
#if defined(RASTREX_ROWS_SSSE3)
    if (paths >= RowPaths::kSsse3) {
        ShuffleTables t{};
        for (signed char& b : t.pattern)
            b = -1;  // zero
        for (std::uint32_t p = 0; p < 4; ++p)
            for (std::uint32_t c = 0; c < 3; ++c)
                t.pattern[3 * p + c] = static_cast<signed char>(stride * p + pos[c]);
        t.stride = stride;
        path.add(shuffleFourSsse3, 6, t);
    }
#else
    (void)paths;
#endif
    const ByteCopyTables plain{stride, {pos[0], pos[1], pos[2]}};
    path.end(stride == 4 && inOrder ? copyFourPlain : copyBytesPlain, plain);
    return path;
}

RowPath RowPath::forLookUp8(RowPaths paths, const std::uint32_t* colours)
{
    RowPath path;
#if defined(RASTREX_ROWS_AVX512)
    if (paths >= RowPaths::kAvx512Vbmi) {
        LevelPlaneTables t{};
        for (std::uint32_t v = 0; v < 256; ++v)
            for (std::uint32_t c = 0; c < 3; ++c)
                t.level[c][v] = channelByte(colours[v], c);
        path.add(lookUpLevelsAvx512, 64, t);
    }
#else
    (void)paths;
#endif
    path.end(lookUpColours8Plain, ColourTables{colours});
    return path;
}

RowPath RowPath::forLookUp16(const std::uint32_t* colours, bool msbByteFirst)
{
    RowPath path;
    path.inBytes_ = 2;
    path.end(msbByteFirst ? lookUpColours16MsbPlain : lookUpColours16LsbPlain, ColourTables{colours});
    return path;
}

bool RowPath::scalesFields(RowPaths paths, const std::array<FieldChannel, 3>& rgb)
{
    // (At the plain level a table of every value's colour is faster.)
    return paths >= RowPaths::kSsse3 && fieldScales(rgb, false).has_value();
}

RowPath RowPath::forFields16(RowPaths paths, const std::array<FieldChannel, 3>& rgb, bool msbByteFirst,
                             const std::uint32_t* colours)
{
    RowPath path;
    path.inBytes_ = 2;
    const std::optional<ScaleTables> scale = fieldScales(rgb, msbByteFirst);
#if defined(RASTREX_ROWS_AVX512)
    if (paths >= RowPaths::kAvx512Vbmi) {
        if (const std::optional<FieldPickTables> picks = fieldPicks(rgb, msbByteFirst))
            path.add(lookUpFieldsAvx512, 64, *picks);
        if (scale)
            path.add(scaleThirtyTwoAvx512, 32, *scale);
    }
#endif
#if defined(RASTREX_ROWS_AVX2)
    if (scale && paths >= RowPaths::kAvx2)
        path.add(scaleSixteenAvx2, 16, *scale);
#endif
#if defined(RASTREX_ROWS_SSSE3)
    if (scale && paths >= RowPaths::kSsse3)
        path.add(scaleEightSsse3, 8, *scale);
#endif
    if (scalesFields(paths, rgb))
        path.end(scaleEachPlain, *scale);
    else
        path.end(msbByteFirst ? lookUpColours16MsbPlain : lookUpColours16LsbPlain, ColourTables{colours});
    return path;
}

}  // namespace rastrex
