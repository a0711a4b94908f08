// The decoder: the colour of every pixel value, each pixel's bits, and the
// row paths, chosen once when the decoder is made (rows/row_path.h): the
// wide kernels through the bulk of a row, the plain code for the rest.
#include "xwd_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "byte_order.h"

namespace rastrex {

namespace {

// Pixel values of up to this many bits get a table of all their colours.
constexpr std::uint32_t kMaxTableBits = 16;
constexpr std::uint32_t kMaxTableEntries = std::uint32_t{1} << kMaxTableBits;

// A colour entry's 16-bit intensity scaled to 8 bits.
std::uint8_t intensity(const unsigned char* p)
{
    return scaleToByte(loadBe16(p), 16);
}

// Offsets within a colour entry.
constexpr std::size_t kEntryPixel = 0;
constexpr std::size_t kEntryRed = 4;
constexpr std::size_t kEntryGreen = 6;
constexpr std::size_t kEntryBlue = 8;

bool isGrey(VisualClass v)
{
    return v == VisualClass::kStaticGray || v == VisualClass::kGrayScale;
}

}  // namespace

PixelDecoder::PixelDecoder(const PixelLayout& layout, const unsigned char* colourMap)
    : l_(layout)
{
    const RowPaths paths = usableRowPaths();
    valueMask_ = l_.depth >= 32 ? UINT32_MAX : (std::uint32_t{1} << l_.depth) - 1;
    usesMasks_ = l_.visual == VisualClass::kTrueColor || l_.visual == VisualClass::kDirectColor;
    hasMap_ = l_.colourEntries > 0 && colourMap != nullptr;
    makeColourTables(colourMap);

    const bool zPixmap = l_.format == PixmapFormat::kZPixmap;
    // 16-bit TrueColor (or DirectColor): before the table of colours, which
    // is not made when the wide kernels scale the fields instead (the few
    // pixels at the end of a row then go through colourOf()).
    if (zPixmap && usesMasks_ && l_.bitsPerPixel == 16) {
        std::array<FieldChannel, 3> rgb;
        for (std::size_t c = 0; c < 3; ++c)
            rgb[c] = {channel_[c].mask, channel_[c].shift, channel_[c].width, channel_[c].level.data()};
        wide_ = RowPath::forFields16(paths, rgb, l_.msbByteFirst);
    }
    const std::uint32_t valueBits = zPixmap ? l_.bitsPerPixel : l_.depth;
    if (valueBits <= kMaxTableBits && !wide_.scales()) {
        lut_.resize(std::size_t{1} << valueBits);
        packedLut_.resize(lut_.size());
        for (std::uint32_t v = 0; v < lut_.size(); ++v) {
            lut_[v] = colourOf(v);
            packedLut_[v] = lut_[v].b | (std::uint32_t{lut_[v].g} << 8) |
                            (std::uint32_t{lut_[v].r} << 16);
        }
    }
    if (zPixmap && l_.bitsPerPixel == 8 && packedLut_.size() == 256)
        wide_ = RowPath::forLookUp8(paths, packedLut_.data());

    makeBitBytes();
    if (!bitBytes_.empty() && !bitBytesBackwards_)
        wide_ = RowPath::forBits(paths, packedLut_[0], packedLut_[1], l_.msbBitFirst);

    findBytePositions();
    if (bytewise_)
        wide_ = RowPath::forBytes(paths, pixelBytes_, bytePos_.data());
}

// The levels of each channel (TrueColor, DirectColor), or the colour of each
// pixel value the map names (the other classes).
void PixelDecoder::makeColourTables(const unsigned char* colourMap)
{
    const std::uint32_t entries = hasMap_ ? l_.colourEntries : 0;
    if (usesMasks_) {
        const std::uint32_t masks[3] = {l_.redMask, l_.greenMask, l_.blueMask};
        const std::size_t field[3] = {kEntryRed, kEntryGreen, kEntryBlue};
        // TrueColor ignores a stored map; DirectColor goes through it when
        // there is one.
        const bool throughMap = l_.visual == VisualClass::kDirectColor && hasMap_;
        for (std::size_t c = 0; c < 3; ++c) {
            Channel& ch = channel_[c];
            ch.mask = masks[c];
            ch.shift = std::countr_zero(ch.mask);
            ch.width = std::popcount(ch.mask);
            const std::uint32_t levels = ch.width >= static_cast<int>(kMaxTableBits)
                                             ? kMaxTableEntries
                                             : std::uint32_t{1} << ch.width;
            ch.level.resize(levels);
            for (std::uint32_t i = 0; i < levels; ++i) {
                if (throughMap)  // entry i holds the intensities of channel value i
                    ch.level[i] = i < entries ? intensity(colourMap + std::size_t{i} * kColourEntryBytes + field[c]) : 0;
                else
                    ch.level[i] = scaleToByte(i, ch.width);
            }
        }
    } else if (hasMap_) {
        // Each entry names the pixel value it describes.
        const std::uint32_t size =
            l_.depth >= kMaxTableBits ? kMaxTableEntries : std::uint32_t{1} << l_.depth;
        mapColour_.assign(size, Bgr{});
        mapFilled_.assign(size, false);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const unsigned char* e = colourMap + std::size_t{i} * kColourEntryBytes;
            const std::uint32_t pixel = loadBe32(e + kEntryPixel);
            if (pixel >= size)
                continue;
            mapColour_[pixel] = {intensity(e + kEntryBlue), intensity(e + kEntryGreen),
                                 intensity(e + kEntryRed)};
            mapFilled_[pixel] = true;
        }
    }
}

