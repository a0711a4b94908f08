// Where the decoder finds the rows of the pixel area: a block holding the
// whole area read before the bitmap is written, or bands of rows read from
// the dump while the bitmap is written.
#pragma once

#include <cstdint>
#include <memory>

#include "input_file.h"
#include "xwd_decoder.h"
#include "xwd_layout.h"

namespace rastrex {

// The whole pixel area, or as much of it as the file holds.
class BlockRows {
public:
    BlockRows(const PixelLayout& layout, const unsigned char* area, std::uint64_t available)
        : l_(layout), area_(area), available_(available)
    {
    }
    RowView row(std::uint32_t y);

private:
    PixelLayout l_;
    const unsigned char* area_;
    std::uint64_t available_;
};

// Bands of rows read from an open dump on demand. Rows are asked for from
// the bottom up; each band ends with the row asked for.
class StreamRows {
public:
    // Bands of about this many bytes (all planes together).
    static constexpr std::uint64_t kBandBytes = std::uint64_t{1} << 18;

    // Whether rows of this layout are small enough for bands.
    static bool fits(const PixelLayout& layout);

    // The pixel area starts at byte `start` of `in`; its first `available`
    // bytes are in the file.
    StreamRows(InputFile& in, std::uint64_t start, std::uint64_t available,
               const PixelLayout& layout);
    // False when the band buffer cannot be allocated.
    bool isReady() const { return buffer_ != nullptr; }
    RowView row(std::uint32_t y);

private:
    void load(std::uint32_t lastRow);

    InputFile& in_;
    std::uint64_t start_;
    std::uint64_t available_;
    PixelLayout l_;
    std::uint32_t rowsPerBand_ = 1;
    std::uint64_t bandBytes_ = 0;  // of one plane
    std::unique_ptr<unsigned char[]> buffer_;
    std::uint32_t bandFirst_ = 0;
    std::uint32_t bandEnd_ = 0;  // one past the band's last row; 0 before the first load
    std::uint64_t bandPresent_ = 0;  // bytes of the band read in every plane
};

}  // namespace rastrex
