// The decoder: the colour of every pixel value, each pixel's bits, and the
// row function, chosen once when the decoder is made: a ladder of row
// kernels (rows/row_path.h), widest first, the plain one last; or, for
// layouts that have none, a pixel by pixel function made for the layout.
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

std::uint32_t packed(Bgr c)
{
    return c.b | (std::uint32_t{c.g} << 8) | (std::uint32_t{c.r} << 16);
}

void put(std::uint32_t colour, unsigned char* out)
{
    out[0] = static_cast<unsigned char>(colour);
    out[1] = static_cast<unsigned char>(colour >> 8);
    out[2] = static_cast<unsigned char>(colour >> 16);
}

void put(Bgr c, unsigned char* out)
{
    out[0] = c.b;
    out[1] = c.g;
    out[2] = c.r;
}

}  // namespace

PixelDecoder::PixelDecoder(const PixelLayout& layout, const unsigned char* colourMap)
    : l_(layout)
{
    valueMask_ = l_.depth >= 32 ? UINT32_MAX : (std::uint32_t{1} << l_.depth) - 1;
    usesMasks_ = l_.visual == VisualClass::kTrueColor || l_.visual == VisualClass::kDirectColor;
    hasMap_ = l_.colourEntries > 0 && colourMap != nullptr;
    makeColourTables(colourMap);

    const RowPaths paths = usableRowPaths();
    const bool zPixmap = l_.format == PixmapFormat::kZPixmap;
    const std::uint32_t valueBits = zPixmap ? l_.bitsPerPixel : l_.depth;
    const bool scaled = zPixmap && usesMasks_ && l_.bitsPerPixel == 16 &&
                        RowPath::scalesFields(paths, fieldChannels());
    if (valueBits <= kMaxTableBits && !scaled) {
        colours_.resize(std::size_t{1} << valueBits);
        for (std::uint32_t v = 0; v < colours_.size(); ++v)
            colours_[v] = packed(colourOf(v));
    }
    each_ = choosePixels();
    row_ = chooseRows(paths);
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

std::array<FieldChannel, 3> PixelDecoder::fieldChannels() const
{
    std::array<FieldChannel, 3> rgb;
    for (std::size_t c = 0; c < 3; ++c)
        rgb[c] = {channel_[c].mask, channel_[c].shift, channel_[c].width, channel_[c].level.data()};
    return rgb;
}

// Whole-byte channels of 24- and 32-bit pixels shown as they are, whose
// bytes are copied: the places of blue, green and red within a pixel.
std::optional<std::array<std::uint32_t, 3>> PixelDecoder::bytePositions() const
{
    if (l_.format != PixmapFormat::kZPixmap || !usesMasks_ ||
        (l_.bitsPerPixel != 24 && l_.bitsPerPixel != 32))
        return std::nullopt;
    const std::uint32_t pixelBytes = l_.bitsPerPixel / 8;
    std::array<std::uint32_t, 3> pos{};
    for (std::size_t c = 0; c < 3; ++c) {
        const Channel& ch = channel_[c];
        if (ch.width != 8 || ch.shift % 8 != 0)
            return std::nullopt;
        for (std::uint32_t i = 0; i < 256; ++i)
            if (ch.level[i] != i)
                return std::nullopt;
        const std::uint32_t k = static_cast<std::uint32_t>(ch.shift / 8);
        // pos holds blue, green, red: channel_ is red, green, blue.
        pos[2 - c] = l_.msbByteFirst ? pixelBytes - 1 - k : k;
    }
    return pos;
}

// The pixel by pixel function of the layout. (8-bit and 16-bit pixels
// always take their ladder.)
PixelDecoder::RowDecode PixelDecoder::choosePixels() const
{
    if (l_.format != PixmapFormat::kZPixmap || l_.bitsPerPixel == 1)
        return eachPixelWith<&PixelDecoder::planeBits>();
    const bool msb = l_.msbByteFirst;
    switch (l_.bitsPerPixel) {
    case 4:
        return msb ? eachPixelWith<&PixelDecoder::nibble<true>>() : eachPixelWith<&PixelDecoder::nibble<false>>();
    case 24:
        return msb ? eachPixelWith<&PixelDecoder::threeBytes<true>>()
                   : eachPixelWith<&PixelDecoder::threeBytes<false>>();
    case 32:
        return msb ? eachPixelWith<&PixelDecoder::fourBytes<true>>()
                   : eachPixelWith<&PixelDecoder::fourBytes<false>>();
    default:
        return nullptr;
    }
}

// The row function of the layout, and its ladder where it has one.
PixelDecoder::RowDecode PixelDecoder::chooseRows(RowPaths paths)
{
    const bool msb = l_.msbByteFirst;
    if (l_.planes == 1 && l_.bitsPerPixel == 1) {
        // Eight pixels a byte, from the table of both colours. The layout
        // keeps units of 16 or 32 bits only where their bytes run backwards
        // (the byte order and the bit order differ): the ladder then starts
        // at a unit's start.
        bitAlign_ = l_.unitBits;
        rows_ = RowPath::forBits(paths, colours_[0], colours_[1], l_.msbBitFirst, l_.unitBits / 8);
        return &PixelDecoder::bitRow;
    }
    if (l_.format != PixmapFormat::kZPixmap)
        return each_;
    if (const std::optional<std::array<std::uint32_t, 3>> pos = bytePositions()) {
        rows_ = RowPath::forBytes(paths, l_.bitsPerPixel / 8, pos->data());
        return &PixelDecoder::ladderRow;
    }
    if (l_.bitsPerPixel == 8) {
        rows_ = RowPath::forLookUp8(paths, colours_.data());
        return &PixelDecoder::ladderRow;
    }
    if (l_.bitsPerPixel == 16) {
        rows_ = usesMasks_ ? RowPath::forFields16(paths, fieldChannels(), msb,
                                                  colours_.empty() ? nullptr : colours_.data())
                           : RowPath::forLookUp16(colours_.data(), msb);
        return &PixelDecoder::ladderRow;
    }
    return each_;
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

// The value of pixel n of a row: its bit of each plane, the first plane's
// the highest (one plane of 1-bit pixels among them).
std::uint32_t PixelDecoder::planeBits(const RowView& row, std::uint64_t n) const
{
    std::uint32_t v = 0;
    for (std::uint32_t k = 0; k < l_.planes; ++k)
        v = (v << 1) | (bitAt(row.plane[k], n) ? 1u : 0u);
    return v;
}

// 4-bit pixels: the byte order also orders the two pixels of a byte.
template <bool kHighFirst>
std::uint32_t PixelDecoder::nibble(const RowView& row, std::uint64_t n) const
{
    const std::uint32_t b = row.plane[0][n / 2];
    return ((n & 1) == 0) == kHighFirst ? b >> 4 : b & 0x0F;
}

template <bool kMsbFirst>
std::uint32_t PixelDecoder::threeBytes(const RowView& row, std::uint64_t n) const
{
    const unsigned char* p = row.plane[0] + 3 * n;
    return kMsbFirst ? loadBe24(p) : loadLe24(p);
}

template <bool kMsbFirst>
std::uint32_t PixelDecoder::fourBytes(const RowView& row, std::uint64_t n) const
{
    const unsigned char* p = row.plane[0] + 4 * n;
    return kMsbFirst ? loadBe32(p) : loadLe32(p);
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

void PixelDecoder::ladderRow(const RowView& row, std::uint64_t first, std::size_t count,
                             unsigned char* out) const
{
    rows_.run(row.plane[0] + first * (l_.bitsPerPixel / 8), count, out);
}

// Whole bytes (units) through the ladder. A row that starts inside one and
// runs past it has that one decoded aside, its pixels from `first` on
// copied: all of its bytes are there, as the row's last pixel lies in a
// later one. The pixels left go one by one.
void PixelDecoder::bitRow(const RowView& row, std::uint64_t first, std::size_t count,
                          unsigned char* out) const
{
    const std::uint32_t into = static_cast<std::uint32_t>(first % bitAlign_);
    if (into != 0 && count > bitAlign_ - into) {
        unsigned char unit[32 * 3];
        rows_.run(row.plane[0] + (first - into) / 8, bitAlign_ / 8, unit);
        const std::size_t lead = bitAlign_ - into;
        std::memcpy(out, unit + 3 * into, 3 * lead);
        first += lead;
        out += 3 * lead;
        count -= lead;
    }
    const std::size_t bytes = first % bitAlign_ == 0 ? count / 8 : 0;
    rows_.run(row.plane[0] + first / 8, bytes, out);
    (this->*each_)(row, first + 8 * std::uint64_t{bytes}, count - 8 * bytes, out + 24 * bytes);
}

template <PixelDecoder::ValueAt kValue, bool kTable>
void PixelDecoder::eachPixel(const RowView& row, std::uint64_t first, std::size_t count,
                             unsigned char* out) const
{
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        const std::uint32_t v = (this->*kValue)(row, first + i);
        if constexpr (kTable)
            put(colours_[v], out);
        else
            put(colourOf(v), out);
    }
}

template <PixelDecoder::ValueAt kValue>
PixelDecoder::RowDecode PixelDecoder::eachPixelWith() const
{
    return colours_.empty() ? &PixelDecoder::eachPixel<kValue, false> : &PixelDecoder::eachPixel<kValue, true>;
}

// Pixel n of a row whose planes hold its bits only in part: the bits of
// the planes that hold its byte, 0 for the others.
void PixelDecoder::decodePartial(const RowView& row, std::uint64_t n, unsigned char* out) const
{
    const std::uint64_t end = pixelEnd(n);
    std::uint32_t v = 0;
    for (std::uint32_t k = 0; k < l_.planes; ++k)
        v = (v << 1) | (end <= row.present[k] && bitAt(row.plane[k], n) ? 1u : 0u);
    if (colours_.empty())
        put(colourOf(v), out);
    else
        put(colours_[v], out);
}

void PixelDecoder::decodeRow(const RowView& row, std::uint32_t x0, std::size_t count,
                             unsigned char* out) const
{
    if (count == 0)
        return;
    const std::uint64_t first = std::uint64_t{l_.xOffset} + x0;
    const std::uint64_t whole = row.present[l_.planes - 1];
    if (segmentEnd(first + count - 1) <= whole) {
        (this->*row_)(row, first, count, out);
        return;
    }
    // The pixel area ends in this row (or before it), in one of its planes:
    // pixel by pixel. A pixel with no byte in the first plane has no bit at
    // all, and is black as in a row dump.
    for (std::size_t i = 0; i < count; ++i, out += 3) {
        const std::uint64_t end = pixelEnd(first + i);
        if (end <= whole)
            (this->*row_)(row, first + i, 1, out);
        else if (end <= row.present[0])
            decodePartial(row, first + i, out);
        else
            out[0] = out[1] = out[2] = 0;
    }
}

}  // namespace rastrex