// One plane of 1-bit data: the 24 bitmap bytes of every byte's eight
// pixels. Each byte holds eight pixels in a row; within a unit of 16 or 32
// bits the bytes run backwards when the byte order and the bit order differ.
void PixelDecoder::makeBitBytes()
{
    if (l_.planes != 1 || l_.bitsPerPixel != 1 || lut_.size() != 2 ||
        (l_.unitBits != 8 && l_.unitBits != 16 && l_.unitBits != 32))
        return;
    bitUnitBytes_ = l_.unitBits / 8;
    bitBytesBackwards_ = bitUnitBytes_ > 1 && l_.msbByteFirst != l_.msbBitFirst;
    bitBytes_.resize(256 * 24);
    for (std::uint32_t b = 0; b < 256; ++b)
        for (std::uint32_t k = 0; k < 8; ++k) {
            const std::uint32_t bit = (b >> (l_.msbBitFirst ? 7 - k : k)) & 1;
            unsigned char* p = bitBytes_.data() + b * 24 + k * 3;
            p[0] = lut_[bit].b;
            p[1] = lut_[bit].g;
            p[2] = lut_[bit].r;
        }
}

// Whole-byte channels of 24- and 32-bit pixels shown as they are: their
// bytes are copied.
void PixelDecoder::findBytePositions()
{
    if (l_.format != PixmapFormat::kZPixmap || !usesMasks_ ||
        (l_.bitsPerPixel != 24 && l_.bitsPerPixel != 32))
        return;
    pixelBytes_ = l_.bitsPerPixel / 8;
    bool ok = true;
    for (std::size_t c = 0; c < 3 && ok; ++c) {
        const Channel& ch = channel_[c];
        ok = ch.width == 8 && ch.shift % 8 == 0;
        for (std::uint32_t i = 0; ok && i < 256; ++i)
            ok = ch.level[i] == i;
        if (ok) {
            const std::uint32_t k = static_cast<std::uint32_t>(ch.shift / 8);
            // bytePos_ holds blue, green, red: channel_ is red, green, blue.
            bytePos_[2 - c] = l_.msbByteFirst ? pixelBytes_ - 1 - k : k;
        }
    }
    bytewise_ = ok;
}

std::uint8_t PixelDecoder::channelLevel(const Channel& c, std::uint32_t value) const
{
    const std::uint32_t v = (value & c.mask) >> c.shift;
    if (v < c.level.size())
        return c.level[v];
    // Only channels wider than the table get here.
    if (l_.visual == VisualClass::kDirectColor && hasMap_)
        return 0;  // past the colour map
    return scaleToByte(v, c.width);
}

