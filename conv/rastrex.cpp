// fnRastrex: reads one X Window dump whole, then writes it as a 24-bit
// bottom-up bitmap.
#include "rastrex.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "bmp_writer.h"
#include "input_file.h"
#include "xwd_header.h"

namespace rastrex {
namespace {

// The window name is read into an area of this size; a longer one is
// skipped without being stored.
constexpr std::size_t kWindowNameArea = 128;
// The colour map skipped before the pixels: 256 entries of 12 bytes.
constexpr std::uint64_t kColormapBytes = 256 * 12;
// Each pixel is a 4-byte unit: blue, green, red, unused.
constexpr std::uint64_t kUnitBytes = 4;
// A pixel block must have a size that fits in 32 bits, and so must each of
// the dimensions (the bitmap header stores them as signed 32-bit values).
constexpr std::uint64_t kMaxBlockBytes = UINT32_MAX;
constexpr std::uint32_t kMaxDimension = INT32_MAX;

// Writes the rows of a picture held as `available` units of 4 bytes, the top
// row first; units past `available` are black.
void writeRows(BmpOutput& out, const unsigned char* units, std::uint64_t available,
               std::uint32_t width, std::uint32_t height)
{
    constexpr std::size_t kChunkPixels = BmpOutput::bufferCapacity() / 3;
    const std::size_t padding = bmpRowPadding(width);
    for (std::uint32_t r = height; r-- > 0;) {
        const std::uint64_t first = std::uint64_t{r} * width;
        const std::uint64_t present =
            available > first ? std::min<std::uint64_t>(available - first, width) : 0;
        const unsigned char* src = units + first * kUnitBytes;
        for (std::uint64_t done = 0; done < present;) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<std::uint64_t>(kChunkPixels, present - done));
            unsigned char* dst = out.reserve(3 * n);
            for (std::size_t i = 0; i < n; ++i, src += kUnitBytes, dst += 3) {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
            out.commit(3 * n);
            done += n;
        }
        out.putZeros(static_cast<std::size_t>(3 * (width - present)) + padding);
    }
}

std::int32_t convert(const char* xwdPath, const char* bmpPath)
{
    InputFile in(xwdPath);
    if (!in.isOpen())
        return RASTREX_ERR_OPEN_INPUT;

    unsigned char headerBytes[kXwdHeaderBytes];
    if (in.read(headerBytes, kXwdHeaderBytes, 1) != 1)
        return RASTREX_ERR_READ_INPUT;
    const XwdHeader header = decodeXwdHeader(headerBytes);

    // The window name follows the header; its length is the header size
    // less the 100 fixed bytes, and at least one byte of it must be there.
    const std::uint32_t headerSize = header[kHeaderSize];
    if (headerSize <= kXwdHeaderBytes)
        return RASTREX_ERR_READ_INPUT;
    const std::uint64_t nameBytes = headerSize - kXwdHeaderBytes;
    std::uint64_t nameRead;
    if (nameBytes <= kWindowNameArea) {
        unsigned char name[kWindowNameArea];
        nameRead = in.read(name, 1, static_cast<std::size_t>(nameBytes));
    } else {
        nameRead = in.skip(nameBytes);
    }
    if (nameRead == 0)
        return RASTREX_ERR_READ_INPUT;

    // A short colour map is no error: the pixel read below then finds nothing.
    in.skip(kColormapBytes);

    const std::uint32_t width = header[kPixmapWidth];
    const std::uint32_t height = header[kPixmapHeight];
    if (width > kMaxDimension || height > kMaxDimension)
        return RASTREX_ERR_NO_MEMORY;
    const std::uint64_t units = std::uint64_t{width} * height;
    if (units > kMaxBlockBytes / kUnitBytes || bmpFileSize(width, height) == 0)
        return RASTREX_ERR_NO_MEMORY;
    if (units == 0)
        return RASTREX_ERR_READ_INPUT;

    // Hold no more than the file can deliver: a short pixel area is padded
    // with black when the rows are written, not in memory.
    const std::uint64_t wanted = std::min(units, in.remaining() / kUnitBytes);
    if (wanted == 0)
        return RASTREX_ERR_READ_INPUT;
    std::unique_ptr<unsigned char[]> block(
        new (std::nothrow) unsigned char[static_cast<std::size_t>(wanted * kUnitBytes)]);
    if (!block)
        return RASTREX_ERR_NO_MEMORY;
    const std::uint64_t available =
        in.read(block.get(), kUnitBytes, static_cast<std::size_t>(wanted));
    if (available == 0)
        return RASTREX_ERR_READ_INPUT;
    in.close();

    BmpOutput out(bmpPath);
    if (!out.isOpen())
        return RASTREX_ERR_WRITE_OUTPUT;
    unsigned char bmpHeader[kBmpHeaderBytes];
    fillBmpHeader(bmpHeader, width, height);
    out.put(bmpHeader, sizeof bmpHeader);
    writeRows(out, block.get(), available, width, height);
    block.reset();
    return out.finish() ? RASTREX_OK : RASTREX_ERR_WRITE_OUTPUT;
}

}  // namespace
}  // namespace rastrex

extern "C" RASTREX_API std::int32_t RASTREX_CALL fnRastrex(const char* xwd_path,
                                                           const char* bmp_path)
{
    if (xwd_path == nullptr)
        return RASTREX_ERR_OPEN_INPUT;
    if (bmp_path == nullptr)
        return RASTREX_ERR_WRITE_OUTPUT;
    try {
        return rastrex::convert(xwd_path, bmp_path);
    } catch (const std::bad_alloc&) {
        return RASTREX_ERR_NO_MEMORY;
    } catch (...) {
        // std::filesystem or stdio wrappers may throw; no exception may
        // cross the C boundary.
        return RASTREX_ERR_WRITE_OUTPUT;
    }
}
