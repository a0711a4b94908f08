#include "xwd_layout.h"

#include <bit>

namespace rastrex {

namespace {

constexpr std::uint32_t kByteOrderLsbFirst = 0;
constexpr std::uint32_t kByteOrderMsbFirst = 1;
// Pixel values are at most 32 bits wide.
constexpr std::uint32_t kMaxDepth = 32;

std::uint64_t saturatingMul(std::uint64_t a, std::uint64_t b)
{
    if (a != 0 && b > UINT64_MAX / a)
        return UINT64_MAX;
    return a * b;
}

bool isZPixelSize(std::uint32_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// A mask that can carry a channel: not empty, one run of set bits, within
// the pixel value's bits.
bool isChannelMask(std::uint32_t mask, std::uint32_t valueBits)
{
    if (mask == 0)
        return false;
    if (valueBits < 32 && (mask >> valueBits) != 0)
        return false;
    const std::uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

}  // namespace

std::uint64_t PixelLayout::planeBytes() const
{
    return saturatingMul(bytesPerLine, height);
}

std::uint64_t PixelLayout::areaBytes() const
{
    return saturatingMul(planeBytes(), planes);
}

std::optional<PixelLayout> describeLayout(const XwdHeader& h, HeaderRefusal* why)
{
    const auto refuse = [why](HeaderFault fault, std::uint64_t value, std::uint64_t other = 0,
                              std::uint64_t third = 0) -> std::optional<PixelLayout> {
        if (why != nullptr)
            *why = {fault, value, other, third};
        return std::nullopt;
    };
    if (h[kFileVersion] != kXwdFileVersion)
        return refuse(HeaderFault::Version, h[kFileVersion]);

    PixelLayout l;
    l.width = h[kPixmapWidth];
    l.height = h[kPixmapHeight];
    l.depth = h[kPixmapDepth];
    l.bytesPerLine = h[kBytesPerLine];
    l.xOffset = h[kXOffset];
    l.colourEntries = h[kNumColors];
    l.redMask = h[kRedMask];
    l.greenMask = h[kGreenMask];
    l.blueMask = h[kBlueMask];

    switch (h[kByteOrder]) {
    case kByteOrderLsbFirst: l.msbByteFirst = false; break;
    case kByteOrderMsbFirst: l.msbByteFirst = true; break;
    default: return refuse(HeaderFault::ByteOrder, h[kByteOrder]);
    }

    const std::uint32_t format = h[kPixmapFormat];
    if (format > static_cast<std::uint32_t>(PixmapFormat::kZPixmap))
        return refuse(HeaderFault::Format, format);
    l.format = static_cast<PixmapFormat>(format);
    if (l.depth == 0 || l.depth > kMaxDepth)
        return refuse(HeaderFault::Depth, l.depth);
    if (l.format == PixmapFormat::kZPixmap) {
        l.bitsPerPixel = h[kBitsPerPixel];
        if (!isZPixelSize(l.bitsPerPixel))
            return refuse(HeaderFault::PixelSize, l.bitsPerPixel);
        if (l.depth > l.bitsPerPixel)
            return refuse(HeaderFault::DepthAbovePixel, l.depth, l.bitsPerPixel);
    } else {
        if (l.format == PixmapFormat::kXyBitmap && l.depth != 1)
            return refuse(HeaderFault::BitmapDepth, l.depth);
        l.bitsPerPixel = 1;
        l.planes = l.depth;
    }

    // 1-bit data is laid out in bitmap units with the bitmap bit order.
    if (l.bitsPerPixel == 1) {
        l.unitBits = h[kBitmapUnit];
        if (l.unitBits != 8 && l.unitBits != 16 && l.unitBits != 32)
            return refuse(HeaderFault::BitmapUnit, l.unitBits);
        switch (h[kBitmapBitOrder]) {
        case kByteOrderLsbFirst: l.msbBitFirst = false; break;
        case kByteOrderMsbFirst: l.msbBitFirst = true; break;
        default: return refuse(HeaderFault::BitOrder, h[kBitmapBitOrder]);
        }
        // When bytes and bits run the same way, a unit of any size holds its
        // bits in plain byte order: rows need only whole bytes, not whole
        // units (a 37-pixel row of 32-bit units may be 5 bytes long).
        if (l.msbBitFirst == l.msbByteFirst)
            l.unitBits = 8;
    }

    // Each row must hold its pixels (whole units, for 1-bit data).
    std::uint64_t rowBits = (std::uint64_t{l.xOffset} + l.width) * l.bitsPerPixel;
    if (l.bitsPerPixel == 1)
        rowBits = (rowBits + l.unitBits - 1) / l.unitBits * l.unitBits;
    if (l.bytesPerLine == 0 || (rowBits + 7) / 8 > l.bytesPerLine)
        return refuse(HeaderFault::ShortRows, l.bytesPerLine, (rowBits + 7) / 8);

    const std::uint32_t visual = h[kVisualClass];
    if (visual > static_cast<std::uint32_t>(VisualClass::kDirectColor))
        return refuse(HeaderFault::VisualClass, visual);
    l.visual = static_cast<VisualClass>(visual);
    if (l.visual == VisualClass::kTrueColor || l.visual == VisualClass::kDirectColor) {
        // Masks select bits of the whole value read for a pixel.
        const std::uint32_t valueBits =
            l.format == PixmapFormat::kZPixmap ? l.bitsPerPixel : l.depth;
        if (!isChannelMask(l.redMask, valueBits) || !isChannelMask(l.greenMask, valueBits) ||
            !isChannelMask(l.blueMask, valueBits))
            return refuse(HeaderFault::BrokenMask, l.redMask, l.greenMask, l.blueMask);
        if ((l.redMask & l.greenMask) != 0 || (l.redMask & l.blueMask) != 0 ||
            (l.greenMask & l.blueMask) != 0)
            return refuse(HeaderFault::MasksOverlap, l.redMask, l.greenMask, l.blueMask);
    }

    if (l.colourEntries > kMaxColourEntries)
        return refuse(HeaderFault::ColourEntries, l.colourEntries);
    return l;
}

PixelLayout plainLayout(std::uint32_t width, std::uint32_t height)
{
    PixelLayout l;
    l.format = PixmapFormat::kZPixmap;
    l.width = width;
    l.height = height;
    l.depth = 24;
    l.bitsPerPixel = 32;
    l.msbByteFirst = false;
    l.bytesPerLine = std::uint64_t{width} * 4;
    l.visual = VisualClass::kTrueColor;
    l.redMask = 0xFF0000;
    l.greenMask = 0x00FF00;
    l.blueMask = 0x0000FF;
    l.colourEntries = kPlainColourEntries;
    return l;
}

}  // namespace rastrex
