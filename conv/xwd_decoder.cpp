#include "xwd_decoder.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define RASTREX_HAVE_SSSE3_PATH 1
// The 256- and 512-bit paths: not on 32-bit Windows. The 64-bit Windows
// stack is aligned to 16 bytes only; there the build has the assembler
// encode every aligned vector move as an unaligned one, so that no spill of
// a 32- or 64-byte value depends on the compiler realigning it.
#if !defined(_WIN32) || defined(__x86_64__)
#define RASTREX_HAVE_AVX2_PATH 1
#endif
#endif

namespace rastrex {

namespace {

// Pixel values of up to this many bits get a table of all their colours.
constexpr std::uint32_t kMaxTableBits = 16;
constexpr std::uint32_t kMaxTableEntries = std::uint32_t{1} << kMaxTableBits;

std::uint32_t be32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
           (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

std::uint32_t be16(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 8) | std::uint32_t{p[1]};
}

// A value of `bits` bits scaled to 0..255, rounded to the nearest level.
std::uint8_t scaleToByte(std::uint64_t value, int bits)
{
    if (bits <= 0)
        return 0;
    const std::uint64_t max = (std::uint64_t{1} << bits) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

// A colour entry's 16-bit intensity scaled to 8 bits.
std::uint8_t intensity(const unsigned char* p)
{
    return scaleToByte(be16(p), 16);
}

// Offsets within a colour entry.
constexpr std::size_t kEntryPixel = 0;
constexpr std::size_t kEntryRed = 4;
constexpr std::size_t kEntryGreen = 6;
constexpr std::size_t kEntryBlue = 8;

// Whether this processor has the byte shuffles of the SSSE3 paths.
bool haveSsse3();
#if defined(RASTREX_HAVE_AVX2_PATH)
// Whether it has the byte permutes of the 64-pixel table lookup.
bool haveAvx512Vbmi();
std::array<unsigned char, 64> bytePicks(std::uint32_t stride, const std::uint32_t pos[3]);
#endif

// The parts of PixelDecoder::fieldPicks_: for each of three 64-byte parts of
// the output, the byte permute's control, the multishift's, the fields'
// masks and their places in the table; then the table of 128 levels.
constexpr std::size_t kPickGather = 0;
constexpr std::size_t kPickShift = 192;
constexpr std::size_t kPickMask = 384;
constexpr std::size_t kPickBase = 576;
constexpr std::size_t kPickTable = 768;
constexpr std::size_t kPickBytes = 896;
// Levels the one table holds, of all three channels together: the reach of
// a two-register byte permute.
constexpr std::uint32_t kPickTableLevels = 128;

// The cap set by capRowPaths().
std::atomic<RowPaths> rowPathCap{RowPaths::kAvx512Vbmi};

bool isGrey(VisualClass v)
{
    return v == VisualClass::kStaticGray || v == VisualClass::kGrayScale;
}

// Copies pixels whose three channels are whole bytes of a B-byte pixel.
template <std::uint32_t B, std::uint32_t PB, std::uint32_t PG, std::uint32_t PR>
void copyBytewise(const unsigned char* src, std::size_t count, unsigned char* out)
{
    for (std::size_t i = 0; i < count; ++i, src += B, out += 3) {
        out[0] = src[PB];
        out[1] = src[PG];
        out[2] = src[PR];
    }
}

}  // namespace

PixelDecoder::PixelDecoder(const PixelLayout& layout, const unsigned char* colourMap)
    : l_(layout)
{
    paths_ = std::min(processorRowPaths(), rowPathCap.load(std::memory_order_relaxed));
    valueMask_ = l_.depth >= 32 ? UINT32_MAX : (std::uint32_t{1} << l_.depth) - 1;
    usesMasks_ = l_.visual == VisualClass::kTrueColor || l_.visual == VisualClass::kDirectColor;
    hasMap_ = l_.colourEntries > 0 && colourMap != nullptr;
    const std::uint32_t entries = hasMap_ ? l_.colourEntries : 0;

    if (usesMasks_) {
        const std::uint32_t masks[3] = {l_.redMask, l_.greenMask, l_.blueMask};
        const std::size_t field[3] = {kEntryRed, kEntryGreen, kEntryBlue};
        // TrueColor ignores a stored map; DirectColor goes through it when
        // there is one.
        const bool throughMap = l_.visual == VisualClass::kDirectColor && hasMap_;
        for (std::size_t c = 0; c < 3; ++c) {
            Channel& ch = channel_[c];
            ch.mask = masks[c];
            ch.shift = std::countr_zero(ch.mask);
            ch.width = std::popcount(ch.mask);
            const std::uint32_t levels = ch.width >= static_cast<int>(kMaxTableBits)
                                             ? kMaxTableEntries
                                             : std::uint32_t{1} << ch.width;
            ch.level.resize(levels);
            for (std::uint32_t i = 0; i < levels; ++i) {
                if (throughMap)  // entry i holds the intensities of channel value i
                    ch.level[i] = i < entries ? intensity(colourMap + std::size_t{i} * kColourEntryBytes + field[c]) : 0;
                else
                    ch.level[i] = scaleToByte(i, ch.width);
            }
        }
    } else if (hasMap_) {
        // Each entry names the pixel value it describes.
        const std::uint32_t size =
            l_.depth >= kMaxTableBits ? kMaxTableEntries : std::uint32_t{1} << l_.depth;
        mapColour_.assign(size, Bgr{});
        mapFilled_.assign(size, false);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const unsigned char* e = colourMap + std::size_t{i} * kColourEntryBytes;
            const std::uint32_t pixel = be32(e + kEntryPixel);
            if (pixel >= size)
                continue;
            mapColour_[pixel] = {intensity(e + kEntryBlue), intensity(e + kEntryGreen),
                                 intensity(e + kEntryRed)};
            mapFilled_[pixel] = true;
        }
    }

