// The plain row kernels: the last rung of every ladder, every processor's,
// and the end of every row that the wide kernels leave.
#include <bit>
#include <cstring>

#include "byte_order.h"
#include "row_kernels.h"

namespace rastrex {

namespace {

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

// Scales one channel of a 16-bit pixel as the wide kernels do.
unsigned char scaleField(std::uint32_t pixel, const FieldScale& s)
{
    const std::uint32_t field = (pixel >> s.shift) & s.mask;
    return static_cast<unsigned char>(((field * 255 + s.half) * s.magic) >> (16 + s.post));
}

}  // namespace

std::size_t copyThreePlain(const unsigned char* src, std::size_t count, unsigned char* out,
                           const void*)
{
    std::memcpy(out, src, 3 * count);
    return count;
}

std::size_t copyFourPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                          const void*)
{
    copyBytewise<4, 0, 1, 2>(src, count, out);
    return count;
}

std::size_t copyBytesPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                           const void* tables)
{
    const ByteCopyTables& t = *static_cast<const ByteCopyTables*>(tables);
    for (std::size_t i = 0; i < count; ++i, src += t.stride, out += 3) {
        out[0] = src[t.pos[0]];
        out[1] = src[t.pos[1]];
        out[2] = src[t.pos[2]];
    }
    return count;
}

std::size_t lookUpColours8Plain(const unsigned char* src, std::size_t count, unsigned char* out,
                                const void* tables)
{
    const std::uint32_t* colours = static_cast<const ColourTables*>(tables)->colours;
    lookUpPacked(colours, count, out, [src](std::size_t i) { return src[i]; });
    return count;
}

std::size_t lookUpColours16LsbPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                                    const void* tables)
{
    const std::uint32_t* colours = static_cast<const ColourTables*>(tables)->colours;
    lookUpPacked(colours, count, out, [src](std::size_t i) { return loadLe16(src + 2 * i); });
    return count;
}

std::size_t lookUpColours16MsbPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                                    const void* tables)
{
    const std::uint32_t* colours = static_cast<const ColourTables*>(tables)->colours;
    lookUpPacked(colours, count, out, [src](std::size_t i) { return loadBe16(src + 2 * i); });
    return count;
}

std::size_t expandBitsPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                            const void* tables)
{
    const unsigned char* bytes = static_cast<const BitByteTables*>(tables)->bytes;
    for (std::size_t i = 0; i < count; ++i, out += 24)
        std::memcpy(out, bytes + std::size_t{src[i]} * 24, 24);
    return count;
}

std::size_t expandBitsBackwardsPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                                     const void* tables)
{
    const BitByteTables& t = *static_cast<const BitByteTables*>(tables);
    const std::uint32_t unit = t.unitBytes, last = unit - 1;
    for (std::size_t i = 0; i < count; ++i, out += 24) {
        const unsigned char b = src[(i - i % unit) + (last - i % unit)];
        std::memcpy(out, t.bytes + std::size_t{b} * 24, 24);
    }
    return count;
}

std::size_t scaleEachPlain(const unsigned char* src, std::size_t count, unsigned char* out,
                           const void* tables)
{
    const ScaleTables& t = *static_cast<const ScaleTables*>(tables);
    for (std::size_t i = 0; i < count; ++i, src += 2, out += 3) {
        const std::uint32_t pixel = t.msbFirst ? loadBe16(src) : loadLe16(src);
        for (std::size_t c = 0; c < 3; ++c)
            out[c] = scaleField(pixel, t.channel[c]);
    }
    return count;
}

}  // namespace rastrex
