// The fixed part of an X Window dump: 25 unsigned 32-bit words, each stored
// most significant byte first, 100 bytes in all.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rastrex {

inline constexpr std::size_t kXwdHeaderBytes = 100;
inline constexpr std::size_t kXwdHeaderWords = kXwdHeaderBytes / 4;

// Position of each word in the header.
enum XwdWord : std::size_t {
    kHeaderSize = 0,      // 100 + length of the window name (with its zero)
    kFileVersion = 1,
    kPixmapFormat = 2,    // 0 XYBitmap, 1 XYPixmap, 2 ZPixmap
    kPixmapDepth = 3,
    kPixmapWidth = 4,
    kPixmapHeight = 5,
    kXOffset = 6,
    kByteOrder = 7,       // 0 least significant byte first, 1 most
    kBitmapUnit = 8,
    kBitmapBitOrder = 9,  // 0 least significant bit first, 1 most
    kBitmapPad = 10,
    kBitsPerPixel = 11,
    kBytesPerLine = 12,
    kVisualClass = 13,
    kRedMask = 14,
    kGreenMask = 15,
    kBlueMask = 16,
    kBitsPerRgb = 17,
    kColormapEntries = 18,
    kNumColors = 19,      // colour entries stored between name and pixels
    kWindowWidth = 20,
    kWindowHeight = 21,
    kWindowX = 22,
    kWindowY = 23,
    kWindowBorderWidth = 24,
};

struct XwdHeader {
    std::array<std::uint32_t, kXwdHeaderWords> word{};

    std::uint32_t operator[](XwdWord w) const { return word[w]; }
};

// Decodes the 25 big-endian words of a 100-byte header.
XwdHeader decodeXwdHeader(const unsigned char* bytes);

}  // namespace rastrex
