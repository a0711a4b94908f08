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

class PixelDecoder {
public:
    // colourMap holds layout.colourEntries entries of 12 bytes each (the
    // caller has read them all); it is not kept.
    PixelDecoder(const PixelLayout& layout, const unsigned char* colourMap);

    // Writes `count` pixels of row y from column x0 on as 3 bytes each (blue,
    // green, red). `area` holds the first `available` bytes of the pixel
    // area; a pixel that needs a byte past them is black.
    void decodeRow(const unsigned char* area, std::uint64_t available, std::uint32_t y,
                   std::uint32_t x0, std::size_t count, unsigned char* out) const;

    // Whether the first pixel's bytes are all within `available`.
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
    bool rowBytesPresent(std::uint64_t rowOffset, std::uint64_t available,
                         std::uint64_t bytes) const;
    bool pixelPresent(std::uint64_t rowOffset, std::uint64_t available, std::uint64_t n) const;
    void decodeFullRow(const unsigned char* area, std::uint64_t rowOffset, std::uint32_t x0,
                       std::size_t count, unsigned char* out) const;

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
    // Bytes-per-pixel reading where each channel is a whole byte shown as it
    // is: position of blue, green and red within the pixel's bytes.
    bool bytewise_ = false;
    std::array<std::uint32_t, 3> bytePos_{};
    std::uint32_t pixelBytes_ = 0;
};

}  // namespace rastrex
