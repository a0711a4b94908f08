// The plain row kernels: every processor's, and the end of every row that
// the wide kernels leave.
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

}  // namespace

void copyBytes(const unsigned char* src, std::size_t count, unsigned char* out,
               std::uint32_t stride, const std::uint32_t pos[3])
{
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

void lookUpColours8(const std::uint32_t* colours, const unsigned char* src, std::size_t count,
                    unsigned char* out)
{
    lookUpPacked(colours, count, out, [src](std::size_t i) { return src[i]; });
}

void lookUpColours16(const std::uint32_t* colours, const unsigned char* src, std::size_t count,
                     unsigned char* out, bool msbFirst)
{
    if (msbFirst)
        lookUpPacked(colours, count, out, [src](std::size_t i) { return loadBe16(src + 2 * i); });
    else
        lookUpPacked(colours, count, out, [src](std::size_t i) { return loadLe16(src + 2 * i); });
}

void expandBits(const unsigned char* bitBytes, const unsigned char* src, std::size_t bytes,
                unsigned char* out)
{
    for (std::size_t i = 0; i < bytes; ++i, out += 24)
        std::memcpy(out, bitBytes + std::size_t{src[i]} * 24, 24);
}

void expandBitsBackwards(const unsigned char* bitBytes, const unsigned char* row,
                         std::uint64_t firstByte, std::size_t bytes, std::uint32_t unitBytes,
                         unsigned char* out)
{
    const std::uint32_t last = unitBytes - 1;
    for (std::size_t i = 0; i < bytes; ++i, out += 24) {
        const std::uint64_t g = firstByte + i;
        const unsigned char b = row[(g - g % unitBytes) + (last - g % unitBytes)];
        std::memcpy(out, bitBytes + std::size_t{b} * 24, 24);
    }
}

}  // namespace rastrex
