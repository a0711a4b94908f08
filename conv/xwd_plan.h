// The first step of a conversion: the whole header and the colour map are
// read and checked, before any pixel is read or any memory is allocated for
// one, and either a result code or a plan of the dump comes out.
#pragma once

#include <cstdint>
#include <optional>

#include "input_file.h"
#include "xwd_layout.h"

namespace rastrex {

// The bytes of each row (of each plane's row) that hold its pixels: the
// first `skip` bytes hold only pixels before the x offset, and `used` bytes
// from there hold every pixel of the row. The rest is padding.
struct RowSpan {
    std::uint64_t skip = 0;
    std::uint64_t used = 0;
};

struct DumpPlan {
    // How the pixels are laid out; its x offset counts from the first byte
    // of the row's span, not from the start of the row.
    PixelLayout layout;
    RowSpan span;
    // The stored colour entries when the layout is the one the header
    // describes; empty for the plain reading.
    ByteBlock colourMap;
    // Where the pixel area starts in the file.
    std::uint64_t pixelStart = 0;
    // How many bytes of the pixel area the file holds, when it is a regular
    // file (which can then be read by offset); nothing for a stream that
    // must be read to its end to tell.
    std::optional<std::uint64_t> areaInFile;
    // Why the dump was refused, or why its layout words were not read (the
    // plain reading); fault None when neither.
    HeaderRefusal refusal;
    // The colour map the header describes runs past the end of the file:
    // the layout is the plain reading's, and nothing is there of the pixel
    // area the header announces.
    bool mapCut = false;
    // Bytes of the pixel area the header announces, with its own layout
    // even when the map is cut; UINT64_MAX when that does not fit.
    std::uint64_t announcedArea = 0;
};

// A dump holding less than one part in this many of its pixel area is not
// worth converting: its bitmap is nearly all black and may be thousands of
// times the dump's size.
inline constexpr std::uint64_t kMinPresentShare = 100;

// Whether `present` bytes of a pixel area of `announced` bytes are less than
// one part in kMinPresentShare of it (rounded up, so that no smaller share
// passes).
bool holdsTooLittle(std::uint64_t present, std::uint64_t announced);

// Bytes of the pixel area that hold every pixel: all of it but the padding
// after the pixels of the last plane's last row, which nothing reads. A
// dump lacking only that padding is whole.
std::uint64_t neededAreaBytes(const DumpPlan& plan);

// Reads the header, window name and colour map of `in`, which is left at
// the start of the pixel area; RASTREX_OK and the plan, or the result code
// of the call.
std::int32_t planDump(InputFile& in, DumpPlan& plan);

}  // namespace rastrex
