// Where the decoder finds the rows of the pixel area: bottom row first, in
// bands read by offset from a regular file while the bitmap is written, or
// held whole after a stream that cannot be read by offset was read to its
// end; or top row first, each read as it comes from such a stream, for a
// thumbnail of a one-plane dump.
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

// The rows of a one-plane stream that cannot be read by offset, read from
// its front top row first. Rows up to a band long come in bands read whole
// with their padding; a longer row comes alone, its span held in a buffer
// grown as its bytes arrive, so that a header claiming more than the stream
// holds costs no more than what arrived.
class ForwardRows {
public:
    explicit ForwardRows(const DumpPlan& plan);
    // The next row, row 0 first, read from where `in` stands: the start of
    // the pixel area for row 0, the end of the row before for the others.
    // Only valid until the next call.
    RowView next(InputFile& in);
    // Bytes of the pixel area read so far.
    std::uint64_t available() const { return available_; }

private:
    PixelLayout l_;
    RowSpan span_;
    bool inBands_ = false;
    std::uint32_t rowsPerBand_ = 1;
    std::vector<unsigned char> buffer_;
    std::uint32_t nextRow_ = 0;
    std::uint32_t bandFirst_ = 0;
    std::uint32_t bandEnd_ = 0;  // one past the band's last row
    std::uint64_t reached_ = 0;  // bytes of the band (or of the row's span) that arrived
    std::uint64_t available_ = 0;
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
