// Why the library does not take a dump's header as it stands: either the
// dump is refused (result 4 or 5), or its layout words are not read and its
// pixels are taken the plain way, as 32-bit units. Kept where the header is
// read, and told by the front ends in their own words.
#pragma once

#include <cstdint>
#include <string>

namespace rastrex {

enum class HeaderFault {
    None,
    // The dump is refused.
    ShortHeader,     // the file ends inside the 100-byte header
    HeaderSize,      // value: the header size, below 100
    LongName,        // value: bytes of the window name, above kMaxWindowNameBytes
    NoName,          // the file ends before the window name
    LongSide,        // value x other: a side above kMaxDimension
    TooManyPixels,   // value x other: more pixels than kMaxPixels
    BitmapTooLarge,  // value x other: a bitmap past 4 GiB
    Empty,           // value x other: a width or height of 0
    NoWholePixel,    // the file ends before its first whole pixel
    // The layout words are not read.
    Version,          // value: the file version, not 7
    ByteOrder,        // value: neither 0 nor 1
    Format,           // value: a pixmap format above 2
    Depth,            // value: a depth of 0 or above 32
    PixelSize,        // value: bits per pixel of a ZPixmap not 1, 4, 8, 16, 24 or 32
    DepthAbovePixel,  // value: the depth, other: the bits per pixel below it
    BitmapDepth,      // value: the depth of an XY bitmap, not 1
    BitmapUnit,       // value: a bitmap unit not 8, 16 or 32
    BitOrder,         // value: a bitmap bit order neither 0 nor 1
    ShortRows,        // value: bytes a row, other: the bytes its pixels need
    VisualClass,      // value: a visual class above 5
    BrokenMask,       // value, other, third: red, green and blue masks, one not a run within a pixel
    MasksOverlap,     // value, other, third: red, green and blue masks sharing bits
    ColourEntries,    // value: colour entries above kMaxColourEntries
    ColourMapPastEnd, // value: colour entries that the file ends inside
};

// Whether `fault` refuses the dump, rather than its layout words alone.
constexpr bool refusesDump(HeaderFault fault)
{
    return fault != HeaderFault::None && fault <= HeaderFault::NoWholePixel;
}

struct HeaderRefusal {
    HeaderFault fault = HeaderFault::None;
    std::uint64_t value = 0;
    std::uint64_t other = 0;
    std::uint64_t third = 0;
};

// A value of the header in hexadecimal, as masks are written: "0xFF0000".
inline std::string hexText(std::uint64_t v)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v % 16]);
        v /= 16;
    } while (v != 0);
    return "0x" + s;
}

}  // namespace rastrex