Bgr PixelDecoder::colourOf(std::uint32_t value) const
{
    if (usesMasks_)
        return {channelLevel(channel_[2], value), channelLevel(channel_[1], value),
                channelLevel(channel_[0], value)};
    const std::uint32_t index = value & valueMask_;
    if (hasMap_) {
        if (index < mapColour_.size() && mapFilled_[index])
            return mapColour_[index];
        return {};  // past the colour map: black
    }
    if (isGrey(l_.visual)) {
        // A two-level grey dump without a colour map is a bitmap: a set bit
        // is ink (black) on white paper, as 1-bit pictures are drawn.
        if (l_.depth == 1)
            return index != 0 ? Bgr{} : Bgr{255, 255, 255};
        const std::uint8_t g = scaleToByte(index, static_cast<int>(l_.depth));
        return {g, g, g};
    }
    return {};
}

// Byte within a row holding bit n of 1-bit data: units of unitBits bits,
// their bytes in the dump's byte order, their bits in the bitmap bit order.
std::uint64_t PixelDecoder::bitByte(std::uint64_t n) const
{
    const std::uint32_t unitBytes = l_.unitBits / 8;
    const std::uint64_t unit = n / l_.unitBits;
    const std::uint32_t k = static_cast<std::uint32_t>(n % l_.unitBits);
    const std::uint32_t s = l_.msbBitFirst ? l_.unitBits - 1 - k : k;
    const std::uint32_t byteInUnit = l_.msbByteFirst ? unitBytes - 1 - s / 8 : s / 8;
    return unit * unitBytes + byteInUnit;
}

bool PixelDecoder::bitAt(const unsigned char* row, std::uint64_t n) const
{
    const std::uint32_t k = static_cast<std::uint32_t>(n % l_.unitBits);
    const std::uint32_t s = l_.msbBitFirst ? l_.unitBits - 1 - k : k;
    return ((row[bitByte(n)] >> (s % 8)) & 1) != 0;
}

// The value of pixel n (counted from the start of the row) of a ZPixmap row.
std::uint32_t PixelDecoder::pixelValue(const unsigned char* row, std::uint64_t n) const
{
    switch (l_.bitsPerPixel) {
    case 1:
        return bitAt(row, n) ? 1 : 0;
    case 4: {
        const std::uint32_t b = row[n / 2];
        // The byte order also orders the two pixels of a byte.
        const bool high = ((n & 1) == 0) == l_.msbByteFirst;
        return high ? b >> 4 : b & 0x0F;
    }
    case 8:
        return row[n];
    case 16:
        return l_.msbByteFirst ? loadBe16(row + 2 * n) : loadLe16(row + 2 * n);
    case 24:
        return l_.msbByteFirst ? loadBe24(row + 3 * n) : loadLe24(row + 3 * n);
    default:  // 32
        return load32(row + 4 * n, l_.msbByteFirst);
    }
}

// Bytes from a row's start up to and including the last one pixel n needs.
std::uint64_t PixelDecoder::pixelEnd(std::uint64_t n) const
{
    switch (l_.bitsPerPixel) {
    case 1: return bitByte(n) + 1;
    case 4: return n / 2 + 1;
    default: return (n + 1) * (l_.bitsPerPixel / 8);
    }
}

// Bytes from a row's start that hold pixel `last` and every one before it
// (up to the end of its unit, for 1-bit data).
std::uint64_t PixelDecoder::segmentEnd(std::uint64_t last) const
{
    if (l_.bitsPerPixel == 1)
        return (last / l_.unitBits + 1) * (l_.unitBits / 8);
    return pixelEnd(last);
}

bool PixelDecoder::firstPixelPresent(std::uint64_t available) const
{
    // The first plane comes first in the file: a pixel with its bit there
    // has something to show.
    return pixelEnd(l_.xOffset) <= available;
}

