// How the pixels of a dump are laid out and what their values mean, as far
// as the header words describe it.
#pragma once

#include <cstdint>
#include <optional>

#include "header_refusal.h"
#include "xwd_limits.h"
#include "xwd_header.h"

namespace rastrex {

enum class PixmapFormat : std::uint32_t { kXyBitmap = 0, kXyPixmap = 1, kZPixmap = 2 };

enum class VisualClass : std::uint32_t {
    kStaticGray = 0,
    kGrayScale = 1,
    kStaticColor = 2,
    kPseudoColor = 3,
    kTrueColor = 4,
    kDirectColor = 5,
};

// The file version whose header has the 25 words read here.
inline constexpr std::uint32_t kXwdFileVersion = 7;
// Bytes of one stored colour entry: pixel value (4), red, green, blue (2
// each), flags and a pad byte.
inline constexpr std::uint32_t kColourEntryBytes = 12;
// The colour map that the plain reading skips: 256 entries.
inline constexpr std::uint32_t kPlainColourEntries = 256;

struct PixelLayout {
    PixmapFormat format = PixmapFormat::kZPixmap;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Bits of a pixel value: the depth, at most bitsPerPixel for ZPixmap.
    std::uint32_t depth = 0;
    // ZPixmap: 1, 4, 8, 16, 24 or 32 bits a pixel. XY formats: 1 (one bit
    // a pixel in each plane).
    std::uint32_t bitsPerPixel = 0;
    // XY formats: one plane for each bit of depth, the most significant first.
    std::uint32_t planes = 1;
    bool msbByteFirst = false;
    // 1-bit data: the first pixel sits in the most significant bit of a unit.
    bool msbBitFirst = false;
    // 1-bit data is read in units of this many bits (8, 16 or 32).
    std::uint32_t unitBits = 8;
    // Pixels skipped at the start of each row (of each plane's row).
    std::uint32_t xOffset = 0;
    std::uint64_t bytesPerLine = 0;
    VisualClass visual = VisualClass::kTrueColor;
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    // Colour entries stored between the window name and the pixels.
    std::uint32_t colourEntries = 0;

    // Bytes of the whole pixel area, UINT64_MAX when that does not fit.
    std::uint64_t areaBytes() const;
    // Bytes of one plane (the whole area for ZPixmap), UINT64_MAX likewise.
    std::uint64_t planeBytes() const;
};

// The layout the header describes, or nothing when its layout words cannot
// describe real data (a format, visual class or pixel size outside the known
// ones, rows shorter than their pixels, empty, overlapping or broken masks,
// too many colour entries, another file version); `why`, when given, then
// holds the first word found wrong. Width and height are taken as they are;
// the caller has checked them.
std::optional<PixelLayout> describeLayout(const XwdHeader& header, HeaderRefusal* why = nullptr);

// The plain reading: rows of 32-bit units, least significant byte first,
// blue, green and red in the three low bytes, after 256 colour entries.
PixelLayout plainLayout(std::uint32_t width, std::uint32_t height);

}  // namespace rastrex
