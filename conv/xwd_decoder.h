// Turns the pixel area of a dump into rows of blue, green, red bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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

    std::uint8_t channelLevel(const Channel& c, std::uint32_t value) const;
    std::uint32_t pixelValue(const unsigned char* row, std::uint64_t n) const;
    bool bitAt(const unsigned char* row, std::uint64_t n) const;
    std::uint64_t bitByte(std::uint64_t n) const;
    std::uint64_t pixelEnd(std::uint64_t n) const;
    std::uint64_t segmentEnd(std::uint64_t last) const;
    void decodePartial(const RowView& row, std::uint64_t n, unsigned char* out) const;
    void decodeFullRow(const RowView& row, std::uint32_t x0, std::size_t count,
                       unsigned char* out) const;
    void decodeEach(const RowView& row, std::uint64_t first, std::size_t count,
                    unsigned char* out) const;
    void makeColourTables(const unsigned char* colourMap);
    void makeBitBytes();
    void findBytePositions();

    PixelLayout l_;
    bool usesMasks_ = false;
    bool hasMap_ = false;
    std::uint32_t valueMask_ = 0;  // the depth's bits
    // Colour-map classes: colours by pixel value, black where the map has none.
    std::vector<Bgr> mapColour_;
    std::vector<bool> mapFilled_;
    std::array<Channel, 3> channel_;  // red, green, blue
    // The tables of the plain row code. All pixel values' colours when they
    // are few (values of at most 16 bits), unless the wide kernels scale
    // them instead (RowPath::scales()).
    std::vector<Bgr> lut_;
    // The same colours packed as blue | green << 8 | red << 16.
    std::vector<std::uint32_t> packedLut_;
    // One plane of 1-bit data in plain bytes: the 24 bitmap bytes of the
    // eight pixels of each byte value.
    std::vector<unsigned char> bitBytes_;
    std::uint32_t bitUnitBytes_ = 1;
    bool bitBytesBackwards_ = false;  // within each unit
    // Bytes-per-pixel reading where each channel is a whole byte shown as it
    // is: position of blue, green and red within the pixel's bytes.
    bool bytewise_ = false;
    std::array<std::uint32_t, 3> bytePos_{};
    std::uint32_t pixelBytes_ = 0;
    // The wide kernels of the bulk of each row, chosen with their tables
    // when the decoder is made.
    RowPath wide_;
};

}  // namespace rastrex