void PixelDecoder::decodeFullRow(const RowView& view, std::uint32_t x0, std::size_t count,
                                 unsigned char* out) const
{
    const unsigned char* row = view.plane[0];
    std::uint64_t first = std::uint64_t{l_.xOffset} + x0;
    if (!bitBytes_.empty()) {
        // One plane of 1-bit data in bytes: eight pixels a byte from a table.
        const std::size_t lead = std::min(static_cast<std::size_t>((8 - first % 8) % 8), count);
        decodeEach(view, first, lead, out);
        out += 3 * lead;
        count -= lead;
        const std::size_t bytes = count / 8;
        const std::uint64_t firstByte = (first + lead) / 8;
        if (!bitBytesBackwards_) {
            const unsigned char* src = row + firstByte;
            const std::size_t done = wide_.run(src, bytes, out);
            expandBits(bitBytes_.data(), src + done, bytes - done, out + 24 * done);
        } else {
            expandBitsBackwards(bitBytes_.data(), row, firstByte, bytes, bitUnitBytes_, out);
        }
        decodeEach(view, first + lead + 8 * bytes, count % 8, out + 24 * bytes);
        return;
    }
    if (l_.format != PixmapFormat::kZPixmap) {
        decodeEach(view, first, count, out);
        return;
    }
    if (bytewise_) {
        const unsigned char* src = row + first * pixelBytes_;
        if (pixelBytes_ == 3 && bytePos_[0] == 0 && bytePos_[1] == 1 && bytePos_[2] == 2) {
            std::memcpy(out, src, 3 * count);
            return;
        }
        const std::size_t done = wide_.run(src, count, out);
        copyBytes(src + done * pixelBytes_, count - done, out + 3 * done, pixelBytes_, bytePos_.data());
        return;
    }
    if (l_.bitsPerPixel == 8 && !packedLut_.empty()) {
        const unsigned char* src = row + first;
        const std::size_t done = wide_.run(src, count, out);
        lookUpColours8(packedLut_.data(), src + done, count - done, out + 3 * done);
        return;
    }
    if (l_.bitsPerPixel == 16) {
        const std::size_t done = wide_.run(row + 2 * first, count, out);
        first += done;
        out += 3 * done;
        count -= done;
        if (packedLut_.empty())
            decodeEach(view, first, count, out);
        else
            lookUpColours16(packedLut_.data(), row + 2 * first, count, out, l_.msbByteFirst);
        return;
    }
    decodeEach(view, first, count, out);
}

// Pixel by pixel, from pixel `first` counted from the start of the row.
void PixelDecoder::decodeEach(const RowView& view, std::uint64_t first, std::size_t count,
                              unsigned char* out) const
{
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        std::uint32_t v = 0;
        if (l_.format == PixmapFormat::kZPixmap) {
            v = pixelValue(view.plane[0], first + i);
        } else {
            for (std::uint32_t k = 0; k < l_.planes; ++k)
                v = (v << 1) | (bitAt(view.plane[k], first + i) ? 1u : 0u);
        }
        const Bgr c = lut_.empty() ? colourOf(v) : lut_[v];
        out[0] = c.b;
        out[1] = c.g;
        out[2] = c.r;
    }
}

// Pixel n of a row whose planes hold its bits only in part: the bits of
// the planes that hold its byte, 0 for the others.
void PixelDecoder::decodePartial(const RowView& row, std::uint64_t n, unsigned char* out) const
{
    const std::uint64_t end = pixelEnd(n);
    std::uint32_t v = 0;
    for (std::uint32_t k = 0; k < l_.planes; ++k)
        v = (v << 1) | (end <= row.present[k] && bitAt(row.plane[k], n) ? 1u : 0u);
    const Bgr c = lut_.empty() ? colourOf(v) : lut_[v];
    out[0] = c.b;
    out[1] = c.g;
    out[2] = c.r;
}

void PixelDecoder::decodeRow(const RowView& row, std::uint32_t x0, std::size_t count,
                             unsigned char* out) const
{
    if (count == 0)
        return;
    const std::uint64_t first = std::uint64_t{l_.xOffset} + x0;
    const std::uint64_t whole = row.present[l_.planes - 1];
    if (segmentEnd(first + count - 1) <= whole) {
        decodeFullRow(row, x0, count, out);
        return;
    }
    // The pixel area ends in this row (or before it), in one of its planes:
    // pixel by pixel. A pixel with no byte in the first plane has no bit at
    // all, and is black as in a row dump.
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        const std::uint64_t end = pixelEnd(first + i);
        if (end <= whole)
            decodeFullRow(row, static_cast<std::uint32_t>(x0 + i), 1, out);
        else if (end <= row.present[0])
            decodePartial(row, first + i, out);
        else
            out[0] = out[1] = out[2] = 0;
    }
}

}  // namespace rastrex
