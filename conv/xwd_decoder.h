// Turns the pixel area of a dump into rows of blue, green, red bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "xwd_layout.h"

namespace rastrex {

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0;
};

// The instruction sets a decoder's row paths may use, least first.
enum class RowPaths { kPlain, kSsse3, kAvx2, kAvx512Vbmi };

// The most this processor has among the paths built in (kPlain where none
// is).
RowPaths processorRowPaths();

// Caps the paths of decoders made from now on at `cap`; what the processor
// lacks is never used whatever the cap. For tests of the paths below this
// processor's; not shown outside the library.
void capRowPaths(RowPaths cap);

// XYPixmap dumps have one plane per bit of depth, at most 32.
inline constexpr std::size_t kMaxPlanes = 32;

// One row of the pixel area as held in memory: where the row starts in each
// plane (one plane for ZPixmap and XYBitmap), and how many of its bytes are
// present in every plane. Rows of the last plane lie furthest into the file,
// so it decides how much of a row is there.
struct RowView {
    std::array<const unsigned char*, kMaxPlanes> plane{};
    std::uint64_t present = 0;
};

class PixelDecoder {
public:
    // colourMap holds layout.colourEntries entries of 12 bytes each (the
    // caller has read them all); it is not kept.
    PixelDecoder(const PixelLayout& layout, const unsigned char* colourMap);

    // Writes `count` pixels of `row` from column x0 on as 3 bytes each (blue,
    // green, red); a pixel that needs a byte the row lacks is black.
    void decodeRow(const RowView& row, std::uint32_t x0, std::size_t count,
                   unsigned char* out) const;

    // Whether the first pixel's bytes are all within the first `available`
    // bytes of the pixel area.
    bool firstPixelPresent(std::uint64_t available) const;

    // Bytes at the start of each row (of each plane's row) that hold pixels.
    std::uint64_t rowBytesUsed() const;

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
    void decodeFullRow(const RowView& row, std::uint32_t x0, std::size_t count,
                       unsigned char* out) const;
    void decodeEach(const RowView& row, std::uint64_t first, std::size_t count,
                    unsigned char* out) const;
    void makeFieldPicks();

    PixelLayout l_;
    bool usesMasks_ = false;
    bool hasMap_ = false;
    std::uint32_t valueMask_ = 0;  // the depth's bits
    // Colour-map classes: colours by pixel value, black where the map has none.
    std::vector<Bgr> mapColour_;
    std::vector<bool> mapFilled_;
    std::array<Channel, 3> channel_;  // red, green, blue
    // All pixel values' colours when they are few (values of at most 16 bits).
    std::vector<Bgr> lut_;
    // The same colours packed as blue | green << 8 | red << 16.
    std::vector<std::uint32_t> packedLut_;
    // 16-bit pixels whose channels are at most 8 bits wide and scaled by
    // arithmetic (no colour map): each level is (field * 255 + half) * magic
    // >> (16 + post), checked at construction for every field value to equal
    // the table's level. Blue, green, red.
    struct FieldScale {
        std::uint16_t shift = 0, mask = 0, half = 0, magic = 0, post = 0;
    };
    bool scaled16_ = false;
    std::array<FieldScale, 3> scale16_{};
    // 16-bit pixels whose channels are short runs of bits, where the
    // processor permutes bytes: the controls and the table of levels that
    // take sixty-four at a time (see makeFieldPicks()).
    std::vector<unsigned char> fieldPicks_;
    // 8-bit pixels with a table, where the processor looks them up by byte
    // permutes: its blue, green and red levels as planes of 256.
    std::vector<unsigned char> levelPlanes_;
    // One plane of 1-bit data in plain bytes: the 24 bitmap bytes of the
    // eight pixels of each byte value.
    std::vector<unsigned char> bitBytes_;
    std::uint32_t bitUnitBytes_ = 1;
    bool bitBytesBackwards_ = false;  // within each unit
    // Where the processor permutes bytes, those eight pixels' bytes sixty-four
    // pixels at a time: the output of clear pixels, of set ones and where each
    // output byte's pixel lies, for each third of the output.
    std::vector<unsigned char> bitPatterns_;
    // Bytes-per-pixel reading where each channel is a whole byte shown as it
    // is: position of blue, green and red within the pixel's bytes.
    bool bytewise_ = false;
    std::array<std::uint32_t, 3> bytePos_{};
    std::uint32_t pixelBytes_ = 0;
    // Where the processor permutes bytes: the control that picks them.
    std::vector<unsigned char> bytePick_;
    // The row paths this decoder uses, chosen once when it is made.
    RowPaths paths_ = RowPaths::kPlain;
};

}  // namespace rastrex