    // 16-bit TrueColor (or DirectColor without a map) whose channels are at
    // most 8 bits: the levels can be worked out eight pixels at a time.
    if (l_.format == PixmapFormat::kZPixmap && usesMasks_ && l_.bitsPerPixel == 16) {
        bool ok = true;
        for (std::size_t c = 0; c < 3 && ok; ++c) {
            const Channel& ch = channel_[c];
            ok = ch.width <= 8;
            const std::uint32_t max = (std::uint32_t{1} << ch.width) - 1;
            for (std::uint32_t i = 0; ok && i <= max; ++i)
                ok = ch.level[i] == scaleToByte(i, ch.width);
            // The smallest magic number, and its shift, that divides every
            // numerator the field can give exactly as the rounding does.
            bool found = false;
            for (std::uint32_t post = 0; ok && !found && post < 16; ++post) {
                const std::uint64_t magic = ((std::uint64_t{1} << (16 + post)) + max - 1) / max;
                if (magic > UINT16_MAX)
                    break;
                found = true;
                for (std::uint32_t i = 0; found && i <= max; ++i)
                    found = (((i * 255 + max / 2) * magic) >> (16 + post)) == ch.level[i];
                if (found)
                    scale16_[2 - c] = {static_cast<std::uint16_t>(ch.shift), static_cast<std::uint16_t>(max),
                                       static_cast<std::uint16_t>(max / 2), static_cast<std::uint16_t>(magic),
                                       static_cast<std::uint16_t>(post)};
            }
            ok = ok && found;
        }
        scaled16_ = ok;
    }
#if defined(RASTREX_HAVE_AVX2_PATH)
    if (l_.format == PixmapFormat::kZPixmap && usesMasks_ && l_.bitsPerPixel == 16 &&
        paths_ >= RowPaths::kAvx512Vbmi)
        makeFieldPicks();
#endif

    const std::uint32_t valueBits =
        l_.format == PixmapFormat::kZPixmap ? l_.bitsPerPixel : l_.depth;
    // (Not when eight pixels at a time are scaled instead: the few pixels
    // at the end of a row go through colourOf().)
    bool scaledInstead = false;
#if defined(RASTREX_HAVE_SSSE3_PATH)
    scaledInstead = scaled16_ && paths_ >= RowPaths::kSsse3;
#endif
    if (valueBits <= kMaxTableBits && !scaledInstead) {
        lut_.resize(std::size_t{1} << valueBits);
        packedLut_.resize(lut_.size());
        for (std::uint32_t v = 0; v < lut_.size(); ++v) {
            lut_[v] = colourOf(v);
            packedLut_[v] = lut_[v].b | (std::uint32_t{lut_[v].g} << 8) |
                            (std::uint32_t{lut_[v].r} << 16);
        }
    }

#if defined(RASTREX_HAVE_AVX2_PATH)
    // 8-bit pixels looked up sixty-four at a time: the table's blue, green
    // and red levels as three planes.
    if (l_.format == PixmapFormat::kZPixmap && l_.bitsPerPixel == 8 && lut_.size() == 256 &&
        paths_ >= RowPaths::kAvx512Vbmi) {
        levelPlanes_.resize(3 * 256);
        for (std::size_t v = 0; v < 256; ++v) {
            levelPlanes_[v] = lut_[v].b;
            levelPlanes_[256 + v] = lut_[v].g;
            levelPlanes_[512 + v] = lut_[v].r;
        }
    }
#endif

