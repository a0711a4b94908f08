// A small picture of a dump for file managers: the dump is read as the
// library reads it for a conversion, and each row is shrunk as it is
// decoded, every thumbnail pixel the average of the dump's pixels under it
// (so that a 1-bit dump's fine patterns come out grey). The work and memory
// are bounded by the thumbnail's size and the bytes the dump holds, not by
// what its header claims: rows and columns past the end of the dump are
// black without being decoded. Not part of the library's interface.
#pragma once

#include <cstdint>
#include <vector>

#include "header_refusal.h"
#include "input_file.h"

namespace rastrex {

struct Thumbnail {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // The dump's own size.
    std::uint32_t sourceWidth = 0;
    std::uint32_t sourceHeight = 0;
    // Rows of blue, green, red bytes, top row first, no padding.
    std::vector<unsigned char> bgr;
};

// The size of the thumbnail of a `width` x `height` picture that fits a
// `box` x `box` square and keeps the picture's proportions (rounded, at
// least 1 x 1); never larger than the picture.
void thumbnailSize(std::uint32_t width, std::uint32_t height, std::uint32_t box,
                   std::uint32_t& outWidth, std::uint32_t& outHeight);

// A stream that cannot be read by offset is read from the front: the rows
// of a one-plane dump (ZPixmap, or XY of depth 1) are shrunk as they
// arrive, top row first, in a row's memory. A planar dump's pixels need a
// bit of every plane, which come one plane after another: such a dump is
// held in memory while it is read, up to this many bytes of pixel area; one
// announcing more is refused (RASTREX_ERR_NO_MEMORY).
inline constexpr std::uint64_t kMaxHeldThumbnailBytes = std::uint64_t{64} << 20;

// The result of makeThumbnail for a dump that holds less than 1% of the
// pixel area its header announces (none of it when its colour map is cut),
// which the front ends do not convert: its thumbnail would be a black
// square. Not one of fnRastrex's codes.
inline constexpr std::int32_t kThumbnailTooLittle = 100;

// The thumbnail of the dump `in` that fits a `box` x `box` square (box at
// least 1): RASTREX_OK, kThumbnailTooLittle, or the result code fnRastrex
// would give for the dump (RASTREX_ERR_READ_INPUT for a dump without one
// whole pixel, RASTREX_ERR_NO_MEMORY for sizes no buffer holds); `why`, when
// given, holds the plan's refusal: why the dump was refused, or why its
// layout words were not read.
std::int32_t makeThumbnail(InputFile& in, std::uint32_t box, Thumbnail& out, HeaderRefusal* why = nullptr);

// The same for the dump at `path` (an 8-bit path as fnRastrex takes it);
// RASTREX_ERR_OPEN_INPUT, with the system's error in `error`, when it does
// not open.
std::int32_t makeThumbnail(const char* path, std::uint32_t box, Thumbnail& out, int& error,
                           HeaderRefusal* why = nullptr);

}  // namespace rastrex
