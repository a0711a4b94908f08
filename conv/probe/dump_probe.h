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
        Whole,          // every byte of the pixel area is there
        EndsEarly,      // part of the pixel area is missing
        MostlyMissing,  // less than kMinPresentShare of it is there
    };
    State state = State::Unknown;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Rows whose every pixel is there, at most `height`.
    std::uint32_t wholeRows = 0;
    // The pixels are stored in several planes, one after another: rows past
    // the whole ones may still have some of their bits.
    bool planar = false;
    // Bytes of the pixel area the header announces, and those in the file.
    std::uint64_t announcedBytes = 0;
    std::uint64_t presentBytes = 0;
    // Why the library refuses the header, or why it reads the pixels the
    // plain way; fault None when it does neither (or the dump did not open).
    HeaderRefusal refusal;
};

// A dump holding less than one part in this many of its pixel area is not
// worth converting: its bitmap is nearly all black and may be thousands of
// times the dump's size.
inline constexpr std::uint64_t kMinPresentShare = 100;

// Reads the header, window name and colour map of the dump at `path` (an
// 8-bit path as fnRastrex takes it) and compares its length with them.
DumpProbe probeDump(const char* path);

}  // namespace rastrex
