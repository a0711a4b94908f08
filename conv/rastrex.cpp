// fnRastrex: reads one X Window dump whole, then writes it as a 24-bit
// bottom-up bitmap, decoding the pixels as the header describes them (or, when
// its layout words describe nothing real, as 32-bit units of blue, green and
// red after 256 colour entries).
#include "rastrex.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "bmp_writer.h"
#include "input_file.h"
#include "pixel_rows.h"
#include "xwd_decoder.h"
#include "xwd_header.h"
#include "xwd_layout.h"

namespace rastrex {
namespace {

// The window name is read into an area of this size; a longer one is
// skipped without being stored.
constexpr std::size_t kWindowNameArea = 128;
// The bitmap stores 3 bytes for each pixel that the plain reading keeps in a
// 4-byte unit; the limits on the dimensions come from that reading.
constexpr std::uint64_t kUnitBytes = 4;
// A pixel block must have a size that fits in 32 bits, and so must each of
// the dimensions (the bitmap header stores them as signed 32-bit values).
constexpr std::uint64_t kMaxBlockBytes = UINT32_MAX;
constexpr std::uint32_t kMaxDimension = INT32_MAX;

// Writes the rows of the picture, bottom row first, as `rows` delivers them;
// pixels the file lacks are black.
template <class Rows>
void writeRows(BmpOutput& out, const PixelDecoder& decoder, Rows& rows, std::uint32_t width,
               std::uint32_t height)
{
    constexpr std::size_t kChunkPixels = BmpOutput::bufferCapacity() / 3;
    const std::size_t padding = bmpRowPadding(width);
    for (std::uint32_t r = height; r-- > 0;) {
        const RowView row = rows.row(r);
        for (std::uint32_t done = 0; done < width;) {
            const std::size_t n = std::min<std::size_t>(kChunkPixels, width - done);
            unsigned char* dst = out.reserve(3 * n);
            decoder.decodeRow(row, done, n, dst);
            out.commit(3 * n);
            done += static_cast<std::uint32_t>(n);
        }
        out.putZeros(padding);
    }
}

// Opens the bitmap and writes it whole; the result of the call.
template <class Rows>
std::int32_t writeBitmap(const char* bmpPath, const PixelDecoder& decoder, Rows& rows,
                         std::uint32_t width, std::uint32_t height)
{
    BmpOutput out(bmpPath);
    if (!out.isOpen())
        return RASTREX_ERR_WRITE_OUTPUT;
    unsigned char bmpHeader[kBmpHeaderBytes];
    fillBmpHeader(bmpHeader, width, height);
    out.put(bmpHeader, sizeof bmpHeader);
    writeRows(out, decoder, rows, width, height);
    return out.finish() ? RASTREX_OK : RASTREX_ERR_WRITE_OUTPUT;
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
    // less the 100 fixed bytes. A header size of exactly 100 means no name
    // at all; a longer one needs at least one byte of its name to be there.
    const std::uint32_t headerSize = header[kHeaderSize];
    if (headerSize < kXwdHeaderBytes)
        return RASTREX_ERR_READ_INPUT;
    const std::uint64_t nameBytes = headerSize - kXwdHeaderBytes;
    std::uint64_t nameRead;
    if (nameBytes == 0) {
        nameRead = 0;
    } else if (nameBytes <= kWindowNameArea) {
        unsigned char name[kWindowNameArea];
        nameRead = in.read(name, 1, static_cast<std::size_t>(nameBytes));
    } else {
        nameRead = in.skip(nameBytes);
    }
    if (nameBytes != 0 && nameRead == 0)
        return RASTREX_ERR_READ_INPUT;

    const std::uint32_t width = header[kPixmapWidth];
    const std::uint32_t height = header[kPixmapHeight];
    if (width > kMaxDimension || height > kMaxDimension)
        return RASTREX_ERR_NO_MEMORY;
    const std::uint64_t units = std::uint64_t{width} * height;
    if (units > kMaxBlockBytes / kUnitBytes || bmpFileSize(width, height) == 0)
        return RASTREX_ERR_NO_MEMORY;

    if (units == 0)
        return RASTREX_ERR_READ_INPUT;

    // The colour map: as many entries as the header says were stored, when
    // it describes a layout; 256 skipped ones for the plain reading.
    std::optional<PixelLayout> described = describeLayout(header);
    ByteBlock colourMap;
    ByteBlock pixels;
    std::uint64_t pixelStart = 0;  // where the pixel area begins in `pixels`
    if (described) {
        const std::uint64_t mapBytes = std::uint64_t{described->colourEntries} * kColourEntryBytes;
        if (!in.readBlock(mapBytes, colourMap))
            return RASTREX_ERR_NO_MEMORY;
        if (colourMap.size < mapBytes) {
            // The map runs past the end of the file: read it the plain way.
            // The file has ended, so what follows the 256 entries the plain
            // reading skips is already here.
            described.reset();
            pixels = std::move(colourMap);
            pixelStart = std::min<std::uint64_t>(pixels.size, kPlainColourEntries * kColourEntryBytes);
        }
    } else {
        in.skip(std::uint64_t{kPlainColourEntries} * kColourEntryBytes);  // a short map is no error
    }
    const PixelLayout layout = described ? *described : plainLayout(width, height);

    const std::uint64_t areaBytes = layout.areaBytes();

    // When the dump is a regular file other than the bitmap, its rows are
    // read in bands while the bitmap is written: nothing holds the whole
    // picture. The bitmap is created only once the dump is known to hold a
    // pixel, as when the area is read first.
    if (!pixels.data && StreamRows::fits(layout) && in.readableWhileWriting(bmpPath)) {
        const std::uint64_t start = in.position();
        const std::uint64_t left = in.remaining();
        if (left != UINT64_MAX) {
            const PixelDecoder decoder(layout, described ? colourMap.data.get() : nullptr);
            colourMap.data.reset();
            const std::uint64_t available = std::min(areaBytes, left);
            if (!decoder.firstPixelPresent(available))
                return RASTREX_ERR_READ_INPUT;
            StreamRows rows(in, start, available, layout);
            if (!rows.isReady())
                return RASTREX_ERR_NO_MEMORY;
            return writeBitmap(bmpPath, decoder, rows, width, height);
        }
    }

    // Otherwise the area is read whole first, holding no more than the file
    // delivers: a short pixel area is padded with black when the rows are
    // written, not in memory.
    if (!pixels.data && !in.readBlock(areaBytes, pixels))
        return RASTREX_ERR_NO_MEMORY;
    in.close();
    const unsigned char* area = pixels.data ? pixels.data.get() + pixelStart : nullptr;
    const std::uint64_t available = std::min(pixels.size - pixelStart, areaBytes);

    const PixelDecoder decoder(layout, described ? colourMap.data.get() : nullptr);
    colourMap.data.reset();
    if (!decoder.firstPixelPresent(available))
        return RASTREX_ERR_READ_INPUT;
    BlockRows rows(layout, area, available);
    return writeBitmap(bmpPath, decoder, rows, width, height);
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
