// What a dump holds of the pixels its header announces, told before it is
// converted. The library writes a bitmap of the full size from any dump that
// holds at least one pixel, the missing ones black; the front ends read this
// to tell the user so, and to convert nothing from a dump that is mostly
// missing. It reads the header as the library does, so both agree.
#pragma once

#include <cstdint>

#include "header_refusal.h"

namespace rastrex {

struct DumpProbe {
    enum class State {
        // Not told: the dump cannot be opened, its header is one the library
        // refuses, or it is no regular file (a pipe) whose length is known.
        Unknown,
        // Plainly no dump at all: the file is empty, or its first bytes
        // cannot begin one (a header size below 100 or a file version other
        // than 7, in either byte order). Only told of a header the library
        // refuses.
        NotADump,
        // Every pixel is there: every byte of the pixel area but, at most,
        // the padding after the last row's pixels.
        Whole,
        EndsEarly,      // part of the pixel area is missing
        // Less than 1% of it is there, or none when the colour map is cut
        // (the numbers are then the header's: its pixel area, not that of
        // the plain reading the library falls back on).
        MostlyMissing,
    };
    State state = State::Unknown;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Rows whose every pixel is there, at most `height`.
    std::uint32_t wholeRows = 0;
    // Dumps stored plane by plane (XYPixmap) hold one plane for each bit of
    // a pixel, one after another; row dumps hold one. A dump that ends
    // early holds `wholePlanes` of its `planes` whole and `planeRows` rows
    // of the next; the bitmap takes the bits of the rest as 0, and a pixel
    // with none of its bits is black. For row dumps planeRows is wholeRows.
    std::uint32_t planes = 1;
    std::uint32_t wholePlanes = 0;
    std::uint32_t planeRows = 0;
    // Bytes of the pixel area the header announces, and those in the file.
    std::uint64_t announcedBytes = 0;
    std::uint64_t presentBytes = 0;
    // Why the library refuses the header, or why it reads the pixels the
    // plain way; fault None when it does neither (or the dump did not open).
    HeaderRefusal refusal;
};

// Reads the header, window name and colour map of the dump at `path` (an
// 8-bit path as fnRastrex takes it) and compares its length with them.
DumpProbe probeDump(const char* path);

}  // namespace rastrex
