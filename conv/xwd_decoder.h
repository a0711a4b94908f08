// Turns the pixel area of a dump into rows of blue, green, red bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rows/processor.h"
#include "rows/row_path.h"
#include "xwd_layout.h"

namespace rastrex {

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0;
};

// XYPixmap dumps have one plane per bit of depth, at most 32.
inline constexpr std::size_t kMaxPlanes = 32;

// One row of the pixel area as held in memory: where the row starts in each
// plane (one plane for ZPixmap and XYBitmap), and how many of its bytes are
// present in each. Planes follow one another in the file, so a later plane
// never holds more of a row than an earlier one; the last plane decides how
// much of a row is whole.
struct RowView {
    std::array<const unsigned char*, kMaxPlanes> plane{};
    std::array<std::uint64_t, kMaxPlanes> present{};
};

class PixelDecoder {
public:
    // colourMap holds layout.colourEntries entries of 12 bytes each (the
    // caller has read them all); it is not kept.
    PixelDecoder(const PixelLayout& layout, const unsigned char* colourMap);
    // Its row path holds a pointer to its table of colours.
    PixelDecoder(const PixelDecoder&) = delete;
    PixelDecoder& operator=(const PixelDecoder&) = delete;

    // Writes `count` pixels of `row` from column x0 on as 3 bytes each (blue,
    // green, red). A pixel that needs a byte the row lacks in every plane is
    // black; one whose bits are in some planes only takes the missing bits
    // as 0.
    void decodeRow(const RowView& row, std::uint32_t x0, std::size_t count,
                   unsigned char* out) const;

    // Whether the first pixel has bytes within the first `available` bytes
    // of the pixel area: all of them, or for planes its byte of the first.
    bool firstPixelPresent(std::uint64_t available) const;

    // The colour of one pixel value.
    Bgr colourOf(std::uint32_t value) const;

private:
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0;
        int width = 0;
        // 8-bit levels indexed by the channel's value (up to 2^16 of them).
        std::vector<std::uint8_t> level;
    };

    // Decodes `count` whole pixels of a row from pixel `first` on, counted
    // from the start of the row.
    using RowDecode = void (PixelDecoder::*)(const RowView& row, std::uint64_t first,
                                             std::size_t count, unsigned char* out) const;
    // The value of pixel n of a row.
    using ValueAt = std::uint32_t (PixelDecoder::*)(const RowView& row, std::uint64_t n) const;

    std::uint8_t channelLevel(const Channel& c, std::uint32_t value) const;
    bool bitAt(const unsigned char* row, std::uint64_t n) const;
    std::uint64_t bitByte(std::uint64_t n) const;
    std::uint64_t pixelEnd(std::uint64_t n) const;
    std::uint64_t segmentEnd(std::uint64_t last) const;
    void decodePartial(const RowView& row, std::uint64_t n, unsigned char* out) const;
    void makeColourTables(const unsigned char* colourMap);
    std::array<FieldChannel, 3> fieldChannels() const;
    std::optional<std::array<std::uint32_t, 3>> bytePositions() const;
    RowDecode choosePixels() const;
    RowDecode chooseRows(RowPaths paths);

    // The row functions: through the ladder; 1-bit pixels a byte at a time
    // through it; and pixel by pixel, reading each value with kValue and
    // showing it through the table of colours or colourOf().
    void ladderRow(const RowView& row, std::uint64_t first, std::size_t count, unsigned char* out) const;
    void bitRow(const RowView& row, std::uint64_t first, std::size_t count, unsigned char* out) const;
    template <ValueAt kValue, bool kTable>
    void eachPixel(const RowView& row, std::uint64_t first, std::size_t count, unsigned char* out) const;
    template <ValueAt kValue>
    RowDecode eachPixelWith() const;

    std::uint32_t planeBits(const RowView& row, std::uint64_t n) const;
    template <bool kHighFirst>
    std::uint32_t nibble(const RowView& row, std::uint64_t n) const;
    template <bool kMsbFirst>
    std::uint32_t threeBytes(const RowView& row, std::uint64_t n) const;
    template <bool kMsbFirst>
    std::uint32_t fourBytes(const RowView& row, std::uint64_t n) const;

    PixelLayout l_;
    bool usesMasks_ = false;
    bool hasMap_ = false;
    std::uint32_t valueMask_ = 0;  // the depth's bits
    // Colour-map classes: colours by pixel value, black where the map has none.
    std::vector<Bgr> mapColour_;
    std::vector<bool> mapFilled_;
    std::array<Channel, 3> channel_;  // red, green, blue
    // All pixel values' colours, packed as blue | green << 8 | red << 16,
    // when they are few (values of at most 16 bits), unless the row path
    // scales 16-bit fields instead (RowPath::scalesFields()).
    std::vector<std::uint32_t> colours_;
    // Chosen once, when the decoder is made: the row function, the pixel
    // by pixel one (for the pixels of 1-bit rows outside whole bytes, or
    // units), and the ladder of row kernels.
    RowDecode row_ = nullptr;
    RowDecode each_ = nullptr;
    RowPath rows_;
    std::uint32_t bitAlign_ = 8;  // pixels: bitRow() starts the ladder at a multiple
};

}  // namespace rastrex
