// fnRastrex: converts one X Window dump into a 24-bit bottom-up bitmap,
// decoding the pixels as the header describes them (or, when its layout
// words describe nothing real, as 32-bit units of blue, green and red after
// 256 colour entries). Three steps, top to bottom: the plan of the dump from
// its header and colour map; a source of its rows; the writer of the bitmap.
#include "rastrex.h"

#include <algorithm>
#include <new>

#include "bmp_writer.h"
#include "input_file.h"
#include "pixel_rows.h"
#include "system_error.h"
#include "xwd_decoder.h"
#include "xwd_plan.h"

namespace rastrex {
namespace {

// Writes the rows of the picture, bottom row first, as `rows` delivers them;
// pixels the file lacks are black. Stops at the first failed write.
template <class Rows>
void writeRows(BmpOutput& out, const PixelDecoder& decoder, Rows& rows, std::uint32_t width,
               std::uint32_t height)
{
    const std::size_t padding = bmpRowPadding(width);
    for (std::uint32_t r = height; r-- > 0 && !out.failed();) {
        const RowView row = rows.row(r);
        for (std::uint32_t done = 0; done < width;) {
            std::size_t n = 0;
            unsigned char* dst = out.reservePixels(width - done, n);
            decoder.decodeRow(row, done, n, dst);
            out.commitPixels(n);
            done += static_cast<std::uint32_t>(n);
        }
        out.putZeros(padding);
    }
}

// Writes the bitmap from `rows`, once they are known to hold a pixel; the
// result of the call, with the system's error in `error` when the bitmap
// could not be written. The dump is closed before the bitmap takes its
// place, which may be the dump's own.
template <class Rows>
std::int32_t writeBitmap(const char* bmpPath, const DumpPlan& plan, const PixelDecoder& decoder,
                         Rows& rows, InputFile& in, int& error)
{
    if (!rows.isReady())
        return RASTREX_ERR_NO_MEMORY;
    const std::uint64_t available = rows.available();
    if (available < plan.span.skip || !decoder.firstPixelPresent(available - plan.span.skip))
        return RASTREX_ERR_READ_INPUT;

    BmpOutput out(bmpPath);
    if (!out.isOpen()) {
        error = out.error();
        return RASTREX_ERR_WRITE_OUTPUT;
    }
    const std::uint32_t width = plan.layout.width;
    const std::uint32_t height = plan.layout.height;
    unsigned char bmpHeader[kBmpHeaderBytes];
    fillBmpHeader(bmpHeader, width, height);
    out.put(bmpHeader, sizeof bmpHeader);
    writeRows(out, decoder, rows, width, height);
    in.close();
    if (out.finish())
        return RASTREX_OK;
    error = out.error();
    return RASTREX_ERR_WRITE_OUTPUT;
}

// The result of the call; `error` is set with RASTREX_ERR_OPEN_INPUT and
// RASTREX_ERR_WRITE_OUTPUT.
std::int32_t convert(const char* xwdPath, const char* bmpPath, int& error)
{
    InputFile in(xwdPath);
    if (!in.isOpen()) {
        error = in.openError();
        return RASTREX_ERR_OPEN_INPUT;
    }

    DumpPlan plan;
    if (const std::int32_t result = planDump(in, plan); result != RASTREX_OK)
        return result;
    const PixelDecoder decoder(plan.layout, plan.colourMap.data.get());
    plan.colourMap = {};

    // A regular file is read by offset in bands while the bitmap is written:
    // nothing holds the whole picture.
    if (plan.areaInFile) {
        StreamRows rows(in, plan);
        return writeBitmap(bmpPath, plan, decoder, rows, in, error);
    }
    // Any other stream is read to its end first, keeping the pixel bytes of
    // each row; a short pixel area is padded with black when the rows are
    // written, not in memory.
    HeldRows rows(plan);
    if (!rows.fill(in))
        return RASTREX_ERR_NO_MEMORY;
    in.close();
    return writeBitmap(bmpPath, plan, decoder, rows, in, error);
}

}  // namespace
}  // namespace rastrex

extern "C" RASTREX_API std::int32_t RASTREX_CALL fnRastrex(const char* xwd_path,
                                                           const char* bmp_path)
{
    if (xwd_path == nullptr || bmp_path == nullptr) {
        rastrex::setSystemError(rastrex::kBadPathError);
        return xwd_path == nullptr ? RASTREX_ERR_OPEN_INPUT : RASTREX_ERR_WRITE_OUTPUT;
    }
    int error = 0;
    std::int32_t result;
    try {
        result = rastrex::convert(xwd_path, bmp_path, error);
    } catch (const std::bad_alloc&) {
        result = RASTREX_ERR_NO_MEMORY;
    } catch (...) {
        // No exception may cross the C boundary.
        result = RASTREX_ERR_WRITE_OUTPUT;
    }
    // Set once every file of the call is closed, which may change it.
    if (result == RASTREX_ERR_OPEN_INPUT || result == RASTREX_ERR_WRITE_OUTPUT)
        rastrex::setSystemError(error != 0 ? error : rastrex::kUnknownError);
    return result;
}
