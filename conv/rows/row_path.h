// The ladder of a decoder's rows: the kernels it runs through each row, the
// widest the processor has first, each taking what it can of what is left,
// the plain kernel last, taking the rest. Chosen once, when the decoder is
// made, for the kind of rows it has and the row paths it may use; it holds
// those kernels' tables and no others.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "processor.h"
#include "row_kernels.h"

namespace rastrex {

// A value of `bits` bits scaled to 0..255, rounded to the nearest level.
inline constexpr std::uint8_t scaleToByte(std::uint64_t value, int bits)
{
    if (bits <= 0)
        return 0;
    const std::uint64_t max = (std::uint64_t{1} << bits) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

// A channel of 16-bit pixels: its mask and its levels by field value.
struct FieldChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    const std::uint8_t* level = nullptr;  // 2^width of them
};

class RowPath {
public:
    // No rung: run() must not be called.
    RowPath() = default;

    // Colours are packed as blue | green << 8 | red << 16.
    // One plane of 1-bit pixels, counted in bytes: the colours of a clear
    // and of a set pixel. Bytes in row order (unitBytes 1), or in units of
    // 2 or 4 bytes that run backwards, where run() starts at a unit's start.
    static RowPath forBits(RowPaths paths, std::uint32_t clear, std::uint32_t set, bool msbBitFirst,
                           std::uint32_t unitBytes);
    // Pixels of `stride` bytes (3 or 4) whose blue, green and red bytes sit
    // at pos[0], pos[1] and pos[2].
    static RowPath forBytes(RowPaths paths, std::uint32_t stride, const std::uint32_t pos[3]);
    // 8-bit pixels, and 16-bit ones in either byte order, through `colours`,
    // the colours of all their values, which must outlive the path.
    static RowPath forLookUp8(RowPaths paths, const std::uint32_t* colours);
    static RowPath forLookUp16(const std::uint32_t* colours, bool msbByteFirst);
    // 16-bit pixels of red, green and blue fields. `colours` as above, or
    // nullptr where scalesFields() says the fields are scaled.
    static RowPath forFields16(RowPaths paths, const std::array<FieldChannel, 3>& rgb,
                               bool msbByteFirst, const std::uint32_t* colours);

    // Whether forFields16() scales these fields by arithmetic at `paths`: it
    // then needs no table of every value's colour.
    static bool scalesFields(RowPaths paths, const std::array<FieldChannel, 3>& rgb);

    // Decodes `count` units (pixels, or bytes of 1-bit pixels) from the
    // start of `src`: each rung takes what it can, the plain one the rest.
    void run(const unsigned char* src, std::size_t count, unsigned char* out) const;

private:
    struct Step {
        RowKernel kernel = nullptr;
        std::size_t least = 0;   // units of one step of the kernel
        std::size_t tables = 0;  // the byte of tables_ where its tables start
    };

    template <class Tables>
    void add(RowKernel kernel, std::size_t least, const Tables& tables);
    // Copies a kernel's tables into tables_; returns where they start.
    std::size_t keep(const void* tables, std::size_t size);
    // The last rung, which takes every unit left.
    template <class Tables>
    void end(RowKernel kernel, const Tables& tables) { add(kernel, 1, tables); }

    std::array<Step, 5> step_{};
    std::size_t steps_ = 0;
    // The kernels' tables, each from the start of a block of 64 bytes.
    struct alignas(64) Block {
        unsigned char bytes[64];
    };
    std::vector<Block> tables_;
    std::uint32_t inBytes_ = 1;   // of a unit in the row
    std::uint32_t outBytes_ = 3;  // of a unit's output
};

}  // namespace rastrex