    // One plane of 1-bit data: the 24 bitmap bytes of every byte's eight
    // pixels. Each byte holds eight pixels in a row; within a unit of 16 or
    // 32 bits the bytes run backwards when the byte order and the bit order
    // differ.
    if (l_.planes == 1 && l_.bitsPerPixel == 1 && lut_.size() == 2 &&
        (l_.unitBits == 8 || l_.unitBits == 16 || l_.unitBits == 32)) {
        bitUnitBytes_ = l_.unitBits / 8;
        bitBytesBackwards_ = bitUnitBytes_ > 1 && l_.msbByteFirst != l_.msbBitFirst;
        bitBytes_.resize(256 * 24);
        for (std::uint32_t b = 0; b < 256; ++b)
            for (std::uint32_t k = 0; k < 8; ++k) {
                const std::uint32_t bit = (b >> (l_.msbBitFirst ? 7 - k : k)) & 1;
                unsigned char* p = bitBytes_.data() + b * 24 + k * 3;
                p[0] = lut_[bit].b;
                p[1] = lut_[bit].g;
                p[2] = lut_[bit].r;
            }
    }
#if defined(RASTREX_HAVE_AVX2_PATH)
    // The same sixty-four pixels at a time: for each 64-byte part k of their
    // 192 output bytes, byte j is channel p % 3 of pixel p / 3 (p = 64k + j)
    // as a clear pixel shows it, then as a set one, then where the pixel's
    // bit lies among the 64 of its eight bytes.
    if (!bitBytes_.empty() && !bitBytesBackwards_ && paths_ >= RowPaths::kAvx512Vbmi) {
        bitPatterns_.resize(3 * 192);
        for (std::uint32_t p = 0; p < 192; ++p) {
            const std::uint32_t q = p / 3, c = p % 3;
            const Bgr& clear = lut_[0];
            const Bgr& set = lut_[1];
            bitPatterns_[p] = c == 0 ? clear.b : c == 1 ? clear.g : clear.r;
            bitPatterns_[192 + p] = c == 0 ? set.b : c == 1 ? set.g : set.r;
            bitPatterns_[384 + p] = static_cast<unsigned char>(l_.msbBitFirst ? q - q % 8 + 7 - q % 8 : q);
        }
    }
#endif

