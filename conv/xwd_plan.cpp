#include "xwd_plan.h"

#include <algorithm>
#include <utility>

#include "bmp_writer.h"
#include "rastrex.h"
#include "xwd_header.h"
#include "xwd_limits.h"

namespace rastrex {

namespace {

// Moves the x offset of `l` to the first byte of each row that holds a
// pixel, and tells which bytes of a row hold pixels. Rows are cut in steps
// that keep every pixel's place within its step: whole units for 1-bit
// data, pairs of pixels for 4-bit data, single pixels otherwise.
RowSpan trimRows(PixelLayout& l)
{
    std::uint64_t pixelsPerStep = 1;
    std::uint64_t bytesPerStep = l.bitsPerPixel / 8;
    if (l.bitsPerPixel == 1) {
        pixelsPerStep = l.unitBits;
        bytesPerStep = l.unitBits / 8;
    } else if (l.bitsPerPixel == 4) {
        pixelsPerStep = 2;
        bytesPerStep = 1;
    }
    const std::uint64_t steps = l.xOffset / pixelsPerStep;
    l.xOffset = static_cast<std::uint32_t>(l.xOffset - steps * pixelsPerStep);
    const std::uint64_t last = std::uint64_t{l.xOffset} + l.width - 1;  // width >= 1
    return {steps * bytesPerStep, (last / pixelsPerStep + 1) * bytesPerStep};
}

}  // namespace

std::int32_t planDump(InputFile& in, DumpPlan& plan)
{
    const auto refuse = [&plan](std::int32_t result, HeaderFault fault, std::uint64_t value = 0,
                                std::uint64_t other = 0) {
        plan.refusal = {fault, value, other, 0};
        return result;
    };
    unsigned char headerBytes[kXwdHeaderBytes];
    if (in.read(headerBytes, kXwdHeaderBytes) != kXwdHeaderBytes)
        return refuse(RASTREX_ERR_READ_INPUT, HeaderFault::ShortHeader);
    const XwdHeader header = decodeXwdHeader(headerBytes);

    // The window name follows the header; its length is the header size
    // less the 100 fixed bytes. A header size of exactly 100 means no name
    // at all; a longer one needs at least one byte of its name to be there.
    const std::uint32_t headerSize = header[kHeaderSize];
    if (headerSize < kXwdHeaderBytes)
        return refuse(RASTREX_ERR_READ_INPUT, HeaderFault::HeaderSize, headerSize);
    const std::uint64_t nameBytes = headerSize - kXwdHeaderBytes;
    if (nameBytes > kMaxWindowNameBytes)
        return refuse(RASTREX_ERR_READ_INPUT, HeaderFault::LongName, nameBytes);
    if (nameBytes != 0 && in.skip(nameBytes) == 0)
        return refuse(RASTREX_ERR_READ_INPUT, HeaderFault::NoName);

    const std::uint32_t width = header[kPixmapWidth];
    const std::uint32_t height = header[kPixmapHeight];
    if (width > kMaxDimension || height > kMaxDimension)
        return refuse(RASTREX_ERR_NO_MEMORY, HeaderFault::LongSide, width, height);
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (pixels > kMaxPixels)
        return refuse(RASTREX_ERR_NO_MEMORY, HeaderFault::TooManyPixels, width, height);
    if (bmpFileSize(width, height) == 0)
        return refuse(RASTREX_ERR_NO_MEMORY, HeaderFault::BitmapTooLarge, width, height);
    if (pixels == 0)
        return refuse(RASTREX_ERR_READ_INPUT, HeaderFault::Empty, width, height);

    // The colour map: as many entries as the header says were stored, when
    // it describes a layout (at most kMaxColourEntries); 256 skipped ones for
    // the plain reading.
    std::optional<PixelLayout> described = describeLayout(header, &plan.refusal);
    if (described) {
        const std::uint64_t mapBytes = std::uint64_t{described->colourEntries} * kColourEntryBytes;
        if (!in.readBlock(mapBytes, plan.colourMap))
            return RASTREX_ERR_NO_MEMORY;
        if (plan.colourMap.size < mapBytes) {
            plan.refusal = {HeaderFault::ColourMapPastEnd, described->colourEntries, 0, 0};
            // The map runs past the end of the file: read it the plain way.
            // The file has ended, so what follows the 256 entries the plain
            // reading skips is already here; it goes back to the stream.
            plan.mapCut = true;
            plan.announcedArea = described->areaBytes();
            described.reset();
            in.unread(std::move(plan.colourMap), std::uint64_t{kPlainColourEntries} * kColourEntryBytes);
            plan.colourMap = {};
        }
    } else {
        in.skip(std::uint64_t{kPlainColourEntries} * kColourEntryBytes);  // a short map is no error
    }
    plan.layout = described ? *described : plainLayout(width, height);
    plan.span = trimRows(plan.layout);
    if (!plan.mapCut)
        plan.announcedArea = plan.layout.areaBytes();

    plan.pixelStart = in.position();
    if (const std::optional<std::uint64_t> size = in.regularSize()) {
        const std::uint64_t left = *size > plan.pixelStart ? *size - plan.pixelStart : 0;
        plan.areaInFile = std::min(left, plan.layout.areaBytes());
    }
    return RASTREX_OK;
}

bool holdsTooLittle(std::uint64_t present, std::uint64_t announced)
{
    const std::uint64_t least = announced / kMinPresentShare + (announced % kMinPresentShare != 0 ? 1 : 0);
    return present < least;
}

std::uint64_t neededAreaBytes(const DumpPlan& plan)
{
    // The padding is less than a row, so less than the area.
    return plan.layout.areaBytes() - (plan.layout.bytesPerLine - plan.span.skip - plan.span.used);
}

}  // namespace rastrex
