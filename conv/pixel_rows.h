// Where the decoder finds the rows of the pixel area, bottom row first: in
// bands read by offset from a regular file while the bitmap is written, or
// held whole after a stream that cannot be read by offset was read to its
// end. Either way only the bytes of each row that hold pixels are kept.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "input_file.h"
#include "xwd_decoder.h"
#include "xwd_plan.h"

namespace rastrex {

// Bands of rows read from a regular file on demand. Rows are asked for from
// the bottom up; each band ends with the row asked for.
class StreamRows {
public:
    StreamRows(InputFile& in, const DumpPlan& plan);
    // False when the band buffer cannot be allocated.
    bool isReady() const { return buffer_ != nullptr; }
    // Bytes of the pixel area in the file.
    std::uint64_t available() const { return available_; }
    RowView row(std::uint32_t y);

private:
    void load(std::uint32_t lastRow);

    InputFile& in_;
    std::uint64_t start_;      // of the pixel area in the file
    std::uint64_t available_;  // bytes of the pixel area in the file
    PixelLayout l_;
    RowSpan span_;
    // Rows whose padding is short enough are read in one piece with it;
    // longer ones span by span.
    bool withPadding_ = false;
    std::uint64_t stride_ = 0;  // of a row in the buffer
    std::uint32_t rowsPerBand_ = 1;
    std::uint64_t planeCapacity_ = 0;  // bytes of the buffer for each plane
    std::unique_ptr<unsigned char[]> buffer_;  // one band of every plane
    std::uint32_t bandFirst_ = 0;
    std::uint32_t bandEnd_ = 0;  // one past the band's last row; 0 before the first load
    // Offset within each plane up to which the band's bytes arrived.
    std::array<std::uint64_t, kMaxPlanes> reached_{};
};

// The spans of every row of a stream, read from its front to its end.
class HeldRows {
public:
    explicit HeldRows(const DumpPlan& plan);
    // Reads the pixel area from where `in` stands. False when memory runs out.
    bool fill(InputFile& in);
    bool isReady() const { return true; }
    // Bytes of the pixel area that arrived (padding that was read past
    // included).
    std::uint64_t available() const { return available_; }
    RowView row(std::uint32_t y);

private:
    struct Free {
        void operator()(unsigned char* p) const { std::free(p); }
    };

    PixelLayout l_;
    RowSpan span_;
    std::uint64_t rowsPerBlock_ = 1;
    // The spans of rows 0, 1, ... of plane 0, then of plane 1, and so on, in
    // blocks of rowsPerBlock_ rows, allocated as rows arrive.
    std::vector<std::unique_ptr<unsigned char, Free>> blocks_;
    std::uint64_t available_ = 0;
};

}  // namespace rastrex