    // Whole-byte channels shown as they are: copy bytes.
    if (l_.format == PixmapFormat::kZPixmap && usesMasks_ &&
        (l_.bitsPerPixel == 24 || l_.bitsPerPixel == 32)) {
        pixelBytes_ = l_.bitsPerPixel / 8;
        bool ok = true;
        for (std::size_t c = 0; c < 3 && ok; ++c) {
            const Channel& ch = channel_[c];
            ok = ch.width == 8 && ch.shift % 8 == 0;
            for (std::uint32_t i = 0; ok && i < 256; ++i)
                ok = ch.level[i] == i;
            if (ok) {
                const std::uint32_t k = static_cast<std::uint32_t>(ch.shift / 8);
                // bytePos_ holds blue, green, red: channel_ is red, green, blue.
                bytePos_[2 - c] = l_.msbByteFirst ? pixelBytes_ - 1 - k : k;
            }
        }
        bytewise_ = ok;
#if defined(RASTREX_HAVE_AVX2_PATH)
        if (bytewise_ && paths_ >= RowPaths::kAvx512Vbmi) {
            const std::array<unsigned char, 64> pick = bytePicks(pixelBytes_, bytePos_.data());
            bytePick_.assign(pick.begin(), pick.end());
        }
#endif
    }
}

// Sixty-four 16-bit pixels make 192 output bytes, three parts of 64. For
// part m, a byte permute gathers into each 8-byte lane k the four pixels its
// eight output bytes come from, from pixel (64m + 8k) / 3 on, as
// little-endian values; a multishift brings to each output byte the eight
// bits from its channel's field on; masked to the field's width, plus the
// channel's place in the table, that is the index of its level. Only for
// channels that are runs of at most 7 bits within the pixel and whose levels
// fit the table together.
void PixelDecoder::makeFieldPicks()
{
    std::uint32_t shift[3], width[3], place[3];  // blue, green, red
    for (std::size_t c = 0; c < 3; ++c) {
        const Channel& ch = channel_[2 - c];
        width[c] = static_cast<std::uint32_t>(ch.width);
        shift[c] = ch.width == 0 ? 0 : static_cast<std::uint32_t>(ch.shift);
        if (width[c] > 7 || (ch.mask >> shift[c]) != (1u << width[c]) - 1 || shift[c] + width[c] > 16)
            return;
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
    if (levels > kPickTableLevels)
        return;
    fieldPicks_.assign(kPickBytes, 0);
    unsigned char* p = fieldPicks_.data();
    for (std::uint32_t m = 0; m < 3; ++m)
        for (std::uint32_t j = 0; j < 64; ++j) {
            const std::uint32_t lanePixel = (64 * m + 8 * (j / 8)) / 3;
            const std::uint32_t pixel = lanePixel + j % 8 / 2;
            const std::uint32_t byte = l_.msbByteFirst ? 1 - j % 2 : j % 2;
            const std::uint32_t q = (64 * m + j) / 3, c = (64 * m + j) % 3;
            const std::size_t at = 64 * m + j;
            // (A lane's fourth pixel may lie past the sixty-four; it is not used.)
            p[kPickGather + at] = static_cast<unsigned char>(pixel < 64 ? 2 * pixel + byte : 0);
            p[kPickShift + at] = static_cast<unsigned char>(16 * (q - lanePixel) + shift[c]);
            p[kPickMask + at] = static_cast<unsigned char>((1u << width[c]) - 1);
            p[kPickBase + at] = static_cast<unsigned char>(place[c]);
        }
    for (std::size_t c = 0; c < 3; ++c)
        for (std::uint32_t i = 0; i < (std::uint32_t{1} << width[c]); ++i)
            p[kPickTable + place[c] + i] = channel_[2 - c].level[i];
}

std::uint8_t PixelDecoder::channelLevel(const Channel& c, std::uint32_t value) const
{
    const std::uint32_t v = (value & c.mask) >> c.shift;
    if (v < c.level.size())
        return c.level[v];
    // Only channels wider than the table get here.
    if (l_.visual == VisualClass::kDirectColor && hasMap_)
        return 0;  // past the colour map
    return scaleToByte(v, c.width);
}

Bgr PixelDecoder::colourOf(std::uint32_t value) const
{
    if (usesMasks_)
        return {channelLevel(channel_[2], value), channelLevel(channel_[1], value),
                channelLevel(channel_[0], value)};
    const std::uint32_t index = value & valueMask_;
    if (hasMap_) {
        if (index < mapColour_.size() && mapFilled_[index])
            return mapColour_[index];
        return {};  // past the colour map: black
    }
    if (isGrey(l_.visual)) {
        // A two-level grey dump without a colour map is a bitmap: a set bit
        // is ink (black) on white paper, as 1-bit pictures are drawn.
        if (l_.depth == 1)
            return index != 0 ? Bgr{} : Bgr{255, 255, 255};
        const std::uint8_t g = scaleToByte(index, static_cast<int>(l_.depth));
        return {g, g, g};
    }
    return {};
}

// Byte within a row holding bit n of 1-bit data: units of unitBits bits,
// their bytes in the dump's byte order, their bits in the bitmap bit order.
std::uint64_t PixelDecoder::bitByte(std::uint64_t n) const
{
    const std::uint32_t unitBytes = l_.unitBits / 8;
    const std::uint64_t unit = n / l_.unitBits;
    const std::uint32_t k = static_cast<std::uint32_t>(n % l_.unitBits);
    const std::uint32_t s = l_.msbBitFirst ? l_.unitBits - 1 - k : k;
    const std::uint32_t byteInUnit = l_.msbByteFirst ? unitBytes - 1 - s / 8 : s / 8;
    return unit * unitBytes + byteInUnit;
}

bool PixelDecoder::bitAt(const unsigned char* row, std::uint64_t n) const
{
    const std::uint32_t k = static_cast<std::uint32_t>(n % l_.unitBits);
    const std::uint32_t s = l_.msbBitFirst ? l_.unitBits - 1 - k : k;
    return ((row[bitByte(n)] >> (s % 8)) & 1) != 0;
}

// The value of pixel n (counted from the start of the row) of a ZPixmap row.
std::uint32_t PixelDecoder::pixelValue(const unsigned char* row, std::uint64_t n) const
{
    switch (l_.bitsPerPixel) {
    case 1:
        return bitAt(row, n) ? 1 : 0;
    case 4: {
        const std::uint32_t b = row[n / 2];
        // The byte order also orders the two pixels of a byte.
        const bool high = ((n & 1) == 0) == l_.msbByteFirst;
        return high ? b >> 4 : b & 0x0F;
    }
    case 8:
        return row[n];
    case 16: {
        const unsigned char* p = row + 2 * n;
        return l_.msbByteFirst ? (std::uint32_t{p[0]} << 8) | p[1]
                               : (std::uint32_t{p[1]} << 8) | p[0];
    }
    case 24: {
        const unsigned char* p = row + 3 * n;
        return l_.msbByteFirst
                   ? (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]
                   : (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    default: {  // 32
        const unsigned char* p = row + 4 * n;
        return l_.msbByteFirst ? be32(p)
                               : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) |
                                     (std::uint32_t{p[1]} << 8) | p[0];
    }
    }
}

// Bytes from a row's start up to and including the last one pixel n needs.
std::uint64_t PixelDecoder::pixelEnd(std::uint64_t n) const
{
    switch (l_.bitsPerPixel) {
    case 1: return bitByte(n) + 1;
    case 4: return n / 2 + 1;
    default: return (n + 1) * (l_.bitsPerPixel / 8);
    }
}

// Bytes from a row's start that hold pixel `last` and every one before it
// (up to the end of its unit, for 1-bit data).
std::uint64_t PixelDecoder::segmentEnd(std::uint64_t last) const
{
    if (l_.bitsPerPixel == 1)
        return (last / l_.unitBits + 1) * (l_.unitBits / 8);
    return pixelEnd(last);
}

std::uint64_t PixelDecoder::rowBytesUsed() const
{
    return segmentEnd(std::uint64_t{l_.xOffset} + l_.width - 1);
}

bool PixelDecoder::firstPixelPresent(std::uint64_t available) const
{
    std::uint64_t base = 0;
    if (l_.planes > 1) {
        const std::uint64_t plane = l_.planeBytes();
        if (plane > available / (l_.planes - 1))
            return false;
        base = plane * (l_.planes - 1);
    }
    return base <= available && pixelEnd(l_.xOffset) <= available - base;
}

namespace {

#if defined(RASTREX_HAVE_SSSE3_PATH)

// Four pixels of `stride` bytes become twelve bytes of blue, green, red by
// one byte shuffle. Both the 16 bytes read and the 16 written reach past the
// four pixels, so the loop stops while at least two pixels remain.
__attribute__((target("ssse3"))) std::size_t shuffleFour(const unsigned char* src,
                                                         std::size_t count, unsigned char* out,
                                                         std::uint32_t stride,
                                                         const std::uint32_t pos[3])
{
    alignas(16) signed char pattern[16];
    for (int i = 0; i < 16; ++i)
        pattern[i] = -1;  // zero
    for (std::uint32_t p = 0; p < 4; ++p)
        for (std::uint32_t c = 0; c < 3; ++c)
            pattern[3 * p + c] = static_cast<signed char>(stride * p + pos[c]);
    const __m128i shuffle = _mm_load_si128(reinterpret_cast<const __m128i*>(pattern));
    std::size_t done = 0;
    for (; count - done >= 6; done += 4, src += 4 * stride, out += 12) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(v, shuffle));
    }
    return done;
}

// Eight 16-bit pixels at a time become 24 bytes of blue, green, red: each
// channel's field is scaled by multiplying (see FieldScale), then the three
// rows of levels are interleaved by two byte shuffles. Reads and writes stay
// within the eight pixels; returns how many pixels were done.
// Output byte j of eight pixels' 24 is channel j % 3 of pixel j / 3: the
// shuffles that take it from the packed blue and green levels (blue in bytes
// 0-7, green in 8-15) or from the red ones (bytes 0-7); the second of each
// pair makes bytes 8 to 23.
struct EightPixelShuffles {
    alignas(16) signed char fromBg[2][16];
    alignas(16) signed char fromR[2][16];
};

constexpr EightPixelShuffles makeEightPixelShuffles()
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

// Made once, at compile time: the row functions run once a row.
constexpr EightPixelShuffles kEightPixelShuffles = makeEightPixelShuffles();

template <class Scale>
__attribute__((target("ssse3"))) std::size_t scaleEight(const unsigned char* src, std::size_t count,
                                                        unsigned char* out, bool msbFirst,
                                                        const Scale* scale)
{
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

#if defined(RASTREX_HAVE_AVX2_PATH)
// The same sixteen pixels at a time, each 128-bit half doing eight.
template <class Scale>
__attribute__((target("avx2"))) std::size_t scaleSixteen(const unsigned char* src, std::size_t count,
                                                        unsigned char* out, bool msbFirst,
                                                        const Scale* scale)
{
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

bool haveAvx2()
{
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}

bool haveAvx512Vbmi()
{
    static const bool have = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    return have;
}

struct ThirtyTwoPermutes {
    alignas(64) unsigned char swap[64];
    alignas(64) unsigned char fromLevels[2][64];
};

constexpr ThirtyTwoPermutes makeThirtyTwoPermutes()
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

// Thirty-two 16-bit pixels at a time, scaled as scaleEight() does; the
// three rows of levels are packed to bytes and interleaved by two byte
// permutes. Reads and writes stay within the pixels; returns how many were
// done.
template <class Scale>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
scaleThirtyTwo(const unsigned char* src, std::size_t count, unsigned char* out, bool msbFirst,
               const Scale* scale)
{
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

// Sixty-four 16-bit pixels at a time through the controls and table of
// PixelDecoder::makeFieldPicks(): per 64 output bytes a gathering permute, a
// multishift, a mask and a table permute. Returns how many were done.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
lookUpFieldsSixtyFour(const unsigned char* src, std::size_t count, unsigned char* out,
                      const unsigned char* picks)
{
    __m512i gather[3], shift[3], mask[3], place[3];
    for (int m = 0; m < 3; ++m) {
        gather[m] = _mm512_loadu_si512(picks + kPickGather + 64 * m);
        shift[m] = _mm512_loadu_si512(picks + kPickShift + 64 * m);
        mask[m] = _mm512_loadu_si512(picks + kPickMask + 64 * m);
        place[m] = _mm512_loadu_si512(picks + kPickBase + 64 * m);
    }
    const __m512i tableLow = _mm512_loadu_si512(picks + kPickTable);
    const __m512i tableHigh = _mm512_loadu_si512(picks + kPickTable + 64);
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

// Byte j of the output of one permute: byte pos[j % 3] of pixel j / 3.
std::array<unsigned char, 64> bytePicks(std::uint32_t stride, const std::uint32_t pos[3])
{
    std::array<unsigned char, 64> pick{};
    for (std::uint32_t j = 0; j < 3 * (64 / stride); ++j)
        pick[j] = static_cast<unsigned char>(stride * (j / 3) + pos[j % 3]);
    return pick;
}

// As many pixels of `stride` bytes (3 or 4) as 64 bytes hold at a time,
// their blue, green and red bytes picked by one byte permute; loads and
// stores are masked to the whole pixels. Returns how many were done.
// (bytePicks() makes the permute's control.)
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
permuteSixtyFourBytes(const unsigned char* src, std::size_t count, unsigned char* out,
                      std::uint32_t stride, const unsigned char* pick)
{
    const std::uint32_t pixels = 64 / stride;
    const __m512i control = _mm512_loadu_si512(pick);
    const __mmask64 in = ~0ull >> (64 - stride * pixels);
    const __mmask64 outBytes = ~0ull >> (64 - 3 * pixels);
    std::size_t done = 0;
    for (; count - done >= pixels; done += pixels, src += stride * pixels, out += 3 * pixels) {
        const __m512i v = _mm512_maskz_loadu_epi8(in, src);
        _mm512_mask_storeu_epi8(out, outBytes, _mm512_permutex2var_epi8(v, control, v));
    }
    return done;
}

struct SixtyFourPermutes {
    alignas(64) unsigned char fromBg[3][64];
    alignas(64) unsigned char fromR[3][64];
    std::uint64_t redBytes[3];
};

constexpr SixtyFourPermutes makeSixtyFourPermutes()
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

// Eight bytes of 1-bit pixels, 64 of them, at a time: each bit becomes a
// byte of 0 or 1, spread by a permute to the 192 output bytes, which take
// the colour of a set or a clear pixel. `patterns` holds, for each 64-byte
// part of the output, the bytes of clear pixels, of set ones and the
// permute's control (see bitPatterns_). Returns the bytes done.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
expandSixtyFour(const unsigned char* src, std::size_t bytes, unsigned char* out,
                const unsigned char* patterns)
{
    __m512i clear[3], set[3], pick[3];
    for (int k = 0; k < 3; ++k) {
        clear[k] = _mm512_loadu_si512(patterns + 64 * k);
        set[k] = _mm512_loadu_si512(patterns + 192 + 64 * k);
        pick[k] = _mm512_loadu_si512(patterns + 384 + 64 * k);
    }
    const __m512i one = _mm512_set1_epi8(1);
    std::size_t done = 0;
    for (; bytes - done >= 8; done += 8, src += 8, out += 192) {
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

// Sixty-four 8-bit pixels at a time through a colour table held as three
// planes of 256 levels (blue, green, red): each plane is looked up by byte
// permutes of its two halves, then the three rows of levels are interleaved
// by three more. Reads and writes stay within the pixels; returns how many
// were done.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) std::size_t
lookUpSixtyFour(const unsigned char* src, std::size_t count, unsigned char* out,
                const unsigned char* planes)
{
    __m512i table[3][4];
    for (int c = 0; c < 3; ++c)
        for (int q = 0; q < 4; ++q)
            table[c][q] = _mm512_loadu_si512(planes + 256 * c + 64 * q);
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
#endif

bool haveSsse3()
{
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}
#endif

// Pixels of `stride` bytes (3 or 4) whose blue, green and red bytes sit at
// pos[0], pos[1] and pos[2].
// `pick`, when the processor permutes bytes, is bytePicks() of them;
// `shuffle` whether it may shuffle them.
void copyBytes(const unsigned char* src, std::size_t count, unsigned char* out,
               std::uint32_t stride, const std::uint32_t pos[3], const unsigned char* pick,
               bool shuffle)
{
#if defined(RASTREX_HAVE_AVX2_PATH)
    if (count >= 16 && pick != nullptr) {
        const std::size_t done = permuteSixtyFourBytes(src, count, out, stride, pick);
        src += done * stride;
        out += done * 3;
        count -= done;
    }
#else
    (void)pick;  // no byte permutes here
#endif
#if defined(RASTREX_HAVE_SSSE3_PATH)
    if (count >= 6 && shuffle) {
        const std::size_t done = shuffleFour(src, count, out, stride, pos);
        src += done * stride;
        out += done * 3;
        count -= done;
    }
#else
    (void)shuffle;  // no byte shuffles here
#endif
    if (stride == 4 && pos[0] == 0 && pos[1] == 1 && pos[2] == 2) {
        copyBytewise<4, 0, 1, 2>(src, count, out);
        return;
    }
    for (std::size_t i = 0; i < count; ++i, src += stride, out += 3) {
        out[0] = src[pos[0]];
        out[1] = src[pos[1]];
        out[2] = src[pos[2]];
    }
}

// Looks each pixel's value up in a table of colours packed as blue | green
// << 8 | red << 16. Eight pixels' 24 bytes are put together in three 64-bit
// words and stored by three writes; of the pixels left, each but the last
// stores four bytes, overlapping the next pixel's first three, and the last
// gets its three alone.
template <class ValueAt>
void lookUpPacked(const std::uint32_t* lut, std::size_t count, unsigned char* out, ValueAt valueAt)
{
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; count - i >= 8; i += 8, out += 24) {
            std::uint64_t c[8];
            for (std::size_t k = 0; k < 8; ++k)
                c[k] = lut[valueAt(i + k)];
            const std::uint64_t w0 = c[0] | c[1] << 24 | c[2] << 48;
            const std::uint64_t w1 = c[2] >> 16 | c[3] << 8 | c[4] << 32 | c[5] << 56;
            const std::uint64_t w2 = c[5] >> 8 | c[6] << 16 | c[7] << 40;
            std::memcpy(out, &w0, 8);
            std::memcpy(out + 8, &w1, 8);
            std::memcpy(out + 16, &w2, 8);
        }
        for (; i + 1 < count; ++i, out += 3) {
            const std::uint32_t c = lut[valueAt(i)];
            std::memcpy(out, &c, 4);
        }
    }
    for (; i < count; ++i, out += 3) {
        const std::uint32_t c = lut[valueAt(i)];
        out[0] = static_cast<unsigned char>(c);
        out[1] = static_cast<unsigned char>(c >> 8);
        out[2] = static_cast<unsigned char>(c >> 16);
    }
}

}  // namespace

void PixelDecoder::decodeFullRow(const RowView& view, std::uint32_t x0, std::size_t count,
                                 unsigned char* out) const
{
    const unsigned char* row = view.plane[0];
    std::uint64_t first = std::uint64_t{l_.xOffset} + x0;
    if (!bitBytes_.empty()) {
        // One plane of 1-bit data in bytes: eight pixels a byte from a table.
        std::size_t lead = static_cast<std::size_t>((8 - first % 8) % 8);
        lead = std::min(lead, count);
        decodeEach(view, first, lead, out);
        out += 3 * lead;
        count -= lead;
        const std::size_t bytes = count / 8;
        if (!bitBytesBackwards_) {
            const unsigned char* src = row + (first + lead) / 8;
            std::size_t i = 0;
#if defined(RASTREX_HAVE_AVX2_PATH)
            if (!bitPatterns_.empty() && bytes >= 8) {
                i = expandSixtyFour(src, bytes, out, bitPatterns_.data());
                out += 24 * i;
            }
#endif
            for (; i < bytes; ++i, out += 24)
                std::memcpy(out, bitBytes_.data() + std::size_t{src[i]} * 24, 24);
        } else {
            const std::uint64_t firstByte = (first + lead) / 8;
            const std::uint32_t last = bitUnitBytes_ - 1;
            for (std::size_t i = 0; i < bytes; ++i, out += 24) {
                const std::uint64_t g = firstByte + i;
                const unsigned char b = row[(g - g % bitUnitBytes_) + (last - g % bitUnitBytes_)];
                std::memcpy(out, bitBytes_.data() + std::size_t{b} * 24, 24);
            }
        }
        decodeEach(view, first + lead + 8 * bytes, count % 8, out);
        return;
    }
    if (l_.format != PixmapFormat::kZPixmap) {
        decodeEach(view, first, count, out);
        return;
    }
    if (bytewise_) {
        if (pixelBytes_ == 3 && bytePos_[0] == 0 && bytePos_[1] == 1 && bytePos_[2] == 2)
            std::memcpy(out, row + first * 3, 3 * count);
        else
            copyBytes(row + first * pixelBytes_, count, out, pixelBytes_, bytePos_.data(),
                      bytePick_.empty() ? nullptr : bytePick_.data(), paths_ >= RowPaths::kSsse3);
        return;
    }
    const std::uint32_t* lut = packedLut_.data();
    if (l_.bitsPerPixel == 8 && lut != nullptr) {
        const unsigned char* src = row + first;
#if defined(RASTREX_HAVE_AVX2_PATH)
        if (!levelPlanes_.empty() && count >= 64) {
            const std::size_t done = lookUpSixtyFour(src, count, out, levelPlanes_.data());
            src += done;
            out += 3 * done;
            count -= done;
        }
#endif
        lookUpPacked(lut, count, out, [src](std::size_t i) { return src[i]; });
        return;
    }
    if (l_.bitsPerPixel == 16) {
        const unsigned char* src = row + 2 * first;
#if defined(RASTREX_HAVE_AVX2_PATH)
        if (!fieldPicks_.empty() && count >= 64) {
            const std::size_t done = lookUpFieldsSixtyFour(src, count, out, fieldPicks_.data());
            src += 2 * done;
            out += 3 * done;
            count -= done;
            first += done;
        }
#endif
#if defined(RASTREX_HAVE_SSSE3_PATH)
        if (scaled16_ && count >= 8 && paths_ >= RowPaths::kSsse3) {
            std::size_t done = 0;
#if defined(RASTREX_HAVE_AVX2_PATH)
            if (count >= 32 && paths_ >= RowPaths::kAvx512Vbmi)
                done = scaleThirtyTwo(src, count, out, l_.msbByteFirst, scale16_.data());
            if (count - done >= 16 && paths_ >= RowPaths::kAvx2)
                done += scaleSixteen(src + 2 * done, count - done, out + 3 * done, l_.msbByteFirst,
                                     scale16_.data());
#endif
            done += scaleEight(src + 2 * done, count - done, out + 3 * done, l_.msbByteFirst,
                               scale16_.data());
            src += 2 * done;
            out += 3 * done;
            count -= done;
            first += done;
        }
#endif
        if (lut == nullptr)
            decodeEach(view, first, count, out);
        else if (l_.msbByteFirst)
            lookUpPacked(lut, count, out, [src](std::size_t i) {
                return (std::uint32_t{src[2 * i]} << 8) | src[2 * i + 1];
            });
        else
            lookUpPacked(lut, count, out, [src](std::size_t i) {
                return (std::uint32_t{src[2 * i + 1]} << 8) | src[2 * i];
            });
        return;
    }
    decodeEach(view, first, count, out);
}

// Pixel by pixel, from pixel `first` counted from the start of the row.
void PixelDecoder::decodeEach(const RowView& view, std::uint64_t first, std::size_t count,
                              unsigned char* out) const
{
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        std::uint32_t v = 0;
        if (l_.format == PixmapFormat::kZPixmap) {
            v = pixelValue(view.plane[0], first + i);
        } else {
            for (std::uint32_t k = 0; k < l_.planes; ++k)
                v = (v << 1) | (bitAt(view.plane[k], first + i) ? 1u : 0u);
        }
        const Bgr c = lut_.empty() ? colourOf(v) : lut_[v];
        out[0] = c.b;
        out[1] = c.g;
        out[2] = c.r;
    }
}

void PixelDecoder::decodeRow(const RowView& row, std::uint32_t x0, std::size_t count,
                             unsigned char* out) const
{
    if (count == 0)
        return;
    const std::uint64_t first = std::uint64_t{l_.xOffset} + x0;
    if (segmentEnd(first + count - 1) <= row.present) {
        decodeFullRow(row, x0, count, out);
        return;
    }
    // The pixel area ends in this row (or before it): pixel by pixel.
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        if (pixelEnd(first + i) <= row.present)
            decodeFullRow(row, static_cast<std::uint32_t>(x0 + i), 1, out);
        else
            out[0] = out[1] = out[2] = 0;
    }
}

RowPaths processorRowPaths()
{
    static const RowPaths have = [] {
#if defined(RASTREX_HAVE_AVX2_PATH)
        if (haveAvx512Vbmi())
            return RowPaths::kAvx512Vbmi;
        if (haveAvx2())
            return RowPaths::kAvx2;
#endif
#if defined(RASTREX_HAVE_SSSE3_PATH)
        if (haveSsse3())
            return RowPaths::kSsse3;
#endif
        return RowPaths::kPlain;
    }();
    return have;
}

void capRowPaths(RowPaths cap)
{
    rowPathCap.store(cap, std::memory_order_relaxed);
}

}  // namespace rastrex
